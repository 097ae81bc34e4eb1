// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <optional>

namespace nassim {

// Searches the download service runs: each key keeps its results; a new
// search finds more results with every poll of its results until it has
// finished (a few polls). No HTTP here.
class NasSearch
{
public:
    enum Code { kEmptyKey = 5701, kNoSuchKey = 5702 };

    NasSearch();

    // 0 or an error code. A key searched again starts over.
    int request(const QString &query, qint64 now);
    int remove(const QString &query);
    QJsonArray keys() const;
    // The results so far (each call is one poll: the search moves on);
    // none for an unknown key.
    std::optional<QJsonObject> response(const QString &query, const QString &sortBy,
        const QString &orderBy, const QString &filter, const QString &category);
    std::optional<QJsonArray> categories(const QString &query) const;
    // Polls a search takes to finish (default 3); 0 finishes at once.
    void setPollsToFinish(int polls);
    // Results a search finds in all (default: a few dozen, by the key).
    void setResultCount(int n);

private:
    struct Result {
        QString title, category, site, link, hash, torrent, magnet;
        qint64 size = 0;
        int seeds = 0, peers = 0;
        qint64 published = 0;
    };
    struct Key {
        QString query;
        QList<Result> results; // everything the search will find
        int polls = 0;
        qint64 created = 0;
    };
    QList<Result> makeResults(const QString &query, qint64 now) const;
    int visibleCount(const Key &k) const;
    Key *find(const QString &query);
    const Key *find(const QString &query) const;

    mutable QMutex m_mutex;
    QList<Key> m_keys;
    int m_pollsToFinish = 3;
    int m_resultCount = -1;
};

} // namespace nassim
