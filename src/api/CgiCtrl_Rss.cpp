// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// RSS and search operations of CgiCtrl.
#include "CgiCtrl.h"

#include "CgiOperations.h"
#include "JsonUtil.h"
#include "Localization.h"

namespace flk {

namespace {
const QString btdlm()
{
    return QString::fromLatin1(kCgiPathBtdlm);
}
const QString btsearch()
{
    return QString::fromLatin1(kCgiPathBtsearch);
}
} // namespace

const QStringList &CgiCtrl::rssQualityNames()
{
    static const QStringList names { QStringLiteral("1080i"), QStringLiteral("1080p"),
        QStringLiteral("720p"), QStringLiteral("DSRip"), QStringLiteral("DVBRip"),
        QStringLiteral("DVDR"), QStringLiteral("DVDRip"), QStringLiteral("DVDScr"),
        QStringLiteral("HDTV"), QStringLiteral("HR_HDTV"), QStringLiteral("HR_PDTV"),
        QStringLiteral("PDTV"), QStringLiteral("SVCD"), QStringLiteral("SatRip"),
        QStringLiteral("TVRip"), QStringLiteral("WebRip") };
    return names;
}

// ---- search ---------------------------------------------------------------

CgiCtrl::Reply CgiCtrl::get_Search_Key_List(Error *error)
{
    return _request_Reply(
        btsearch(), QStringLiteral("torrent-search-index"), {}, kCgiSearchIndex, error);
}

bool CgiCtrl::send_Search_Request(const QString &query, Error *error)
{
    return _request_Ok(btsearch(), QStringLiteral("torrent-search-request"),
        { { QStringLiteral("query"), query } }, kCgiSearchRequest, error);
}

bool CgiCtrl::delete_Search_Key(const QString &query, Error *error)
{
    return _request_Ok(btsearch(), QStringLiteral("torrent-search-delete"),
        { { QStringLiteral("query"), query } }, kCgiSearchDelete, error);
}

std::optional<QJsonValue> CgiCtrl::get_Search_Category_List(const QString &query, Error *error)
{
    return _request_Member(btsearch(), QStringLiteral("torrent-search-category"),
        { { QStringLiteral("query"), query } }, kCgiSearchCategory, QStringLiteral("items"), error);
}

CgiCtrl::Reply CgiCtrl::get_Search_Response(const QString &query, const QString &sort,
    const QString &order, const QString &filter, const QString &category, Error *error)
{
    // The all-categories entry of the chooser is sent as "every category".
    const QString cate = category == localized("SEARCH_CATE_ALL") ? QString() : category;
    return _request_Reply(btsearch(), QStringLiteral("torrent-search-response"),
        { { QStringLiteral("query"), query }, { QStringLiteral("sortby"), sort },
            { QStringLiteral("orderby"), order }, { QStringLiteral("filter"), filter },
            { QStringLiteral("category"), cate } },
        kCgiSearchResponse, error);
}

// ---- RSS feeds and items ----------------------------------------------------

std::optional<QJsonValue> CgiCtrl::get_RSS_Feed_List(
    const QString &sort, const QString &order, Error *error)
{
    return _request_Member(btdlm(), QStringLiteral("rss-feed-list"),
        { { QStringLiteral("sortby"), sort }, { QStringLiteral("orderby"), order } },
        kCgiRssFeedList, QStringLiteral("items"), error);
}

std::optional<QJsonValue> CgiCtrl::get_RSS_Item_List(
    qint64 feedId, const QString &sort, const QString &order, Error *error)
{
    return _request_Member(btdlm(), QStringLiteral("rss-item-list"),
        { { QStringLiteral("feed_id"), feedId }, { QStringLiteral("sortby"), sort },
            { QStringLiteral("orderby"), order } },
        kCgiRssItemList, QStringLiteral("items"), error);
}

bool CgiCtrl::add_RSS_Feed(const QString &url, uint updateInterval, Error *error)
{
    return _request_Ok(btdlm(), QStringLiteral("rss-feed-add"),
        { { QStringLiteral("url"), url }, { QStringLiteral("update_interval"), updateInterval } },
        kCgiRssFeedAdd, error);
}

bool CgiCtrl::edit_RSS_Feed(
    qint64 feedId, const QString &url, std::optional<uint> updateInterval, Error *error)
{
    QVariantMap form { { QStringLiteral("id"), feedId }, { QStringLiteral("url"), url } };
    if (updateInterval)
        form.insert(QStringLiteral("update_interval"), *updateInterval);
    return _request_Ok(btdlm(), QStringLiteral("rss-feed-edit"), form, kCgiRssFeedEdit, error);
}

bool CgiCtrl::update_RSS_Feed(const QString &feedIds, Error *error)
{
    return _request_Ok(btdlm(), QStringLiteral("rss-feed-update"),
        { { QStringLiteral("id"), feedIds } }, kCgiRssFeedUpdate, error);
}

bool CgiCtrl::delete_RSS_Feed(qint64 feedId, Error *error)
{
    return _request_Ok(btdlm(), QStringLiteral("rss-feed-delete"),
        { { QStringLiteral("id"), feedId } }, kCgiRssFeedDelete, error);
}

// ---- RSS filters --------------------------------------------------------------

std::optional<QJsonValue> CgiCtrl::get_RSS_Filter_List(Error *error)
{
    return _request_Member(btdlm(), QStringLiteral("rss-filter-list"), {}, kCgiRssFilterList,
        QStringLiteral("items"), error);
}

QVariantMap CgiCtrl::newRssFilter(const QString &name, const QString &saveAs)
{
    QVariantMap f { { QStringLiteral("name"), name }, { QStringLiteral("feed_id"), 0 },
        { QStringLiteral("include"), QString() }, { QStringLiteral("exclude"), QString() },
        { QStringLiteral("time-limit"), 0 }, { QStringLiteral("tv_series_enabled"), false },
        { QStringLiteral("season_start"), 0 }, { QStringLiteral("season_end"), 0 },
        { QStringLiteral("episode_start"), 0 }, { QStringLiteral("episode_end"), 0 },
        { QStringLiteral("update_interval_enabled"), false },
        { QStringLiteral("update_interval"), 0 }, { QStringLiteral("save_as_enabled"), true },
        { QStringLiteral("save_as"), saveAs } };
    for (const QString &q : rssQualityNames())
        f.insert(q, false);
    return f;
}

bool CgiCtrl::add_RSS_Filter(const QString &name, const QString &saveAs, Error *error)
{
    return _request_Ok(btdlm(), QStringLiteral("rss-filter-add"), newRssFilter(name, saveAs),
        kCgiRssFilterAdd, error);
}

bool CgiCtrl::edit_RSS_Filter(
    qint64 filterId, const QString &name, const QVariantMap &info, Error *error)
{
    QVariantMap params = info;
    // The given name and id win over same-named members of the settings.
    params.insert(QStringLiteral("name"), name);
    params.insert(QStringLiteral("id"), filterId);
    return _request_Ok(
        btdlm(), QStringLiteral("rss-filter-edit"), params, kCgiRssFilterEdit, error);
}

bool CgiCtrl::delete_RSS_Filter(qint64 filterId, Error *error)
{
    return _request_Ok(btdlm(), QStringLiteral("rss-filter-delete"),
        { { QStringLiteral("id"), filterId } }, kCgiRssFilterDelete, error);
}

} // namespace flk
