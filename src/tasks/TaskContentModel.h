// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "models/RecordTableModel.h"

namespace flk {

// The files of a torrent: wanted mark, name, size, downloaded, percent.
class TaskContentModel : public RecordTableModel
{
    Q_OBJECT

public:
    enum Column { ColCheck, ColName, ColSize, ColDownloaded, ColPercent, ColumnCount };
    explicit TaskContentModel(QObject *parent = nullptr);
    Qt::ItemFlags flags(const QModelIndex &index) const override;

protected:
    QVariant cell(const QJsonObject &record, int column, int role) const override;
};

} // namespace flk
