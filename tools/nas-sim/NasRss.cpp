// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "NasRss.h"

#include "NasTasks.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QRegularExpression>
#include <QUrl>

#include <algorithm>

namespace nassim {

namespace {
const QStringList &qualities()
{
    static const QStringList q { "1080i", "1080p", "720p", "DSRip", "DVBRip", "DVDR", "DVDRip",
        "DVDScr", "HDTV", "HR_HDTV", "HR_PDTV", "PDTV", "SVCD", "SatRip", "TVRip", "WebRip" };
    return q;
}

bool truthy(const QString &v)
{
    return v == QLatin1String("1") || v.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

QString hashOf(const QString &s)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(s.toUtf8(), QCryptographicHash::Sha1).toHex());
}

QJsonArray words(const QString &text)
{
    QJsonArray out;
    for (const QString &w :
        text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
        out.append(w);
    return out;
}

std::optional<qint64> number(const QMap<QString, QString> &form, const QString &key)
{
    if (!form.contains(key))
        return std::nullopt;
    bool ok = false;
    const qint64 n = form.value(key).toLongLong(&ok);
    return ok ? std::optional<qint64>(n) : std::nullopt;
}

int compareValues(const QJsonValue &a, const QJsonValue &b)
{
    if (a.isDouble() && b.isDouble())
        return a.toDouble() < b.toDouble() ? -1 : a.toDouble() > b.toDouble() ? 1 : 0;
    return QString::compare(
        a.toVariant().toString(), b.toVariant().toString(), Qt::CaseInsensitive);
}

void sortRecords(QList<QJsonObject> &records, const QString &key, bool asc)
{
    std::stable_sort(
        records.begin(), records.end(), [&](const QJsonObject &a, const QJsonObject &b) {
            const int c = compareValues(a.value(key), b.value(key));
            return asc ? c < 0 : c > 0;
        });
}
} // namespace

NasRss::NasRss(qint64 now)
{
    struct Seed {
        const char *title;
        const char *url;
        int interval;
    };
    const Seed seeds[] = {
        { "Linux ISO Releases", "https://releases.example.org/linux/torrents.xml", 0 },
        { "Blender Open Movies", "https://studio.example.org/open-movies/rss", 3 },
        { "Public Domain Classics", "https://archive.example.org/classics/feed.rss", 5 },
        { "Late Night Linux (podcast)", "https://podcasts.example.org/lnl/torrent.xml", 1 },
        { "Open Source Weekly (TV)", "https://tv.example.org/osw/rss?quality=all", 2 },
    };
    for (const Seed &s : seeds) {
        Feed f;
        f.id = m_nextFeed++;
        f.title = QString::fromUtf8(s.title);
        f.url = QString::fromUtf8(s.url);
        f.updateInterval = s.interval;
        f.lastUpdate = now - 600 - f.id * 1234;
        m_feeds.append(f);
    }

    // Linux releases: a long list.
    const char *distros[] = { "debian", "ubuntu", "fedora", "archlinux", "linuxmint",
        "opensuse-leap", "alpine", "rocky", "almalinux", "manjaro", "kali", "tails" };
    const char *kinds[] = { "netinst", "DVD-1", "live", "desktop", "server", "minimal" };
    const char *arches[] = { "amd64", "arm64", "i386" };
    int n = 0;
    for (int v = 0; v < 4; ++v)
        for (const char *d : distros)
            for (const char *k : kinds)
                for (const char *a : arches) {
                    if ((n * 7 + v) % 3 == 0) {
                        ++n;
                        continue;
                    }
                    const QString name = QStringLiteral("%1-%2.%3-%4-%5.iso")
                                             .arg(QString::fromLatin1(d))
                                             .arg(12 + v)
                                             .arg(n % 10)
                                             .arg(QString::fromLatin1(a), QString::fromLatin1(k));
                    Item i = makeItem(name, n, now - 45 - qint64(n) * 9377);
                    i.size = 400LL * 1024 * 1024 + (qint64(n) * 7919 % 4000) * 1024 * 1024;
                    m_feeds[0].items.append(i);
                    ++n;
                }

    const char *movies[] = { "Big Buck Bunny (2008) 1080p", "Sintel (2010) 4K",
        "Tears of Steel (2012) 1080p", "Elephants Dream (2006) 1080p", "Spring (2019) 4K",
        "Coffee Run (2020) 1080p", "Sprite Fright (2021) 4K", "Charge (2022) 4K",
        "Agent 327 Operation Barbershop (2017) 1080p", "Cosmos Laundromat (2015) 2K",
        "Caminandes 3 Llamigos (2016) 1080p", "Wing It! (2023) 4K" };
    n = 0;
    for (const char *m : movies) {
        Item i = makeItem(QString::fromUtf8(m), n, now - 3600 * 24 * 7 * qint64(n + 1) - 3000);
        i.size = 700LL * 1024 * 1024 + qint64(n) * 310 * 1024 * 1024;
        m_feeds[1].items.append(i);
        ++n;
    }

    const char *classics[] = { "Nosferatu (1922)", "Metropolis (1927)", "The General (1926)",
        "The Kid (1921)", "His Girl Friday (1940)", "Night of the Living Dead (1968)",
        "The Cabinet of Dr. Caligari (1920)", "Sherlock Jr. (1924)", "Safety Last! (1923)",
        "The Phantom of the Opera (1925)", "Charade (1963)", "Detour (1945)", "The Stranger (1946)",
        "Plan 9 from Outer Space (1957)", "D.O.A. (1949)", "The Little Shop of Horrors (1960)",
        "Carnival of Souls (1962)", "McLintock! (1963)" };
    n = 0;
    for (const char *c : classics) {
        Item i = makeItem(QString::fromUtf8(c), n, now - 86400 * 30 * qint64(n + 1) - 400);
        // Most of these come as magnet links.
        if (n % 4 != 0)
            i.url = QStringLiteral("magnet:?xt=urn:btih:%1&dn=%2")
                        .arg(hashOf(i.title), QString::fromUtf8(QUrl::toPercentEncoding(i.title)));
        i.size = 500LL * 1024 * 1024 + qint64(n) * 53 * 1024 * 1024;
        m_feeds[2].items.append(i);
        ++n;
    }

    for (int e = 0; e < 40; ++e) {
        Item i = makeItem(QStringLiteral("Late Night Linux Episode %1.mp3").arg(290 - e), e,
            now - 70 - qint64(e) * 86400 * 7);
        i.size = 48LL * 1024 * 1024 + (e % 5) * 3 * 1024 * 1024;
        m_feeds[3].items.append(i);
    }

    n = 0;
    for (int season = 3; season >= 1; --season)
        for (int ep = 12; ep >= 1; --ep)
            for (const char *q : { "1080p.WebRip", "720p.HDTV" }) {
                const QString name = QStringLiteral("Open.Source.Weekly.S%1E%2.%3.x264")
                                         .arg(season, 2, 10, QLatin1Char('0'))
                                         .arg(ep, 2, 10, QLatin1Char('0'))
                                         .arg(QString::fromLatin1(q));
                Item i = makeItem(name, n, now - 5 - qint64(n) * 43200);
                i.size = (QString::fromLatin1(q).startsWith(QLatin1String("1080")) ? 1400LL : 650LL)
                        * 1024 * 1024
                    + qint64(n) * 1024 * 1024;
                m_feeds[4].items.append(i);
                ++n;
            }

    // Two filters to start with.
    QMap<QString, QString> tv { { "name", "Open Source Weekly 1080p" }, { "feed_id", "5" },
        { "include", "Open Source Weekly" }, { "exclude", "CAM TS" }, { "1080p", "1" },
        { "WebRip", "1" }, { "time-limit", "604800" }, { "tv_series_enabled", "1" },
        { "season_start", "1" }, { "season_end", "3" }, { "episode_start", "1" },
        { "episode_end", "12" }, { "update_interval_enabled", "1" }, { "update_interval", "2" },
        { "save_as_enabled", "1" }, { "save_as", "/Download/TV" } };
    addFilter(tv, now - 1800);
    QMap<QString, QString> iso { { "name", "Debian netinst" }, { "feed_id", "1" },
        { "include", "debian netinst" }, { "exclude", "" }, { "time-limit", "0" },
        { "tv_series_enabled", "0" }, { "season_start", "0" }, { "season_end", "0" },
        { "episode_start", "0" }, { "episode_end", "0" }, { "update_interval_enabled", "0" },
        { "update_interval", "0" }, { "save_as_enabled", "1" }, { "save_as", "/Download" } };
    addFilter(iso, now - 7200);
}

NasRss::Item NasRss::makeItem(const QString &title, int n, qint64 published)
{
    Item i;
    i.id = m_nextItem++;
    i.title = title;
    i.size = 100LL * 1024 * 1024 + qint64(n) * 1024 * 1024;
    QString file = title;
    file.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9.+-]+")), QStringLiteral("."));
    i.url = QStringLiteral("https://releases.example.org/torrents/%1.torrent").arg(file);
    i.linkPath = QStringLiteral("/__sim/rss/item/%1").arg(i.id);
    i.published = published;
    return i;
}

QString NasRss::lastUpdateText(qint64 t)
{
    return QDateTime::fromSecsSinceEpoch(t, Qt::UTC).toString(QStringLiteral("yyyy/MM/dd HH:mm"));
}

QString NasRss::titleFromUrl(const QString &url)
{
    const QUrl u(url);
    QString path = u.path();
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    const QString last = path.section(QLatin1Char('/'), -1);
    return last.isEmpty() ? u.host() : u.host() + QStringLiteral(" – ") + last;
}

NasRss::Feed *NasRss::findFeed(qint64 id)
{
    for (Feed &f : m_feeds)
        if (f.id == id)
            return &f;
    return nullptr;
}

QJsonArray NasRss::feedList(const QString &sortBy, const QString &orderBy, qint64 now) const
{
    Q_UNUSED(now);
    QMutexLocker lock(&m_mutex);
    QList<QJsonObject> feeds;
    for (const Feed &f : m_feeds)
        feeds.append({ { "id", f.id }, { "title", f.title }, { "url", f.url },
            { "update_interval", f.updateInterval },
            { "last_update", lastUpdateText(f.lastUpdate) } });
    sortRecords(
        feeds, sortBy.isEmpty() ? QStringLiteral("id") : sortBy, orderBy != QLatin1String("desc"));
    QJsonArray out;
    out.append(QJsonObject { { "id", -1 }, { "title", "All" }, { "url", "" },
        { "update_interval", 0 }, { "last_update", "" } });
    for (const QJsonObject &f : feeds)
        out.append(f);
    return out;
}

QJsonObject NasRss::itemRecord(const Item &i, qint64 now) const
{
    return { { "id", i.id }, { "title", i.title }, { "size", NasTasks::formatSize(double(i.size)) },
        { "isize", i.size }, { "url", i.url }, { "age", now - i.published },
        { "link", i.linkPath } };
}

std::optional<QJsonArray> NasRss::itemList(
    qint64 feedId, const QString &sortBy, const QString &orderBy, qint64 now) const
{
    QMutexLocker lock(&m_mutex);
    QList<QJsonObject> items;
    bool found = feedId == -1;
    for (const Feed &f : m_feeds) {
        if (feedId != -1 && f.id != feedId)
            continue;
        found = true;
        for (const Item &i : f.items)
            items.append(itemRecord(i, now));
    }
    if (!found)
        return std::nullopt;
    QString key = sortBy.isEmpty() ? QStringLiteral("id") : sortBy;
    if (key == QLatin1String("size"))
        key = QStringLiteral("isize"); // sizes sort by their byte count
    sortRecords(items, key, orderBy != QLatin1String("desc"));
    QJsonArray out;
    for (QJsonObject &i : items) {
        i.remove(QStringLiteral("isize"));
        out.append(i);
    }
    return out;
}

int NasRss::addFeed(const QString &url, int interval, qint64 now)
{
    const QUrl u(url.trimmed());
    if (!u.isValid() || u.host().isEmpty()
        || (u.scheme() != QLatin1String("http") && u.scheme() != QLatin1String("https")))
        return kBadUrl;
    if (interval < 0 || interval > 8)
        return kBadInterval;
    QMutexLocker lock(&m_mutex);
    for (const Feed &f : m_feeds)
        if (f.url == url.trimmed())
            return kDuplicateFeed;
    Feed f;
    f.id = m_nextFeed++;
    f.url = url.trimmed();
    f.title = titleFromUrl(f.url);
    f.updateInterval = interval;
    f.lastUpdate = now;
    for (int k = 0; k < 6; ++k)
        f.items.append(makeItem(QStringLiteral("%1 item %2").arg(u.host()).arg(k + 1), k,
            now - 300 - qint64(k) * 3600));
    m_feeds.append(f);
    return 0;
}

int NasRss::editFeed(qint64 id, const QString &url, int interval)
{
    const QUrl u(url.trimmed());
    if (!u.isValid() || u.host().isEmpty())
        return kBadUrl;
    if (interval < 0 || interval > 8)
        return kBadInterval;
    QMutexLocker lock(&m_mutex);
    Feed *f = findFeed(id);
    if (!f)
        return kNoSuchFeed;
    f->url = url.trimmed();
    f->updateInterval = interval;
    return 0;
}

int NasRss::updateFeeds(const QString &ids, qint64 now)
{
    QMutexLocker lock(&m_mutex);
    QList<Feed *> feeds;
    for (const QString &part : ids.split(QLatin1Char(','))) {
        bool ok = false;
        const qint64 id = part.trimmed().toLongLong(&ok);
        Feed *f = ok ? findFeed(id) : nullptr;
        if (!f)
            return kNoSuchFeed;
        feeds.append(f);
    }
    for (Feed *f : feeds) {
        f->lastUpdate = now;
        // Now and then a fetch brings something new.
        if ((now + f->id) % 2 == 0)
            f->items.prepend(makeItem(
                QStringLiteral("%1 – new %2").arg(f->title).arg(f->items.size() + 1), 0, now));
    }
    return 0;
}

int NasRss::deleteFeed(qint64 id)
{
    QMutexLocker lock(&m_mutex);
    for (qsizetype i = 0; i < m_feeds.size(); ++i)
        if (m_feeds[i].id == id) {
            m_feeds.removeAt(i);
            return 0;
        }
    return kNoSuchFeed;
}

int NasRss::feedCount() const
{
    QMutexLocker lock(&m_mutex);
    return int(m_feeds.size());
}

std::optional<NasRss::Feed> NasRss::feed(qint64 id) const
{
    QMutexLocker lock(&m_mutex);
    for (const Feed &f : m_feeds)
        if (f.id == id)
            return f;
    return std::nullopt;
}

void NasRss::makeItems(qint64 feedId, int n, qint64 now)
{
    QMutexLocker lock(&m_mutex);
    Feed *f = findFeed(feedId);
    if (!f)
        return;
    f->items.clear();
    for (int k = 0; k < n; ++k)
        f->items.append(makeItem(QStringLiteral("Synthetic item %1").arg(k + 1), k, now - k * 61));
}

QJsonArray NasRss::filterList() const
{
    QMutexLocker lock(&m_mutex);
    QJsonArray out;
    for (const QJsonObject &f : m_filters)
        out.append(f);
    return out;
}

std::optional<QJsonObject> NasRss::filter(qint64 id) const
{
    QMutexLocker lock(&m_mutex);
    for (const QJsonObject &f : m_filters)
        if (f.value(QStringLiteral("id")).toInteger() == id)
            return f;
    return std::nullopt;
}

namespace {
// Applies the form's members to a filter record; false when one is malformed.
bool applyFilterForm(QJsonObject &f, const QMap<QString, QString> &form)
{
    if (form.contains("name")) {
        if (form.value("name").trimmed().isEmpty())
            return false;
        f.insert("name", form.value("name"));
    }
    if (form.contains("feed_id")) {
        const auto id = number(form, "feed_id");
        if (!id)
            return false;
        f.insert("feed_id", *id);
    }
    if (form.contains("include"))
        f.insert("include", words(form.value("include")));
    if (form.contains("exclude"))
        f.insert("exclude", words(form.value("exclude")));
    QJsonObject quality = f.value("quality").toObject();
    for (const QString &q : qualities())
        if (form.contains(q))
            quality.insert(q, truthy(form.value(q)));
    f.insert("quality", quality);
    if (form.contains("time-limit")) {
        const auto t = number(form, "time-limit");
        if (!t || *t < 0)
            return false;
        f.insert("time-limit", *t);
    }
    QJsonObject tv = f.value("tv_series").toObject();
    if (form.contains("tv_series_enabled"))
        tv.insert("enabled", truthy(form.value("tv_series_enabled")));
    for (const char *k : { "season_start", "season_end", "episode_start", "episode_end" }) {
        const QString key = QString::fromLatin1(k);
        if (!form.contains(key))
            continue;
        const auto v = number(form, key);
        if (!v || *v < 0)
            return false;
        tv.insert(key, *v);
    }
    f.insert("tv_series", tv);
    QJsonObject check = f.value("check_interval").toObject();
    if (form.contains("update_interval_enabled"))
        check.insert("enabled", truthy(form.value("update_interval_enabled")));
    if (form.contains("update_interval")) {
        const auto v = number(form, "update_interval");
        if (!v || *v < 0 || *v > 8)
            return false;
        check.insert("update_interval", *v);
    }
    f.insert("check_interval", check);
    QJsonObject saveAs = f.value("save_as").toObject();
    if (form.contains("save_as"))
        saveAs.insert("download_dir", form.value("save_as"));
    if (form.contains("save_as_enabled"))
        saveAs.insert("enabled", truthy(form.value("save_as_enabled")));
    f.insert("save_as", saveAs);
    return true;
}
} // namespace

int NasRss::addFilter(const QMap<QString, QString> &form, qint64 now)
{
    QJsonObject f { { "name", "" }, { "feed_id", 0 }, { "include", QJsonArray() },
        { "exclude", QJsonArray() }, { "time-limit", 0 },
        { "tv_series",
            QJsonObject { { "enabled", false }, { "season_start", 0 }, { "season_end", 0 },
                { "episode_start", 0 }, { "episode_end", 0 } } },
        { "check_interval", QJsonObject { { "enabled", false }, { "update_interval", 0 } } },
        { "save_as", QJsonObject { { "enabled", true }, { "download_dir", "/Download" } } } };
    if (!form.contains("name") || !applyFilterForm(f, form))
        return kBadFilter;
    QMutexLocker lock(&m_mutex);
    f.insert("id", m_nextFilter++);
    f.insert("last_check", lastUpdateText(now));
    m_filters.append(f);
    return 0;
}

int NasRss::editFilter(const QMap<QString, QString> &form, qint64 now)
{
    const auto id = number(form, "id");
    if (!id)
        return kBadFilter;
    QMutexLocker lock(&m_mutex);
    for (QJsonObject &f : m_filters) {
        if (f.value("id").toInteger() != *id)
            continue;
        QJsonObject edited = f;
        if (!applyFilterForm(edited, form))
            return kBadFilter;
        edited.insert("last_check", lastUpdateText(now));
        f = edited;
        return 0;
    }
    return kNoSuchFilter;
}

int NasRss::deleteFilter(qint64 id)
{
    QMutexLocker lock(&m_mutex);
    for (qsizetype i = 0; i < m_filters.size(); ++i)
        if (m_filters[i].value("id").toInteger() == id) {
            m_filters.removeAt(i);
            return 0;
        }
    return kNoSuchFilter;
}

} // namespace nassim
