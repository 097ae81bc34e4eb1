// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "FinishedTaskCheck.h"

namespace flk {

bool FinishedTaskCheck::onList(
    const QVariantMap &counts, const QList<TaskRow> &rows, int category, const QString &filter)
{
    if (!m_watcher)
        return false;
    const qint64 signature
        = FinishedTasksWatcher::signature(counts.value(QStringLiteral("completed")).toLongLong(),
            counts.value(QStringLiteral("all")).toLongLong());
    if (!m_watcher->wantsCheck(signature))
        return false;
    if (isFinishedList(category, filter)) {
        m_watcher->check(signature, finishedTasksOf(rows));
        return false;
    }
    m_wanted = signature;
    return true;
}

std::optional<qint64> FinishedTaskCheck::take()
{
    return std::exchange(m_wanted, std::nullopt);
}

void FinishedTaskCheck::deliver(qint64 signature, const QList<TaskRow> &finished)
{
    if (m_watcher)
        m_watcher->check(signature, finishedTasksOf(finished));
}

QList<FinishedTask> FinishedTaskCheck::finishedTasksOf(const QList<TaskRow> &rows)
{
    QList<FinishedTask> out;
    out.reserve(rows.size());
    for (const TaskRow &r : rows)
        out.append({ r.key(), r->cells[size_t(TaskListModel::ColName)] });
    return out;
}

} // namespace flk
