// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "Work.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <type_traits>

namespace flk {

// "A command under the overlay": shows the overlay, runs the work on this
// overlay's own serial queue, hides the overlay on the GUI thread and runs
// the follow-up there. While the overlay shows, a further command is dropped
// (neither its work nor its follow-up runs). A cancellable overlay can be
// dismissed by the user: it hides at once, the cancel callback runs, and the
// follow-up of the work in flight never does.
//
// Holds no widgets: controllers own one and tests drive it directly; the
// screen's KSTProgressHUDHelper draws it over a view.
class CommandOverlay : public QObject
{
    Q_OBJECT

public:
    // The indicator drawn beside the text.
    enum class Indicator { Spinner = 1, Success = 4 };

    explicit CommandOverlay(QObject *parent = nullptr);
    ~CommandOverlay() override;

    // Returns whether the command started (false: the overlay already shows).
    template <class Work, class FollowUp> bool run(Work work, FollowUp followUp)
    {
        return start(wrap(std::move(work), std::move(followUp)), {});
    }
    template <class Work, class FollowUp, class Cancel>
    bool runCancellable(Work work, FollowUp followUp, Cancel cancel)
    {
        return start(wrap(std::move(work), std::move(followUp)), std::function<void()>(cancel));
    }

    bool isShowing() const { return m_showing; }
    // Shows the overlay for a state rather than a command (a search the NAS
    // is running): commands are dropped until release(). With onCancel the
    // user can dismiss it (cancel() then releases it and calls onCancel).
    // False when it already shows.
    bool hold(std::function<void()> onCancel = {});
    void release();
    bool isHeld() const { return m_held; }
    bool isCancellable() const { return m_showing && bool(m_cancel); }
    // The user dismissed a cancellable overlay.
    void cancel();

    QString text() const { return m_text; }
    void setText(const QString &text);
    Indicator indicator() const { return m_indicator; }
    void setIndicator(Indicator indicator);

    // Whether this overlay's queue has nothing running (tests).
    bool isIdle() const;

signals:
    void showingChanged(bool showing);
    void textChanged(const QString &text);
    void indicatorChanged(Indicator indicator);

private:
    // The worker part returns the GUI part.
    using Job = std::function<std::function<void()>()>;

    template <class Work, class FollowUp> static Job wrap(Work work, FollowUp followUp)
    {
        return [work = std::move(work),
                   followUp = std::move(followUp)]() mutable -> std::function<void()> {
            using Result = std::invoke_result_t<Work &>;
            if constexpr (std::is_void_v<Result>) {
                work();
                return [followUp]() mutable { followUp(); };
            } else {
                auto result = std::make_shared<Result>(work());
                return [followUp, result]() mutable { followUp(std::move(*result)); };
            }
        };
    }
    bool start(Job job, std::function<void()> cancel);
    void finish(quint64 run, const std::function<void()> &followUp);
    void setShowing(bool showing);

    std::shared_ptr<SerialWorkQueue> m_queue;
    QString m_text;
    Indicator m_indicator = Indicator::Spinner;
    bool m_showing = false;
    bool m_held = false;
    std::function<void()> m_cancel;
    quint64 m_run = 0; // a dismissed run's follow-up is dropped
};

} // namespace flk
