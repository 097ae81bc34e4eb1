// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "TaskTrackerModel.h"

#include "TaskListModel.h"
#include "api/JsonUtil.h"

namespace flk {

TaskTrackerModel::TaskTrackerModel(QObject *parent)
    : RecordTableModel(
        { { "ColURL", "tracker_name", QT_TRID_NOOP("COL_URL") },
            { "ColStatus", "tracker_stats", QT_TRID_NOOP("COL_STATUS") },
            { "ColUpdateTime", "tracker_next_update", QT_TRID_NOOP("COL_UPDATE_TIME") },
            { "ColSeeds", "seeds", QT_TRID_NOOP("COL_SEED") },
            { "ColPeers", "peers", QT_TRID_NOOP("COL_PEER") } },
        QStringLiteral("tracker_id"), parent)
{ }

QVariant TaskTrackerModel::cell(const QJsonObject &record, int column, int role) const
{
    if (column == ColUpdateTime && (role == Qt::DisplayRole || role == Qt::ToolTipRole)) {
        const qint64 at = json::intValue(record, u"tracker_next_update");
        return at < 1 ? QString() : TaskListModel::formatDateTime(at);
    }
    return RecordTableModel::cell(record, column, role);
}

qint64 TaskTrackerModel::trackerId(int row) const
{
    return json::intValue(record(row), u"tracker_id");
}

} // namespace flk
