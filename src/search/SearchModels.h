// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "models/RecordTableModel.h"

namespace flk {

// The saved search keys: "%@ (%ld)" with the key and its result count; kept
// by query.
class SearchKeyModel : public RecordTableModel
{
    Q_OBJECT

public:
    explicit SearchKeyModel(QObject *parent = nullptr);
    QString query(int row) const;

protected:
    QVariant cell(const QJsonObject &record, int column, int role) const override;
};

// The results of one search key, every value shown as sent; kept by their
// torrent address.
class SearchResultModel : public RecordTableModel
{
    Q_OBJECT

public:
    enum Column {
        ColName,
        ColCategory,
        ColSize,
        ColSeeds,
        ColPeer,
        ColAge,
        ColSearchSite,
        ColLink,
        ColHash,
        ColTorrent,
        ColumnCount
    };
    explicit SearchResultModel(QObject *parent = nullptr);
    static const char *columnTitleKey(int column);

protected:
    QVariant cell(const QJsonObject &record, int column, int role) const override;
};

} // namespace flk
