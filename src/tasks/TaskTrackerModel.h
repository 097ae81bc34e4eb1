// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "models/RecordTableModel.h"

#include <QSet>

namespace flk {

// The trackers of a torrent: URL, status, next update, seeds, peers; kept
// by tracker_id, so a selected tracker stays selected when its row moves.
class TaskTrackerModel : public RecordTableModel
{
    Q_OBJECT

public:
    enum Column { ColURL, ColStatus, ColUpdateTime, ColSeeds, ColPeers, ColumnCount };
    explicit TaskTrackerModel(QObject *parent = nullptr);

    qint64 trackerId(int row) const;

protected:
    QVariant cell(const QJsonObject &record, int column, int role) const override;
};

} // namespace flk
