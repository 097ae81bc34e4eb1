// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// RSS feeds, items and filters on the simulated unit.
#include "NasServer.h"

#include <httplib.h>

#include <QDateTime>
#include <QRegularExpression>

namespace nassim {

namespace {
qint64 now()
{
    return QDateTime::currentSecsSinceEpoch();
}
SimReply status(int code)
{
    return code ? SimReply::fail(code) : SimReply::ok();
}
} // namespace

void NasServer::registerRss()
{
    const QString btdlm = QStringLiteral("/apps/haulhouse/btdlm.cgi");

    on(btdlm, QStringLiteral("rss-feed-list"), true, [this](Call &c) {
        return SimReply::ok({ { QStringLiteral("items"),
            m_state.rss().feedList(c.form.value(QStringLiteral("sortby")),
                c.form.value(QStringLiteral("orderby")), now()) } });
    });
    on(btdlm, QStringLiteral("rss-item-list"), true, [this](Call &c) {
        bool ok = false;
        const qint64 feed = c.form.value(QStringLiteral("feed_id")).toLongLong(&ok);
        const auto items = ok ? m_state.rss().itemList(feed, c.form.value(QStringLiteral("sortby")),
                               c.form.value(QStringLiteral("orderby")), now())
                              : std::nullopt;
        if (!items)
            return SimReply::fail(NasRss::kNoSuchFeed);
        // Item pages are served by the unit itself.
        QJsonArray out;
        for (const QJsonValue &v : *items) {
            QJsonObject item = v.toObject();
            item.insert(
                QStringLiteral("link"), httpBase() + item.value(QStringLiteral("link")).toString());
            out.append(item);
        }
        return SimReply::ok({ { QStringLiteral("items"), out } });
    });
    on(btdlm, QStringLiteral("rss-feed-add"), true, [this](Call &c) {
        bool ok = false;
        const int interval = c.form.value(QStringLiteral("update_interval")).toInt(&ok);
        return status(ok
                ? m_state.rss().addFeed(c.form.value(QStringLiteral("url")), interval, now())
                : int(NasRss::kBadInterval));
    });
    on(btdlm, QStringLiteral("rss-feed-edit"), true, [this](Call &c) {
        bool okId = false, okInterval = false;
        const qint64 id = c.form.value(QStringLiteral("id")).toLongLong(&okId);
        const int interval = c.form.value(QStringLiteral("update_interval")).toInt(&okInterval);
        if (!okId)
            return SimReply::fail(NasRss::kNoSuchFeed);
        if (!okInterval)
            return SimReply::fail(NasRss::kBadInterval);
        return status(m_state.rss().editFeed(id, c.form.value(QStringLiteral("url")), interval));
    });
    on(btdlm, QStringLiteral("rss-feed-update"), true, [this](Call &c) {
        return status(m_state.rss().updateFeeds(c.form.value(QStringLiteral("id")), now()));
    });
    on(btdlm, QStringLiteral("rss-feed-delete"), true, [this](Call &c) {
        bool ok = false;
        const qint64 id = c.form.value(QStringLiteral("id")).toLongLong(&ok);
        return status(ok ? m_state.rss().deleteFeed(id) : int(NasRss::kNoSuchFeed));
    });

    on(btdlm, QStringLiteral("rss-filter-list"), true, [this](Call &) {
        return SimReply::ok({ { QStringLiteral("items"), m_state.rss().filterList() } });
    });
    on(btdlm, QStringLiteral("rss-filter-add"), true, [this](Call &c) {
        if (!m_state.settings().folderExists(c.form.value(QStringLiteral("save_as"))))
            return SimReply::fail(5201);
        return status(m_state.rss().addFilter(c.form, now()));
    });
    on(btdlm, QStringLiteral("rss-filter-edit"), true, [this](Call &c) {
        if (c.form.contains(QStringLiteral("save_as"))
            && !m_state.settings().folderExists(c.form.value(QStringLiteral("save_as"))))
            return SimReply::fail(5201);
        return status(m_state.rss().editFilter(c.form, now()));
    });
    on(btdlm, QStringLiteral("rss-filter-delete"), true, [this](Call &c) {
        bool ok = false;
        const qint64 id = c.form.value(QStringLiteral("id")).toLongLong(&ok);
        return status(ok ? m_state.rss().deleteFilter(id) : int(NasRss::kNoSuchFilter));
    });
}

void NasServer::registerSearch()
{
    const QString btsearch = QStringLiteral("/apps/haulhouse/btsearch.cgi");
    on(btsearch, QStringLiteral("torrent-search-index"), true, [this](Call &) {
        return SimReply::ok({ { QStringLiteral("items"), m_state.search().keys() } });
    });
    on(btsearch, QStringLiteral("torrent-search-request"), true, [this](Call &c) {
        return status(m_state.search().request(c.form.value(QStringLiteral("query")), now()));
    });
    on(btsearch, QStringLiteral("torrent-search-delete"), true, [this](Call &c) {
        return status(m_state.search().remove(c.form.value(QStringLiteral("query"))));
    });
    on(btsearch, QStringLiteral("torrent-search-category"), true, [this](Call &c) {
        const auto items = m_state.search().categories(c.form.value(QStringLiteral("query")));
        if (!items)
            return SimReply::fail(NasSearch::kNoSuchKey);
        return SimReply::ok({ { QStringLiteral("items"), *items } });
    });
    on(btsearch, QStringLiteral("torrent-search-response"), true, [this](Call &c) {
        auto reply = m_state.search().response(c.form.value(QStringLiteral("query")),
            c.form.value(QStringLiteral("sortby")), c.form.value(QStringLiteral("orderby")),
            c.form.value(QStringLiteral("filter")), c.form.value(QStringLiteral("category")));
        if (!reply)
            return SimReply::fail(NasSearch::kNoSuchKey);
        // Result pages are served by the unit itself.
        QJsonArray items;
        for (const QJsonValue &v : reply->value(QStringLiteral("items")).toArray()) {
            QJsonObject r = v.toObject();
            r.insert(
                QStringLiteral("link"), httpBase() + r.value(QStringLiteral("link")).toString());
            items.append(r);
        }
        reply->insert(QStringLiteral("items"), items);
        SimReply r;
        r.json = *reply;
        return r;
    });
}

bool NasServer::servePage(const std::string &path, httplib::Response &res)
{
    static const QRegularExpression page(
        QStringLiteral("^/__sim/(rss/item|search/result)/([0-9A-Za-z]+)$"));
    const auto m = page.match(QString::fromStdString(path));
    if (!m.hasMatch())
        return false;
    const bool rss = m.captured(1).startsWith(QLatin1String("rss"));
    const QString what = rss ? QStringLiteral("RSS item") : QStringLiteral("Search result");
    const QString html = QStringLiteral("<!doctype html><html><head><meta charset=\"utf-8\">"
                                        "<title>%1 %2</title></head><body><h1>%1 %2</h1>"
                                        "<p>A page served by the simulated NAS.</p>"
                                        "</body></html>")
                             .arg(what, m.captured(2));
    res.set_content(html.toStdString(), "text/html; charset=utf-8");
    return true;
}

} // namespace nassim
