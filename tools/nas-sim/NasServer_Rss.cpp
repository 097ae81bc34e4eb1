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

bool NasServer::servePage(const std::string &path, httplib::Response &res)
{
    static const QRegularExpression item(QStringLiteral("^/__sim/rss/item/(\\d+)$"));
    const auto m = item.match(QString::fromStdString(path));
    if (!m.hasMatch())
        return false;
    const QString id = m.captured(1);
    const QString html
        = QStringLiteral("<!doctype html><html><head><meta charset=\"utf-8\">"
                         "<title>RSS item %1</title></head><body><h1>RSS item %1</h1>"
                         "<p>The page of an item of the simulated NAS's feeds.</p>"
                         "</body></html>")
              .arg(id);
    res.set_content(html.toStdString(), "text/html; charset=utf-8");
    return true;
}

} // namespace nassim
