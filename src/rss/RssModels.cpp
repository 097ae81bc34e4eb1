// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "RssModels.h"

#include "api/JsonUtil.h"
#include "api/Localization.h"

#include <QIcon>

namespace flk {

QString _get_Age_String(qint64 age)
{
    struct Unit {
        qint64 seconds;
        const char *one;
        const char *many;
    };
    static const Unit units[] = {
        { 31536000, QT_TRID_NOOP("RSS_AGE_YEAR"), QT_TRID_NOOP("RSS_AGE_YEARS") },
        { 2592000, QT_TRID_NOOP("RSS_AGE_MON"), QT_TRID_NOOP("RSS_AGE_MONS") },
        { 86400, QT_TRID_NOOP("RSS_AGE_DAY"), QT_TRID_NOOP("RSS_AGE_DAYS") },
        { 3600, QT_TRID_NOOP("RSS_AGE_HOUR"), QT_TRID_NOOP("RSS_AGE_HOURS") },
        { 60, QT_TRID_NOOP("RSS_AGE_MIN"), QT_TRID_NOOP("RSS_AGE_MINS") },
        { 1, QT_TRID_NOOP("RSS_AGE_SEC"), QT_TRID_NOOP("RSS_AGE_SECS") },
    };
    if (age <= 0)
        return QString();
    for (const Unit &u : units) {
        if (age < u.seconds)
            continue;
        const qint64 count = age / u.seconds;
        return QStringLiteral("%1 %2").arg(count).arg(localized(count == 1 ? u.one : u.many));
    }
    return QString();
}

const QStringList &rssIntervalTexts()
{
    static const QStringList texts { QStringLiteral("3 hours"), QStringLiteral("6 hours"),
        QStringLiteral("12 hours"), QStringLiteral("1 day"), QStringLiteral("3 days"),
        QStringLiteral("1 week"), QStringLiteral("2 weeks"), QStringLiteral("3 weeks"),
        QStringLiteral("1 month") };
    return texts;
}

RSSFeedTableModel::RSSFeedTableModel(QObject *parent)
    : RecordTableModel({ { "ColName", "title", QT_TRID_NOOP("COL_NAME") },
                           { "ColUrl", "url", QT_TRID_NOOP("COL_URL") },
                           { "ColUpTime", "last_update", QT_TRID_NOOP("COL_LAST_UPDATE") } },
        QStringLiteral("id"), parent)
{ }

RSSSidebarModel::RSSSidebarModel(QObject *parent)
    : RecordTableModel({ { "ColName", "title", nullptr } }, QStringLiteral("id"), parent)
{ }

qint64 RSSSidebarModel::feedId(int row) const
{
    return row >= 0 && row < rowCount() ? json::intValue(record(row), u"id") : 0;
}

QVariant RSSSidebarModel::cell(const QJsonObject &record, int column, int role) const
{
    const bool all = json::intValue(record, u"id") == -1;
    if (role == Qt::DecorationRole)
        return QIcon(all ? QStringLiteral(":/images/RSS_icon.svg")
                         : QStringLiteral(":/images/RSS_link_icon.svg"));
    if (all && (role == Qt::DisplayRole || role == Qt::ToolTipRole))
        return localized("RSS_ALL");
    return RecordTableModel::cell(record, column, role);
}

RSSItemTableModel::RSSItemTableModel(QObject *parent)
    : RecordTableModel({ { "ColName", "title", QT_TRID_NOOP("COL_NAME") },
                           { "ColSize", "size", QT_TRID_NOOP("COL_SIZE") },
                           { "ColAge", "age", QT_TRID_NOOP("COL_AGE") },
                           { "ColDownload", "url", QT_TRID_NOOP("DOWNLOAD") } },
        QStringLiteral("id"), parent)
{ }

QVariant RSSItemTableModel::cell(const QJsonObject &record, int column, int role) const
{
    if (column == ColAge && (role == Qt::DisplayRole || role == Qt::ToolTipRole))
        return _get_Age_String(json::intValue(record, u"age"));
    if (column == ColSize && role == Qt::TextAlignmentRole)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return RecordTableModel::cell(record, column, role);
}

} // namespace flk
