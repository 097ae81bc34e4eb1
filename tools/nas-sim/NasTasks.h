// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace nassim {

// The download service's tasks: torrent ("BT") and plain ("HTTP/FTP") tasks
// whose progress and speeds move with the clock, so a polled list is alive.
class NasTasks
{
public:
    struct File {
        qint64 id;
        QString name;
        qint64 size;
        bool wanted = true;
    };
    struct Tracker {
        qint64 id;
        QString url;
        QString stats = QStringLiteral("Working");
        qint64 nextUpdate = 0;
    };
    enum Status { Waiting, Downloading, Paused, Seeding, Completed };
    struct Task {
        qint64 id = 0;
        QString type; // "BT" or "HTTP/FTP"
        QString name;
        QString owner = QStringLiteral("admin");
        QString dir = QStringLiteral("/Download");
        qint64 size = 0;
        double progress = 0; // 0..1
        qint64 dlRate = 0, ulRate = 0; // bytes per second at full speed
        Status status = Downloading;
        qint64 created = 0;
        qint64 completeTime = 0;
        qint64 uploaded = 0;
        int peers = 0, seeds = 0;
        QList<File> files;
        QList<Tracker> trackers;
    };

    NasTasks();

    // Replaces the tasks with n synthetic ones (a deterministic mix).
    void makeSynthetic(int n);
    void clear();
    int count() const;
    // Adds a task; returns its id.
    qint64 add(Task t);

    // The torrent-list reply for a category (0 all, 1 downloading,
    // 2 completed, 3 active, 4 inactive), sorted and filtered.
    QJsonObject list(int category, const QString &sortBy, const QString &orderBy,
        const QString &filter, qint64 now);
    std::optional<QJsonObject> info(
        qint64 id, const QString &sortBy, const QString &orderBy, qint64 now);
    // Commands on the ids of one type; false when an id is unknown.
    bool start(const QString &type, const QList<qint64> &ids);
    bool stop(const QString &type, const QList<qint64> &ids);
    bool remove(const QString &type, const QList<qint64> &ids);
    bool move(const QString &type, const QList<qint64> &ids, bool up);
    bool addTracker(qint64 id, const QString &url);
    bool removeTrackers(qint64 id, const QList<qint64> &trackerIds);
    // Received torrents wait under a handle until torrent-add starts them.
    // Returns the torrent_list record (torrent, name, files).
    QJsonObject addPending(const QString &name, const QList<File> &files, const QString &url,
        const QString &announce = QString());
    // torrent-add: a pending handle, else a magnet link or torrent URL.
    // Returns the new task's id, 0 when refused.
    qint64 addTorrent(const QString &torrentOrUrl, const QString &dir, bool topQueue,
        const QList<qint64> &unwanted);
    // torrent-set: the files to fetch of a task (the folder stays).
    bool setTorrentFiles(qint64 id, const QList<qint64> &wanted, const QList<qint64> &unwanted);
    // download-add of an HTTP/FTP link: a plain download task.
    qint64 addPlain(const QString &url, const QString &dir);
    int pendingCount() const;
    // The name a link gives a task (a magnet's dn, else the last path part).
    static QString nameFromLink(const QString &link);

    // The .torrent file behind a torrent task's "torrentFile" path (bencoded).
    std::optional<QByteArray> torrentFile(const QString &path);

    static QList<qint64> parseIds(const QString &text);
    static QString formatSize(double bytes);
    static QString formatSpeed(double bytesPerSecond);

private:
    void advance(qint64 now);
    Task *find(const QString &type, qint64 id);
    bool forEach(
        const QString &type, const QList<qint64> &ids, const std::function<void(Task &)> &fn);
    QJsonObject record(const Task &t) const;
    static bool inCategory(const Task &t, int category);
    double currentDl(const Task &t) const;
    double currentUl(const Task &t) const;

    struct Pending {
        QString name, url, announce;
        QList<File> files;
    };
    mutable QMutex m_mutex;
    QList<Task> m_tasks; // in queue order
    QHash<QString, Pending> m_pending; // handle -> torrent
    qint64 m_nextPending = 1;
    qint64 m_nextId = 1;
    qint64 m_lastTick = 0;
};

} // namespace nassim
