// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <optional>

namespace nassim {

// The download service's RSS subscriptions: feeds with their items, and the
// filters that pick items for automatic download. Item ages follow the
// clock (`now`, seconds since 1970); no HTTP here.
class NasRss
{
public:
    struct Item {
        qint64 id = 0;
        QString title;
        qint64 size = 0;
        QString url; // the torrent address or magnet link
        QString linkPath; // the item's page, on the unit itself
        qint64 published = 0;
    };
    struct Feed {
        qint64 id = 0;
        QString title;
        QString url;
        int updateInterval = 0; // 0..8
        qint64 lastUpdate = 0;
        QList<Item> items;
    };

    // Error codes of the RSS acts.
    enum Code {
        kBadUrl = 5601,
        kDuplicateFeed = 5602,
        kNoSuchFeed = 5603,
        kBadInterval = 5604,
        kNoSuchFilter = 5611,
        kBadFilter = 5612,
    };

    explicit NasRss(qint64 now);

    // Feeds, the all-feeds pseudo-feed (id -1) first.
    QJsonArray feedList(const QString &sortBy, const QString &orderBy, qint64 now) const;
    // feedId -1: the items of every feed. None for an unknown feed.
    std::optional<QJsonArray> itemList(
        qint64 feedId, const QString &sortBy, const QString &orderBy, qint64 now) const;
    // 0 or an error code.
    int addFeed(const QString &url, int interval, qint64 now);
    int editFeed(qint64 id, const QString &url, int interval);
    // ids "3,5,12": each feed is fetched now (and may bring a new item).
    int updateFeeds(const QString &ids, qint64 now);
    int deleteFeed(qint64 id);
    int feedCount() const;
    std::optional<Feed> feed(qint64 id) const;

    QJsonArray filterList() const;
    // From the request form; 0 or an error code.
    int addFilter(const QMap<QString, QString> &form, qint64 now);
    int editFilter(const QMap<QString, QString> &form, qint64 now);
    int deleteFilter(qint64 id);
    std::optional<QJsonObject> filter(qint64 id) const;

    // Replaces one feed's items with n synthetic ones (scale tests).
    void makeItems(qint64 feedId, int n, qint64 now);

private:
    Feed *findFeed(qint64 id);
    QJsonObject itemRecord(const Item &i, qint64 now) const;
    Item makeItem(const QString &show, int n, qint64 published);
    static QString lastUpdateText(qint64 t);
    static QString titleFromUrl(const QString &url);

    mutable QMutex m_mutex;
    QList<Feed> m_feeds;
    QList<QJsonObject> m_filters;
    qint64 m_nextFeed = 1, m_nextItem = 1, m_nextFilter = 1;
};

} // namespace nassim
