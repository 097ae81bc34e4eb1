// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "CommandOverlay.h"

namespace flk {

CommandOverlay::CommandOverlay(QObject *parent)
    : QObject(parent), m_queue(SerialWorkQueue::create())
{ }

CommandOverlay::~CommandOverlay()
{
    // Work still running finishes on its own; its follow-up finds this
    // object gone and is dropped.
    ++m_run;
}

void CommandOverlay::setText(const QString &text)
{
    if (m_text == text)
        return;
    m_text = text;
    emit textChanged(text);
}

void CommandOverlay::setIndicator(Indicator indicator)
{
    if (m_indicator == indicator)
        return;
    m_indicator = indicator;
    emit indicatorChanged(indicator);
}

bool CommandOverlay::isIdle() const
{
    return m_queue->idle();
}

bool CommandOverlay::start(Job job, std::function<void()> cancel)
{
    if (m_showing)
        return false;
    m_cancel = std::move(cancel);
    const quint64 run = ++m_run;
    setShowing(true);
    QPointer<CommandOverlay> self(this);
    m_queue->post([self, run, job = std::move(job)]() mutable {
        std::function<void()> followUp = job();
        detail::deliver(
            self, [self, run, followUp = std::move(followUp)] { self->finish(run, followUp); });
    });
    return true;
}

void CommandOverlay::finish(quint64 run, const std::function<void()> &followUp)
{
    if (run != m_run)
        return; // dismissed meanwhile
    m_cancel = nullptr;
    setShowing(false);
    if (followUp)
        followUp();
}

bool CommandOverlay::hold(std::function<void()> onCancel)
{
    if (m_showing)
        return false;
    m_held = true;
    m_cancel = std::move(onCancel);
    setShowing(true);
    return true;
}

void CommandOverlay::release()
{
    if (!m_held)
        return;
    m_held = false;
    m_cancel = nullptr;
    setShowing(false);
}

void CommandOverlay::cancel()
{
    if (!m_showing || !m_cancel)
        return;
    ++m_run; // the follow-up of the work in flight no longer runs
    std::function<void()> cancel = std::move(m_cancel);
    m_cancel = nullptr;
    m_held = false;
    setShowing(false);
    cancel();
}

void CommandOverlay::setShowing(bool showing)
{
    m_showing = showing;
    emit showingChanged(showing);
}

} // namespace flk
