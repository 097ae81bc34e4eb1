// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "NasSearch.h"

#include "NasTasks.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QUrl>

#include <algorithm>

namespace nassim {

NasSearch::NasSearch()
{
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    // Two finished searches to start with.
    for (const char *q : { "debian", "big buck bunny" }) {
        Key k;
        k.query = QString::fromLatin1(q);
        k.results = makeResults(k.query, now - 86400);
        k.polls = 1000;
        k.created = now - 86400;
        m_keys.append(k);
    }
}

void NasSearch::setPollsToFinish(int polls)
{
    QMutexLocker lock(&m_mutex);
    m_pollsToFinish = std::max(0, polls);
}

void NasSearch::setResultCount(int n)
{
    QMutexLocker lock(&m_mutex);
    m_resultCount = n;
}

QList<NasSearch::Result> NasSearch::makeResults(const QString &query, qint64 now) const
{
    static const char *sites[] = { "LinuxTracker", "PublicDomainTorrents", "ArchiveBay" };
    static const char *categories[] = { "Software", "Movies", "TV", "Music", "Books" };
    static const char *variants[] = { "1080p WEB-DL", "720p HDTV", "Complete Collection",
        "amd64 DVD", "netinst", "FLAC", "Remastered", "Director's Cut", "x265 HEVC",
        "Documentation PDF", "Soundtrack MP3", "Live ISO" };
    const uint seed = qHash(query);
    const int n = m_resultCount >= 0 ? m_resultCount : int(24 + seed % 24);
    QList<Result> out;
    out.reserve(n);
    for (int i = 0; i < n; ++i) {
        Result r;
        const uint h = seed ^ uint(i * 2654435761u);
        r.title = QStringLiteral("%1 %2 %3")
                      .arg(query)
                      .arg(QString::fromLatin1(variants[h % 12]))
                      .arg(2010 + int(h % 16));
        r.category = QString::fromLatin1(categories[(h / 7) % 5]);
        r.site = QString::fromLatin1(sites[(h / 11) % 3]);
        r.size = qint64(50 + h % 8000) * 1024 * 1024;
        r.seeds = int(h % 900);
        r.peers = int((h / 13) % 300);
        r.published = now - qint64(h % 400) * 86400;
        r.hash = QString::fromLatin1(QCryptographicHash::hash(
            (query + QString::number(i)).toUtf8(), QCryptographicHash::Sha1)
                                         .toHex());
        r.link = QStringLiteral("/__sim/search/result/%1").arg(r.hash.left(12));
        r.torrent = QStringLiteral("https://%1.example.org/torrent/%2.torrent")
                        .arg(r.site.toLower(), r.hash.left(16));
        // Most results carry a magnet link too.
        if (i % 3 != 2)
            r.magnet = QStringLiteral("magnet:?xt=urn:btih:%1&dn=%2")
                           .arg(r.hash, QString::fromUtf8(QUrl::toPercentEncoding(r.title)));
        out.append(r);
    }
    return out;
}

NasSearch::Key *NasSearch::find(const QString &query)
{
    for (Key &k : m_keys)
        if (k.query == query)
            return &k;
    return nullptr;
}

const NasSearch::Key *NasSearch::find(const QString &query) const
{
    for (const Key &k : m_keys)
        if (k.query == query)
            return &k;
    return nullptr;
}

int NasSearch::request(const QString &query, qint64 now)
{
    if (query.trimmed().isEmpty())
        return kEmptyKey;
    QMutexLocker lock(&m_mutex);
    Key *k = find(query);
    if (!k) {
        m_keys.append(Key());
        k = &m_keys.last();
        k->query = query;
    }
    k->results = makeResults(query, now);
    k->polls = 0;
    k->created = now;
    return 0;
}

int NasSearch::remove(const QString &query)
{
    QMutexLocker lock(&m_mutex);
    for (qsizetype i = 0; i < m_keys.size(); ++i)
        if (m_keys[i].query == query) {
            m_keys.removeAt(i);
            return 0;
        }
    return kNoSuchKey;
}

int NasSearch::visibleCount(const Key &k) const
{
    if (m_pollsToFinish == 0 || k.polls >= m_pollsToFinish)
        return int(k.results.size());
    // Each poll finds another share of the results.
    return int(k.results.size() * (k.polls + 1) / (m_pollsToFinish + 1));
}

QJsonArray NasSearch::keys() const
{
    QMutexLocker lock(&m_mutex);
    QJsonArray out;
    for (const Key &k : m_keys)
        out.append(QJsonObject { { "query", k.query }, { "total", visibleCount(k) } });
    return out;
}

std::optional<QJsonObject> NasSearch::response(const QString &query, const QString &sortBy,
    const QString &orderBy, const QString &filter, const QString &category)
{
    QMutexLocker lock(&m_mutex);
    Key *k = find(query);
    if (!k)
        return std::nullopt;
    const int shown = visibleCount(*k);
    const bool finished = shown == k->results.size();
    ++k->polls;
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    QList<Result> results = k->results.mid(0, shown);
    results.erase(
        std::remove_if(results.begin(), results.end(),
            [&](const Result &r) {
                return (!filter.isEmpty() && !r.title.contains(filter, Qt::CaseInsensitive))
                    || (!category.isEmpty() && r.category != category);
            }),
        results.end());
    const bool asc = orderBy == QLatin1String("asc");
    std::stable_sort(results.begin(), results.end(), [&](const Result &a, const Result &b) {
        qint64 c = 0;
        if (sortBy == QLatin1String("seeds"))
            c = a.seeds - b.seeds;
        else if (sortBy == QLatin1String("peers"))
            c = a.peers - b.peers;
        else if (sortBy == QLatin1String("size"))
            c = a.size - b.size;
        else if (sortBy == QLatin1String("date"))
            c = b.published - a.published; // newer first means younger
        else if (sortBy == QLatin1String("category"))
            c = QString::compare(a.category, b.category);
        else if (sortBy == QLatin1String("site"))
            c = QString::compare(a.site, b.site);
        else
            c = QString::compare(a.title, b.title, Qt::CaseInsensitive);
        return asc ? c < 0 : c > 0;
    });
    QJsonArray items;
    for (const Result &r : results) {
        QJsonObject o { { "title", r.title }, { "category", r.category },
            { "size", NasTasks::formatSize(double(r.size)) }, { "seeds", r.seeds },
            { "peers", r.peers },
            { "date", QDateTime::fromSecsSinceEpoch(r.published, Qt::UTC).toString("yyyy-MM-dd") },
            { "site", r.site }, { "link", r.link }, { "hash", r.hash }, { "torrent", r.torrent } };
        if (!r.magnet.isEmpty())
            o.insert("magnet", r.magnet);
        items.append(o);
    }
    Q_UNUSED(now);
    return QJsonObject { { "success", 1 }, { "items", items }, { "finish", finished },
        { "total", int(items.size()) } };
}

std::optional<QJsonArray> NasSearch::categories(const QString &query) const
{
    QMutexLocker lock(&m_mutex);
    const Key *k = find(query);
    if (!k)
        return std::nullopt;
    QStringList names;
    for (const Result &r : k->results.mid(0, visibleCount(*k)))
        if (!names.contains(r.category))
            names << r.category;
    names.sort();
    QJsonArray out;
    for (const QString &n : names)
        out.append(n);
    return out;
}

} // namespace nassim
