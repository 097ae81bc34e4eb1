// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QObject>

#include <functional>

namespace flk {

// The polling of one list: at most one request out at a time. A refresh
// asked for while one is out (a timer tick, a category click, a filter edit,
// a command's follow-up) is sent once, right after the outstanding one
// returns. When what the list asks for changes (invalidate), a reply to the
// old question is dropped, never applied.
//
// The owner gives a prepare function, called on the GUI thread when a
// request may go out. It returns the worker part (empty: nothing to send
// now), which runs through runWork and returns the GUI part that applies the
// reply (empty: nothing to apply, e.g. the request failed).
class ListRefresh : public QObject
{
    Q_OBJECT

public:
    using Apply = std::function<void()>;
    using Fetch = std::function<Apply()>;
    using Prepare = std::function<Fetch()>;

    explicit ListRefresh(Prepare prepare, QObject *parent = nullptr);

    // Sends now, or once after the outstanding request.
    void request();
    // The question changed: whatever is out answers the old one.
    void invalidate();
    // Both: the usual reaction to a changed category, filter, sort or key.
    void restart()
    {
        invalidate();
        request();
    }

    bool isOutstanding() const { return m_outstanding; }
    bool isPending() const { return m_pending; }
    // Requests sent and replies dropped as stale since creation (tests).
    int sentCount() const { return m_sent; }
    int droppedCount() const { return m_dropped; }

signals:
    // A current reply came back (applied, or nothing to apply).
    void finished();
    // Nothing out and nothing waiting.
    void settled();

private:
    Prepare m_prepare;
    bool m_outstanding = false;
    bool m_pending = false;
    quint64 m_generation = 0;
    int m_sent = 0;
    int m_dropped = 0;
};

} // namespace flk
