#pragma once

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

    mutable QMutex m_mutex;
    QList<Task> m_tasks; // in queue order
    qint64 m_nextId = 1;
    qint64 m_lastTick = 0;
};

} // namespace nassim
