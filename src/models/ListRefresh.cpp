// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "ListRefresh.h"

#include "api/Work.h"

namespace flk {

ListRefresh::ListRefresh(Prepare prepare, QObject *parent)
    : QObject(parent), m_prepare(std::move(prepare))
{ }

void ListRefresh::invalidate()
{
    ++m_generation;
}

void ListRefresh::request()
{
    if (m_outstanding) {
        m_pending = true;
        return;
    }
    m_pending = false;
    Fetch fetch = m_prepare ? m_prepare() : Fetch();
    if (!fetch) {
        emit settled();
        return;
    }
    m_outstanding = true;
    ++m_sent;
    const quint64 asked = m_generation;
    runWork(this, std::move(fetch), [this, asked](Apply apply) {
        m_outstanding = false;
        if (asked != m_generation) {
            ++m_dropped;
            // The question changed meanwhile: ask the new one.
            m_pending = true;
        } else {
            if (apply)
                apply();
            emit finished();
        }
        if (m_pending)
            request();
        else
            emit settled();
    });
}

} // namespace flk
