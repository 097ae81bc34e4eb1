// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "NasTasks.h"

#include <QDateTime>
#include <QJsonArray>
#include <QUrl>
#include <QUrlQuery>

#include <algorithm>
#include <cmath>

namespace nassim {

namespace {
qint64 nowSeconds()
{
    return QDateTime::currentSecsSinceEpoch();
}
QString statusText(NasTasks::Status s)
{
    switch (s) {
    case NasTasks::Waiting:
        return QStringLiteral("Waiting");
    case NasTasks::Downloading:
        return QStringLiteral("Downloading");
    case NasTasks::Paused:
        return QStringLiteral("Paused");
    case NasTasks::Seeding:
        return QStringLiteral("Seeding");
    default:
        return QStringLiteral("Completed");
    }
}
QString durationText(qint64 seconds)
{
    if (seconds < 0)
        return QString();
    if (seconds >= 86400)
        return QStringLiteral("%1d %2h").arg(seconds / 86400).arg((seconds % 86400) / 3600);
    if (seconds >= 3600)
        return QStringLiteral("%1h %2m").arg(seconds / 3600).arg((seconds % 3600) / 60);
    if (seconds >= 60)
        return QStringLiteral("%1m %2s").arg(seconds / 60).arg(seconds % 60);
    return QStringLiteral("%1s").arg(seconds);
}
} // namespace

NasTasks::NasTasks()
{
    const qint64 now = nowSeconds();
    m_lastTick = now;
    auto bt = [&](const QString &name, qint64 size, double progress, qint64 dl, qint64 ul,
                  Status status, QStringList files) {
        Task t;
        t.type = QStringLiteral("BT");
        t.name = name;
        t.size = size;
        t.progress = progress;
        t.dlRate = dl;
        t.ulRate = ul;
        t.status = status;
        t.created = now - 3600 * 5;
        t.peers = 12;
        t.seeds = 30;
        qint64 fileId = 0;
        // The first file is the payload; the rest are small extras.
        const qint64 extra = 153600;
        for (const QString &f : files) {
            const qint64 bytes = fileId == 0 ? size - extra * (files.size() - 1) : extra;
            t.files.append({ fileId++, f, bytes, true });
        }
        t.trackers = { { 1, QStringLiteral("udp://tracker.opentrackr.example:1337/announce") },
            { 2, QStringLiteral("http://tracker.example.org:6969/announce") } };
        if (status == Seeding || status == Completed)
            t.completeTime = now - 7200;
        add(t);
    };
    bt(QStringLiteral("debian-12.8.0-amd64-DVD-1.iso"), 3994091520LL, 0.42, 4200000, 350000,
        Downloading, { QStringLiteral("debian-12.8.0-amd64-DVD-1.iso") });
    bt(QStringLiteral("Big Buck Bunny (2008) 1080p"), 928670754LL, 1.0, 0, 120000, Seeding,
        { QStringLiteral("bbb_sunflower_1080p_30fps_normal.mp4"), QStringLiteral("poster.jpg") });
    bt(QStringLiteral("Sintel.2010.720p.mkv"), 652352512LL, 0.77, 900000, 80000, Downloading,
        { QStringLiteral("Sintel.2010.720p.mkv"), QStringLiteral("Sintel.srt") });
    bt(QStringLiteral("ubuntu-24.04.1-desktop-amd64.iso"), 6203355136LL, 0.08, 0, 0, Paused,
        { QStringLiteral("ubuntu-24.04.1-desktop-amd64.iso") });
    bt(QStringLiteral("Tears of Steel 4K"), 6738794496LL, 0.0, 0, 0, Waiting,
        { QStringLiteral("tears_of_steel_2160p.mov") });
    m_tasks.last().trackers.clear(); // a magnet link still waiting for its metadata
    Task http;
    http.type = QStringLiteral("HTTP/FTP");
    http.name = QStringLiteral("archlinux-2024.12.01-x86_64.iso");
    http.size = 1207959552LL;
    http.progress = 0.61;
    http.dlRate = 2500000;
    http.created = now - 1800;
    add(http);
    http.name = QStringLiteral("LibreOffice_24.8.3_Linux_x86-64_deb.tar.gz");
    http.size = 230686720LL;
    http.progress = 1.0;
    http.dlRate = 0;
    http.status = Completed;
    http.completeTime = now - 86400;
    add(http);
    http.name = QStringLiteral("gimp-2.10.38.tar.bz2");
    http.size = 31457280LL;
    http.progress = 0.3;
    http.dlRate = 0;
    http.status = Paused;
    http.completeTime = 0;
    add(http);
}

void NasTasks::makeSynthetic(int n)
{
    QMutexLocker lock(&m_mutex);
    m_tasks.clear();
    m_nextId = 1;
    const qint64 now = nowSeconds();
    m_tasks.reserve(n);
    for (int i = 0; i < n; ++i) {
        Task t;
        t.id = m_nextId++;
        t.type = i % 5 == 4 ? QStringLiteral("HTTP/FTP") : QStringLiteral("BT");
        t.name = QStringLiteral("Synthetic task %1 %2")
                     .arg(i, 6, 10, QLatin1Char('0'))
                     .arg(t.type == QLatin1String("BT") ? QStringLiteral("torrent")
                                                        : QStringLiteral("file"));
        t.size = 1048576LL * (50 + (i * 7919) % 4000);
        t.progress = ((i * 37) % 101) / 100.0;
        t.status = t.progress >= 1.0 ? (t.type == QLatin1String("BT") ? Seeding : Completed)
                                     : Status((i * 13) % 3); // Waiting, Downloading, Paused
        t.dlRate = t.status == Downloading ? 100000 + (i * 131) % 900000 : 0;
        t.ulRate = t.type == QLatin1String("BT") ? (i * 71) % 200000 : 0;
        t.created = now - (i % 1000) * 60;
        t.completeTime = t.progress >= 1.0 ? now - (i % 500) * 120 : 0;
        t.peers = i % 40;
        t.seeds = i % 90;
        m_tasks.append(t);
    }
}

void NasTasks::clear()
{
    QMutexLocker lock(&m_mutex);
    m_tasks.clear();
}

int NasTasks::count() const
{
    QMutexLocker lock(&m_mutex);
    return int(m_tasks.size());
}

qint64 NasTasks::add(Task t)
{
    QMutexLocker lock(&m_mutex);
    t.id = m_nextId++;
    if (!t.created)
        t.created = nowSeconds();
    m_tasks.append(t);
    return t.id;
}

double NasTasks::currentDl(const Task &t) const
{
    if (t.status != Downloading)
        return 0;
    // A little wobble, the same for everyone who asks in the same second.
    return t.dlRate * (0.85 + 0.3 * std::fabs(std::sin(double(m_lastTick + t.id))));
}

double NasTasks::currentUl(const Task &t) const
{
    if (t.status != Downloading && t.status != Seeding)
        return 0;
    return t.ulRate * (0.8 + 0.4 * std::fabs(std::cos(double(m_lastTick + t.id))));
}

void NasTasks::advance(qint64 now)
{
    const qint64 dt = now - m_lastTick;
    if (dt <= 0)
        return;
    m_lastTick = now;
    for (Task &t : m_tasks) {
        if (t.status == Downloading && t.size > 0) {
            t.progress = std::min(1.0, t.progress + double(t.dlRate) * double(dt) / double(t.size));
            if (t.progress >= 1.0) {
                t.status = t.type == QLatin1String("BT") ? Seeding : Completed;
                t.completeTime = now;
            }
        }
        if (t.status == Seeding || t.status == Downloading)
            t.uploaded += t.ulRate * dt;
    }
}

bool NasTasks::inCategory(const Task &t, int category)
{
    switch (category) {
    case 1:
        return t.status == Downloading || t.status == Waiting;
    case 2:
        return t.status == Completed || t.status == Seeding;
    case 3:
        return t.status == Downloading || t.status == Seeding;
    case 4:
        return t.status == Paused || t.status == Waiting || t.status == Completed;
    default:
        return true;
    }
}

QString NasTasks::formatSize(double bytes)
{
    static const char *units[] = { "B", "KB", "MB", "GB", "TB" };
    int u = 0;
    while (bytes >= 1024 && u < 4) {
        bytes /= 1024;
        ++u;
    }
    return u == 0 ? QStringLiteral("%1 B").arg(qint64(bytes))
                  : QStringLiteral("%1 %2").arg(bytes, 0, 'f', 2).arg(QLatin1String(units[u]));
}

QString NasTasks::formatSpeed(double bytesPerSecond)
{
    return formatSize(bytesPerSecond) + QStringLiteral("/s");
}

QJsonObject NasTasks::record(const Task &t) const
{
    const double dl = currentDl(t), ul = currentUl(t);
    const qint64 left = qint64((1.0 - t.progress) * double(t.size));
    const int queue = t.status == Downloading ? int(t.id % 7) + 1 : 0;
    return QJsonObject { { QStringLiteral("id"), t.id }, { QStringLiteral("type"), t.type },
        { QStringLiteral("name"), t.name },
        { QStringLiteral("position"), QString::number(&t - m_tasks.constData() + 1) },
        { QStringLiteral("size"), formatSize(double(t.size)) },
        { QStringLiteral("percent"), QStringLiteral("%1%").arg(t.progress * 100, 0, 'f', 1) },
        { QStringLiteral("download"), formatSpeed(dl) },
        { QStringLiteral("upload"), formatSpeed(ul) },
        { QStringLiteral("eta"), dl > 0 ? durationText(qint64(double(left) / dl)) : QString() },
        { QStringLiteral("queuePosition_active"), queue },
        { QStringLiteral("complete_time"), t.completeTime },
        { QStringLiteral("status"), statusText(t.status) }, { QStringLiteral("owner"), t.owner } };
}

QJsonObject NasTasks::list(
    int category, const QString &sortBy, const QString &orderBy, const QString &filter, qint64 now)
{
    QMutexLocker lock(&m_mutex);
    advance(now ? now : nowSeconds());
    int counts[5] = { 0, 0, 0, 0, 0 };
    double totalDl = 0, totalUl = 0;
    QList<const Task *> shown;
    for (const Task &t : std::as_const(m_tasks)) {
        for (int c = 0; c < 5; ++c)
            counts[c] += inCategory(t, c) ? 1 : 0;
        totalDl += currentDl(t);
        totalUl += currentUl(t);
        if (inCategory(t, category)
            && (filter.isEmpty() || t.name.contains(filter, Qt::CaseInsensitive)))
            shown.append(&t);
    }
    const bool desc = orderBy == QLatin1String("desc");
    auto key = [&](const Task *t) -> QVariant {
        if (sortBy == QLatin1String("name"))
            return t->name.toLower();
        if (sortBy == QLatin1String("size"))
            return t->size;
        if (sortBy == QLatin1String("percent"))
            return t->progress;
        if (sortBy == QLatin1String("download"))
            return currentDl(*t);
        if (sortBy == QLatin1String("upload"))
            return currentUl(*t);
        if (sortBy == QLatin1String("status"))
            return int(t->status);
        if (sortBy == QLatin1String("complete_time"))
            return t->completeTime;
        if (sortBy == QLatin1String("owner"))
            return t->owner;
        return qint64(t - m_tasks.constData()); // queue position
    };
    std::stable_sort(shown.begin(), shown.end(), [&](const Task *a, const Task *b) {
        const QVariant ka = key(a), kb = key(b);
        const int c = QVariant::compare(ka, kb) == QPartialOrdering::Less ? -1
            : QVariant::compare(ka, kb) == QPartialOrdering::Greater      ? 1
                                                                          : 0;
        return desc ? c > 0 : c < 0;
    });
    QJsonArray files;
    for (const Task *t : shown)
        files.append(record(*t));
    return QJsonObject { { QStringLiteral("success"), 1 }, { QStringLiteral("files"), files },
        { QStringLiteral("total_download_speed"), formatSpeed(totalDl) },
        { QStringLiteral("total_upload_speed"), formatSpeed(totalUl) },
        { QStringLiteral("all"), counts[0] }, { QStringLiteral("downloading"), counts[1] },
        { QStringLiteral("completed"), counts[2] }, { QStringLiteral("active"), counts[3] },
        { QStringLiteral("inactive"), counts[4] } };
}

std::optional<QJsonObject> NasTasks::info(
    qint64 id, const QString &sortBy, const QString &orderBy, qint64 now)
{
    QMutexLocker lock(&m_mutex);
    advance(now ? now : nowSeconds());
    const Task *t = find(QStringLiteral("BT"), id);
    if (!t)
        return std::nullopt;
    QList<File> files = t->files;
    const bool desc = orderBy == QLatin1String("desc");
    auto cmp = [&](const File &a, const File &b) -> int {
        if (sortBy == QLatin1String("file_name"))
            return a.name.compare(b.name, Qt::CaseInsensitive);
        if (sortBy == QLatin1String("file_size"))
            return a.size < b.size ? -1 : a.size > b.size ? 1 : 0;
        return a.id < b.id ? -1 : a.id > b.id ? 1 : 0;
    };
    std::stable_sort(files.begin(), files.end(),
        [&](const File &a, const File &b) { return desc ? cmp(a, b) > 0 : cmp(a, b) < 0; });
    QJsonArray fileArray;
    for (const File &f : files)
        fileArray.append(QJsonObject { { QStringLiteral("file_id"), f.id },
            { QStringLiteral("file_name"), f.name },
            { QStringLiteral("file_size"), formatSize(double(f.size)) },
            { QStringLiteral("file_isize"), f.size },
            { QStringLiteral("file_downloaded"), formatSize(f.size * t->progress) },
            { QStringLiteral("file_percent"),
                QStringLiteral("%1%").arg(t->progress * 100, 0, 'f', 1) },
            { QStringLiteral("file_wanted"), f.wanted } });
    QJsonArray trackers;
    for (const Tracker &tr : t->trackers)
        trackers.append(QJsonObject { { QStringLiteral("tracker_id"), tr.id },
            { QStringLiteral("tracker_name"), tr.url },
            { QStringLiteral("tracker_stats"), tr.stats },
            { QStringLiteral("tracker_next_update"), m_lastTick + 1800 },
            { QStringLiteral("seeds"), QString::number(t->seeds) },
            { QStringLiteral("peers"), QString::number(t->peers) } });
    const double downloaded = t->progress * double(t->size);
    QJsonObject reply { { QStringLiteral("success"), 1 }, { QStringLiteral("name"), t->name },
        { QStringLiteral("torrentFile"),
            QStringLiteral("/Download/.torrents/%1.torrent").arg(t->id) },
        { QStringLiteral("time_elapsed"), durationText(m_lastTick - t->created) },
        { QStringLiteral("download_speed"), formatSpeed(currentDl(*t)) },
        { QStringLiteral("upload_speed"), formatSpeed(currentUl(*t)) },
        { QStringLiteral("seeds"), QString::number(t->seeds) },
        { QStringLiteral("peers"), QString::number(t->peers) },
        { QStringLiteral("downloaded"), formatSize(downloaded) },
        { QStringLiteral("uploaded"), formatSize(double(t->uploaded)) },
        { QStringLiteral("share_ratio"),
            QString::number(downloaded > 0 ? double(t->uploaded) / downloaded : 0, 'f', 2) },
        { QStringLiteral("download_dir"), t->dir }, { QStringLiteral("files"), fileArray } };
    // A magnet link still fetching its metadata has no trackers: no member.
    if (!t->trackers.isEmpty())
        reply.insert(QStringLiteral("tracker"), trackers);
    return reply;
}

std::optional<QByteArray> NasTasks::torrentFile(const QString &path)
{
    static const QString prefix = QStringLiteral("/Download/.torrents/");
    if (!path.startsWith(prefix) || !path.endsWith(QLatin1String(".torrent")))
        return std::nullopt;
    bool ok = false;
    const qint64 id = path.mid(prefix.size()).chopped(8).toLongLong(&ok);
    QMutexLocker lock(&m_mutex);
    const Task *t = ok ? find(QStringLiteral("BT"), id) : nullptr;
    if (!t)
        return std::nullopt;
    auto str = [](const QByteArray &b) { return QByteArray::number(b.size()) + ':' + b; };
    QByteArray out = "d";
    if (!t->trackers.isEmpty())
        out += str("announce") + str(t->trackers.first().url.toUtf8());
    out += str("info") + "d" + str("length") + 'i' + QByteArray::number(t->size) + 'e' + str("name")
        + str(t->name.toUtf8()) + str("piece length") + "i262144e" + str("pieces")
        + str(QByteArray(20, '\0')) + "ee";
    return out;
}

NasTasks::Task *NasTasks::find(const QString &type, qint64 id)
{
    for (Task &t : m_tasks) {
        if (t.id == id && t.type == type)
            return &t;
    }
    return nullptr;
}

QList<qint64> NasTasks::parseIds(const QString &text)
{
    QList<qint64> ids;
    for (const QString &part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const qint64 id = part.trimmed().toLongLong(&ok);
        if (ok)
            ids.append(id);
    }
    return ids;
}

bool NasTasks::forEach(
    const QString &type, const QList<qint64> &ids, const std::function<void(Task &)> &fn)
{
    // Caller holds m_mutex. False when an id is unknown (the others still apply).
    bool all = true;
    for (qint64 id : ids) {
        if (Task *t = find(type, id))
            fn(*t);
        else
            all = false;
    }
    return all;
}

bool NasTasks::start(const QString &type, const QList<qint64> &ids)
{
    QMutexLocker lock(&m_mutex);
    return forEach(type, ids, [](Task &t) {
        if (t.status == Paused || t.status == Waiting) {
            t.status = Downloading;
            if (t.dlRate == 0)
                t.dlRate = 750000;
        }
    });
}

bool NasTasks::stop(const QString &type, const QList<qint64> &ids)
{
    QMutexLocker lock(&m_mutex);
    return forEach(type, ids, [](Task &t) {
        if (t.status == Downloading || t.status == Waiting || t.status == Seeding)
            t.status = t.progress >= 1.0 ? Completed : Paused;
    });
}

bool NasTasks::remove(const QString &type, const QList<qint64> &ids)
{
    QMutexLocker lock(&m_mutex);
    const auto before = m_tasks.size();
    m_tasks.removeIf([&](const Task &t) { return t.type == type && ids.contains(t.id); });
    return before - m_tasks.size() == ids.size();
}

bool NasTasks::move(const QString &type, const QList<qint64> &ids, bool up)
{
    QMutexLocker lock(&m_mutex);
    bool all = true;
    for (qint64 id : ids) {
        const auto it = std::find_if(m_tasks.begin(), m_tasks.end(),
            [&](const Task &t) { return t.id == id && t.type == type; });
        if (it == m_tasks.end()) {
            all = false;
            continue;
        }
        const qsizetype i = it - m_tasks.begin();
        const qsizetype j = up ? i - 1 : i + 1;
        if (j >= 0 && j < m_tasks.size())
            m_tasks.swapItemsAt(i, j);
    }
    return all;
}

bool NasTasks::addTracker(qint64 id, const QString &url)
{
    QMutexLocker lock(&m_mutex);
    Task *t = find(QStringLiteral("BT"), id);
    if (!t)
        return false;
    qint64 next = 1;
    for (const Tracker &tr : t->trackers)
        next = std::max(next, tr.id + 1);
    t->trackers.append({ next, url, QStringLiteral("Not contacted yet") });
    return true;
}

bool NasTasks::removeTrackers(qint64 id, const QList<qint64> &trackerIds)
{
    QMutexLocker lock(&m_mutex);
    Task *t = find(QStringLiteral("BT"), id);
    if (!t)
        return false;
    t->trackers.removeIf([&](const Tracker &tr) { return trackerIds.contains(tr.id); });
    return true;
}

QString NasTasks::nameFromLink(const QString &link)
{
    const QUrl url(link);
    if (link.startsWith(QLatin1String("magnet:"), Qt::CaseInsensitive)) {
        const QUrlQuery q(link.mid(link.indexOf(QLatin1Char('?')) + 1));
        QString dn = q.queryItemValue(QStringLiteral("dn"), QUrl::FullyDecoded);
        dn.replace(QLatin1Char('+'), QLatin1Char(' '));
        return dn.isEmpty() ? QStringLiteral("magnet-") + link.right(8) : dn;
    }
    QString name = url.fileName(QUrl::FullyDecoded);
    if (name.isEmpty())
        name = url.host().isEmpty() ? link : url.host();
    return name;
}

QJsonObject NasTasks::addPending(
    const QString &name, const QList<File> &files, const QString &url, const QString &announce)
{
    QMutexLocker lock(&m_mutex);
    const QString handle = QStringLiteral("/tmp/haulhouse/%1.torrent").arg(m_nextPending++);
    m_pending.insert(handle, { name, url, announce, files });
    QJsonArray records;
    for (const File &f : files)
        records.append(QJsonObject { { QStringLiteral("file_id"), f.id },
            { QStringLiteral("file_name"), f.name },
            { QStringLiteral("file_size"), formatSize(double(f.size)) },
            { QStringLiteral("file_isize"), f.size } });
    QJsonObject r { { QStringLiteral("torrent"), handle }, { QStringLiteral("name"), name },
        { QStringLiteral("files"), records } };
    if (!url.isEmpty())
        r.insert(QStringLiteral("url"), url);
    return r;
}

qint64 NasTasks::addTorrent(
    const QString &torrentOrUrl, const QString &dir, bool topQueue, const QList<qint64> &unwanted)
{
    Task t;
    t.type = QStringLiteral("BT");
    t.dir = dir.isEmpty() ? QStringLiteral("/Download") : dir;
    t.status = Waiting;
    t.dlRate = 1500000;
    t.ulRate = 60000;
    t.peers = 3;
    t.seeds = 9;
    {
        QMutexLocker lock(&m_mutex);
        const auto it = m_pending.constFind(torrentOrUrl);
        if (it != m_pending.constEnd()) {
            t.name = it->name;
            t.files = it->files;
            if (!it->announce.isEmpty())
                t.trackers = { { 1, it->announce } };
            m_pending.erase(it);
        } else {
            const QString lower = torrentOrUrl.toLower();
            if (!lower.startsWith(QLatin1String("magnet:"))
                && !lower.startsWith(QLatin1String("http://"))
                && !lower.startsWith(QLatin1String("https://")))
                return 0;
            // A link: the metadata comes later; no files, no trackers yet.
            t.name = nameFromLink(torrentOrUrl);
        }
    }
    for (File &f : t.files) {
        f.wanted = !unwanted.contains(f.id);
        if (f.wanted)
            t.size += f.size;
    }
    t.status = Downloading;
    const qint64 id = add(t);
    if (topQueue) {
        QMutexLocker lock(&m_mutex);
        m_tasks.prepend(m_tasks.takeLast());
    }
    return id;
}

bool NasTasks::setTorrentFiles(
    qint64 id, const QList<qint64> &wanted, const QList<qint64> &unwanted)
{
    QMutexLocker lock(&m_mutex);
    Task *t = find(QStringLiteral("BT"), id);
    if (!t)
        return false;
    for (File &f : t->files) {
        if (wanted.contains(f.id))
            f.wanted = true;
        else if (unwanted.contains(f.id))
            f.wanted = false;
    }
    return true;
}

qint64 NasTasks::addPlain(const QString &url, const QString &dir)
{
    Task t;
    t.type = QStringLiteral("HTTP/FTP");
    t.name = nameFromLink(url);
    t.dir = dir.isEmpty() ? QStringLiteral("/Download") : dir;
    t.size = 50LL * 1024 * 1024;
    t.dlRate = 800000;
    t.status = Downloading;
    return add(t);
}

int NasTasks::pendingCount() const
{
    QMutexLocker lock(&m_mutex);
    return int(m_pending.size());
}

} // namespace nassim
