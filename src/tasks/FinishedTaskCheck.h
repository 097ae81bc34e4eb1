// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "TaskListModel.h"
#include "desktop/FinishedTasksWatcher.h"

#include <QPointer>
#include <QVariantMap>

#include <optional>

namespace flk {

// When a list reply's counts move, the server's finished tasks go to its
// watcher: straight from the list on show when that is the unfiltered
// finished category, else from one fetch of that category on the list's own
// request path (asked for here, taken by the next fetch).
class FinishedTaskCheck
{
public:
    void setWatcher(FinishedTasksWatcher *watcher) { m_watcher = watcher; }
    FinishedTasksWatcher *watcher() const { return m_watcher; }

    // A list came with these counts; rows are the list on show, of category
    // and filter. True when the finished category must be fetched for it
    // (the next take() gives the check).
    bool onList(
        const QVariantMap &counts, const QList<TaskRow> &rows, int category, const QString &filter);
    // The check the next fetch carries, if any (it is taken: asked once).
    std::optional<qint64> take();
    // Whether a list of category and filter is the finished list itself.
    static bool isFinishedList(int category, const QString &filter)
    {
        return category == kFinishedCategory && filter.isEmpty();
    }
    // The fetched finished list for a check taken before.
    void deliver(qint64 signature, const QList<TaskRow> &finished);

    static QList<FinishedTask> finishedTasksOf(const QList<TaskRow> &rows);

    static constexpr int kFinishedCategory = 2;

private:
    QPointer<FinishedTasksWatcher> m_watcher;
    std::optional<qint64> m_wanted;
};

} // namespace flk
