#pragma once

#include "app/RecordTableModel.h"

#include <QSet>

namespace flk {

// The trackers of a torrent: URL, status, next update, seeds, peers.
class TaskTrackerModel : public RecordTableModel
{
    Q_OBJECT

public:
    enum Column { ColURL, ColStatus, ColUpdateTime, ColSeeds, ColPeers, ColumnCount };
    explicit TaskTrackerModel(QObject *parent = nullptr);

    qint64 trackerId(int row) const;
    // Rows whose tracker_id is in ids, ascending.
    QList<int> rowsWithTrackerIds(const QSet<qint64> &ids) const;

protected:
    QVariant cell(const QJsonObject &record, int column, int role) const override;
};

} // namespace flk
