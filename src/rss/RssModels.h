// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "models/RecordTableModel.h"

namespace flk {

// "%ld %@": an item's age in its largest whole unit (a month is 30 days, a
// year 365), singular exactly when the count is 1; empty for 0 or less.
QString _get_Age_String(qint64 ageSeconds);

// The feed update intervals: index sent as update_interval, text shown.
const QStringList &rssIntervalTexts();

// The feed list page's table: name, URL, time of last update; feeds kept by
// id.
class RSSFeedTableModel : public RecordTableModel
{
    Q_OBJECT

public:
    enum Column { ColName, ColUrl, ColUpTime, ColumnCount };
    explicit RSSFeedTableModel(QObject *parent = nullptr);
};

// The sidebar's rows: the all-feeds row (id -1) first, then one per feed.
class RSSSidebarModel : public RecordTableModel
{
    Q_OBJECT

public:
    explicit RSSSidebarModel(QObject *parent = nullptr);
    // The feed id of a row (-1: the all-feeds row).
    qint64 feedId(int row) const;

protected:
    QVariant cell(const QJsonObject &record, int column, int role) const override;
};

// An RSS feed's items: name, size, age, download link; kept by id.
class RSSItemTableModel : public RecordTableModel
{
    Q_OBJECT

public:
    enum Column { ColName, ColSize, ColAge, ColDownload, ColumnCount };
    explicit RSSItemTableModel(QObject *parent = nullptr);

protected:
    QVariant cell(const QJsonObject &record, int column, int role) const override;
};

} // namespace flk
