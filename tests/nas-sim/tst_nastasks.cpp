// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// The simulated unit's tasks: categories, counts, sorting, filtering, the
// commands of both task kinds, trackers, and progress over time; its folder
// tree, preferences, schedule, search sites and torrent files.
#include "SimFixture.h"
#include "TestUtil.h"

#include "api/CgiCtrl.h"
#include "api/CgiErrorRules.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

#include <QJsonArray>
#include <QtTest>

using namespace flk;

namespace {
QStringList names(const QJsonObject &reply)
{
    QStringList out;
    for (const QJsonValue &v : reply.value("files").toArray())
        out << v.toObject().value("name").toString();
    return out;
}
} // namespace

class TestNasTasks : public QObject
{
    Q_OBJECT

private slots:
    void categoriesCountsAndTotals()
    {
        nassim::NasTasks tasks;
        const QJsonObject all = tasks.list(0, "position", "asc", "", 0);
        QCOMPARE(all.value("files").toArray().size(), tasks.count());
        QCOMPARE(all.value("all").toInt(), tasks.count());
        int sum = 0;
        for (int c = 1; c <= 4; ++c) {
            const QJsonObject one = tasks.list(c, "position", "asc", "", 0);
            const char *keys[] = { "", "downloading", "completed", "active", "inactive" };
            QCOMPARE(one.value("files").toArray().size(), all.value(keys[c]).toInt());
            sum += c == 1 || c == 2 ? one.value("files").toArray().size() : 0;
        }
        QVERIFY(sum > 0);
        QVERIFY(all.value("total_download_speed").toString().endsWith("/s"));
        const QJsonObject first = all.value("files").toArray().first().toObject();
        for (const char *key : { "id", "type", "name", "position", "size", "percent", "download",
                 "upload", "eta", "queuePosition_active", "complete_time", "status", "owner" })
            QVERIFY2(first.contains(key), key);
    }

    void sortingAndFiltering()
    {
        nassim::NasTasks tasks;
        const QStringList asc = names(tasks.list(0, "name", "asc", "", 0));
        QStringList sorted = asc;
        std::sort(sorted.begin(), sorted.end(), [](const QString &a, const QString &b) {
            return a.compare(b, Qt::CaseInsensitive) < 0;
        });
        QCOMPARE(asc, sorted);
        QStringList desc = names(tasks.list(0, "name", "desc", "", 0));
        std::reverse(desc.begin(), desc.end());
        QCOMPARE(desc, asc);
        const QStringList iso = names(tasks.list(0, "position", "asc", "ISO", 0));
        QVERIFY(!iso.isEmpty());
        for (const QString &n : iso)
            QVERIFY(n.contains("iso", Qt::CaseInsensitive));
    }

    void progressMovesWithTheClock()
    {
        nassim::NasTasks tasks;
        const qint64 t0 = QDateTime::currentSecsSinceEpoch();
        const auto percentOf = [&](qint64 now) {
            return tasks.list(0, "position", "asc", "", now)
                .value("files")
                .toArray()
                .first()
                .toObject()
                .value("percent")
                .toString();
        };
        const QString before = percentOf(t0);
        QVERIFY(percentOf(t0 + 60) != before);
        // A task that finishes becomes completed with a completion time.
        const QJsonObject later = tasks.list(2, "position", "asc", "", t0 + 100000);
        QVERIFY(later.value("completed").toInt() >= 3);
    }

    void syntheticLists()
    {
        nassim::NasTasks tasks;
        tasks.makeSynthetic(10000);
        QCOMPARE(tasks.count(), 10000);
        const QJsonObject reply = tasks.list(0, "position", "asc", "", 0);
        QCOMPARE(reply.value("files").toArray().size(), 10000);
        QCOMPARE(reply.value("all").toInt(), 10000);
    }

    void commandsOverHttp()
    {
        SimFixture sim;
        CgiCtrl c;
        Error e;
        QVERIFY(onWorker([&] { return c.login_Server(sim.http(), "admin", "admin", false, &e); }));
        auto reply = onWorker([&] { return c.get_Torrent_List(0, "position", "asc", "", &e); });
        QVERIFY(reply);
        const QJsonArray files = reply->value("files").toArray();
        QString btPaused, http;
        for (const QJsonValue &v : files) {
            const QJsonObject t = v.toObject();
            if (t.value("type") == "BT" && t.value("status") == "Paused")
                btPaused = QString::number(t.value("id").toInteger());
            if (t.value("type") == "HTTP/FTP" && http.isEmpty())
                http = QString::number(t.value("id").toInteger());
        }
        QVERIFY(!btPaused.isEmpty() && !http.isEmpty());
        QVERIFY(onWorker([&] { return c.start_Torrent(btPaused, &e); }));
        // The same id under the other kind's acts is unknown.
        QVERIFY(!onWorker([&] { return c.start_Download(btPaused, &e); }));
        QVERIFY(onWorker([&] { return c.stop_Download(http, &e); }));
        QVERIFY(onWorker([&] { return c.change_Torrent_Order(btPaused, "up", &e); }));
        const qint64 id = btPaused.toLongLong();
        QVERIFY(onWorker(
            [&] { return c.add_Torrent_Tracker(id, "udp://new.tracker.example:80", &e); }));
        auto info = onWorker([&] { return c.get_Torrent_Info(id, "file_id", "asc", &e); });
        QVERIFY(info);
        const QJsonArray trackers = info->value("tracker").toArray();
        QCOMPARE(trackers.size(), 3);
        QVERIFY(onWorker([&] { return c.remove_Torrent_Tracker(id, "1,3", &e); }));
        info = onWorker([&] { return c.get_Torrent_Info(id, "file_id", "asc", &e); });
        QCOMPARE(info->value("tracker").toArray().size(), 1);
        QVERIFY(!onWorker([&] { return c.get_Torrent_Info(id + 1000, "file_id", "asc", &e); }));
        QVERIFY(onWorker([&] { return c.remove_Torrent(btPaused, 0, &e); }));
        QVERIFY(onWorker([&] { return c.remove_Download(http, 1, &e); }));
        reply = onWorker([&] { return c.get_Torrent_List(0, "position", "asc", "", &e); });
        QCOMPARE(reply->value("files").toArray().size(), files.size() - 2);
        QVERIFY(sim.server().applyControl("tasks", "250"));
        reply = onWorker([&] { return c.get_Torrent_List(0, "position", "asc", "", &e); });
        QCOMPARE(reply->value("all").toInt(), 250);
    }

    void foldersPreferencesScheduleAndSites()
    {
        SimFixture sim;
        CgiCtrl c;
        Error e;
        QVERIFY(onWorker([&] { return c.login_Server(sim.http(), "admin", "admin", false, &e); }));
        // Folders: the root reply's share_folders, then a level's datas.
        const auto shares = onWorker([&] { return c.get_Folder_List("/ignored", true, &e); });
        QVERIFY(shares && shares->isArray());
        QCOMPARE(shares->toArray().first().toObject(),
            (QJsonObject { { "id", "/Download" }, { "text", "Download" } }));
        QVERIFY(onWorker([&] { return c.create_Folder("/Download", "New & odd #1", &e); }));
        QVERIFY(
            !onWorker([&] { return c.create_Folder("/Download", "New & odd #1", &e); })); // exists
        QVERIFY(!onWorker([&] { return c.create_Folder("/Download", "a/b", &e); }));
        QVERIFY(!onWorker([&] { return c.create_Folder("/Nowhere", "x", &e); }));
        const auto level = onWorker([&] { return c.get_Folder_List("/Download", false, &e); });
        QVERIFY(level);
        QStringList names;
        for (const QJsonValue &v : level->toArray())
            names << v.toObject().value("text").toString();
        QVERIFY(names.contains("New & odd #1"));
        QVERIFY(!onWorker([&] { return c.get_Folder_List("/Nowhere", false, &e); }));

        // Preferences: typed on the way in; 5005 until an account has any.
        AppCgiDelegate rules; // adds the "success" the preference reply lacks
        c.setDelegate(&rules);
        auto prefs = onWorker([&] { return c.get_User_Preference(&e); });
        QVERIFY(prefs);
        QJsonObject changed = *prefs;
        changed["max_dl_number"] = 9;
        changed["enable_dht"] = false;
        changed.remove("success");
        QVERIFY(onWorker([&] { return c.set_User_Preference(changed, &e); }));
        prefs = onWorker([&] { return c.get_User_Preference(&e); });
        QCOMPARE(prefs->value("max_dl_number").toInt(), 9);
        QCOMPARE(prefs->value("enable_dht").toBool(), false);
        changed["default_dl_dir"] = "/Nowhere";
        QVERIFY(!onWorker([&] { return c.set_User_Preference(changed, &e); }));
        sim.state().clearPreferences("admin");
        QVERIFY(!onWorker([&] { return c.get_User_Preference(&e); }));
        QCOMPARE(e.code, 5005);
        QVERIFY(onWorker([&] { return c.set_User_Initial_Preference("/Public", &e); }));
        prefs = onWorker([&] { return c.get_User_Preference(&e); });
        QCOMPARE(prefs->value("default_dl_dir").toString(), QStringLiteral("/Public"));
        QCOMPARE(prefs->value("watch_dir").toString(), QStringLiteral("/Public"));
        QCOMPARE(prefs->value("enable_watch").toBool(), false);

        // Schedule: arrays out, day strings in.
        auto schedule = onWorker([&] { return c.get_Torrent_Schedule(&e); });
        QVERIFY(schedule);
        QCOMPARE(CgiCtrl::decodeScheduleDay(schedule->value("mon")).value(9), 2);
        QJsonObject record { { "enable_scheduler", true }, { "max_download_speed", 800 },
            { "max_upload_speed", 50 } };
        for (const char *day : { "sun", "mon", "tue", "wed", "thu", "fri", "sat" })
            record.insert(day, QJsonArray());
        QList<int> hours(24, 3);
        hours[0] = 4;
        for (const char *day : { "sun", "mon", "tue", "wed", "thu", "fri", "sat" })
            record.insert(day, CgiCtrl::encodeScheduleDay(hours));
        QVERIFY(onWorker([&] { return c.set_Torrent_Schedule(record, &e); }));
        schedule = onWorker([&] { return c.get_Torrent_Schedule(&e); });
        QCOMPARE(CgiCtrl::decodeScheduleDay(schedule->value("sat")), hours);
        QCOMPARE(schedule->value("enable_scheduler").toBool(), true);
        record["sun"] = "1,2,3"; // not 24 hours
        QVERIFY(!onWorker([&] { return c.set_Torrent_Schedule(record, &e); }));

        // Search sites.
        const auto sites = onWorker([&] { return c.get_Search_Site_List(&e); });
        QVERIFY(sites && sites->size() >= 3);
        QVERIFY(onWorker([&] { return c.enable_Search_Site("openbay", false, &e); }));
        QCOMPARE(sim.state().settings().sites().first().toObject().value("enable").toBool(), false);
        QVERIFY(onWorker([&] {
            return c.set_Search_Site_Info(
                "privatehub", { { "account", "me" }, { "pwd", "pw" } }, &e);
        }));
        QCOMPARE(onWorker([&] { return c.get_Search_Site_Info("privatehub", &e); })
                     ->value("account")
                     .toString(),
            QStringLiteral("me"));
        QVERIFY(!onWorker([&] { return c.delete_Search_Site("openbay", &e); })); // built in

        // The torrent file behind a task's link is served as a file.
        const qint64 id = onWorker([&] { return c.get_Torrent_List(0, "position", "asc", "", &e); })
                              ->value("files")
                              .toArray()
                              .first()
                              .toObject()
                              .value("id")
                              .toInteger();
        const auto info = onWorker([&] { return c.get_Torrent_Info(id, "file_id", "asc", &e); });
        const QString link = c.get_Torrent_URL(
            info->value("name").toString(), info->value("torrentFile").toString());
        QNetworkAccessManager nam;
        QNetworkReply *r = nam.get(QNetworkRequest(QUrl(link)));
        QSignalSpy done(r, &QNetworkReply::finished);
        QVERIFY(done.wait(5000));
        QCOMPARE(r->header(QNetworkRequest::ContentTypeHeader).toString(),
            QStringLiteral("application/x-bittorrent"));
        QVERIFY(r->readAll().startsWith("d8:announce"));
        r->deleteLater();
    }

    void rssFeedsItemsAndFilters()
    {
        const qint64 now = 1800000000;
        nassim::NasRss rss(now);
        // The pseudo-feed first, then the feeds sorted as asked.
        const QJsonArray feeds = rss.feedList("title", "desc", now);
        QCOMPARE(feeds.first().toObject().value("id").toInt(), -1);
        QVERIFY(feeds.size() >= 6);
        QVERIFY(feeds[1].toObject().value("title").toString()
            > feeds[2].toObject().value("title").toString());
        // A few hundred items in the first feed; ages follow the clock;
        // sizes sort by their bytes, not their text.
        const auto items = rss.itemList(1, "size", "asc", now);
        QVERIFY(items && items->size() >= 200);
        const auto later = rss.itemList(1, "id", "asc", now + 60);
        QCOMPARE(later->first().toObject().value("age").toInteger(),
            rss.itemList(1, "id", "asc", now)->first().toObject().value("age").toInteger() + 60);
        QVERIFY(!rss.itemList(999, "id", "asc", now));
        // Some torrent links, some magnets.
        bool magnet = false, torrent = false;
        const QJsonArray classics = *rss.itemList(3, "id", "asc", now);
        for (const QJsonValue &v : classics) {
            const QString url = v.toObject().value("url").toString();
            magnet |= url.startsWith("magnet:");
            torrent |= url.endsWith(".torrent");
        }
        QVERIFY(magnet && torrent);
        // Add, refuse, edit, update, delete.
        QCOMPARE(rss.addFeed("ftp://x.example/rss", 0, now), int(nassim::NasRss::kBadUrl));
        QCOMPARE(rss.addFeed("https://n.example/rss", 9, now), int(nassim::NasRss::kBadInterval));
        QCOMPARE(rss.addFeed("https://n.example/rss", 2, now), 0);
        QCOMPARE(rss.addFeed("https://n.example/rss", 2, now), int(nassim::NasRss::kDuplicateFeed));
        QCOMPARE(rss.updateFeeds("1,2,3", now), 0);
        QCOMPARE(rss.updateFeeds("1,77", now), int(nassim::NasRss::kNoSuchFeed));
        QCOMPARE(rss.deleteFeed(2), 0);
        QCOMPARE(rss.deleteFeed(2), int(nassim::NasRss::kNoSuchFeed));
        // Filters: words become arrays, the numbers are checked.
        QMap<QString, QString> form { { "name", "n" }, { "include", " a  b " }, { "720p", "1" },
            { "time-limit", "3600" }, { "update_interval", "3" }, { "save_as", "/Download" } };
        QCOMPARE(rss.addFilter(form, now), 0);
        const QJsonObject f = rss.filterList().last().toObject();
        QCOMPARE(f.value("include").toArray(), (QJsonArray { "a", "b" }));
        QVERIFY(f.value("quality").toObject().value("720p").toBool());
        QCOMPARE(f.value("check_interval").toObject().value("update_interval").toInt(), 3);
        QMap<QString, QString> bad { { "id", QString::number(f.value("id").toInteger()) },
            { "update_interval", "12" } };
        QCOMPARE(rss.editFilter(bad, now), int(nassim::NasRss::kBadFilter));
        QCOMPARE(rss.editFilter({ { "id", "999" } }, now), int(nassim::NasRss::kNoSuchFilter));
        QCOMPARE(rss.deleteFilter(f.value("id").toInteger()), 0);
    }
};

QTEST_MAIN(TestNasTasks)
#include "tst_nastasks.moc"
