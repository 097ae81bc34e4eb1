// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "SearchModels.h"

#include "api/JsonUtil.h"

#include <QIcon>

namespace flk {

SearchKeyModel::SearchKeyModel(QObject *parent)
    : RecordTableModel({ { "ColKey", "query", nullptr } }, QStringLiteral("query"), parent)
{ }

QString SearchKeyModel::query(int row) const
{
    return row >= 0 && row < rowCount() ? json::stringValue(record(row), u"query") : QString();
}

QVariant SearchKeyModel::cell(const QJsonObject &record, int column, int role) const
{
    if (role == Qt::DecorationRole)
        return QIcon(QStringLiteral(":/images/search_icon.svg"));
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        // One arg() call: a key that holds "%1" stays as typed.
        return QStringLiteral("%1 (%2)").arg(
            json::stringValue(record, u"query"), QString::number(json::intValue(record, u"total")));
    return RecordTableModel::cell(record, column, role);
}

namespace {
const char *const kTitles[SearchResultModel::ColumnCount] = { QT_TRID_NOOP("COL_NAME"),
    QT_TRID_NOOP("COL_CATEGORY"), QT_TRID_NOOP("COL_SIZE"), QT_TRID_NOOP("COL_SEED"),
    QT_TRID_NOOP("COL_PEER"), QT_TRID_NOOP("COL_AGE"), QT_TRID_NOOP("COL_SEARCH_SITE"),
    QT_TRID_NOOP("COL_LINK"), QT_TRID_NOOP("COL_HASH"), QT_TRID_NOOP("COL_TORRENT") };
} // namespace

SearchResultModel::SearchResultModel(QObject *parent)
    : RecordTableModel(
        { { "ColName", "title", kTitles[0] }, { "ColCategory", "category", kTitles[1] },
            { "ColSize", "size", kTitles[2] }, { "ColSeeds", "seeds", kTitles[3] },
            { "ColPeer", "peers", kTitles[4] }, { "ColAge", "date", kTitles[5] },
            { "ColSearchSite", "site", kTitles[6] }, { "ColLink", "link", kTitles[7] },
            { "ColHash", "hash", kTitles[8] }, { "ColTorrent", "torrent", kTitles[9] } },
        QStringLiteral("torrent"), parent)
{ }

const char *SearchResultModel::columnTitleKey(int column)
{
    return column >= 0 && column < ColumnCount ? kTitles[column] : nullptr;
}

QVariant SearchResultModel::cell(const QJsonObject &record, int column, int role) const
{
    if (role == Qt::TextAlignmentRole
        && (column == ColSize || column == ColSeeds || column == ColPeer))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return RecordTableModel::cell(record, column, role);
}

} // namespace flk
