// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// The task, folder, preference, schedule and search-site operations: what
// each sends and what it returns, checked through the simulator's log.
#include "RecordingAlertPresenter.h"
#include "SimFixture.h"
#include "TestUtil.h"

#include "api/CgiCtrl.h"
#include "api/CgiErrorRules.h"
#include "api/CgiOperations.h"
#include "api/Localization.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace flk;
using nassim::SimReply;

class TestCgiOperations : public QObject
{
    Q_OBJECT

    std::unique_ptr<SimFixture> sim;
    std::unique_ptr<CgiCtrl> c;
    AppCgiDelegate rules;

    // Answers act on path with reply and returns what the request carried.
    void answer(const QString &path, const QString &act, const SimReply &reply)
    {
        sim->server().on(path, act, true, [reply](nassim::Call &) { return reply; });
    }
    QJsonObject lastForm(const QString &act) const
    {
        return sim->server().requestsFor(act).last().value("form").toObject();
    }
    QJsonObject lastQuery(const QString &act) const
    {
        return sim->server().requestsFor(act).last().value("query").toObject();
    }

private slots:
    void initTestCase() { installTranslations(); }
    void init()
    {
        sim = std::make_unique<SimFixture>();
        c = std::make_unique<CgiCtrl>();
        Error e;
        QVERIFY(
            onWorker([&] { return c->login_Server(sim->http(), "admin", "admin", false, &e); }));
    }
    void cleanup()
    {
        c.reset();
        sim.reset();
    }

    void successFlagFollowsTheError()
    {
        answer(kCgiPathBtdlm, "torrent-start", SimReply::ok({ { "extra", "member" } }));
        Error e;
        QVERIFY(onWorker([&] { return c->start_Torrent("1,2,3", &e); }));
        QVERIFY(!e.isError());
        QCOMPARE(lastForm("torrent-start"), (QJsonObject { { "id", "1,2,3" } }));
        answer(kCgiPathBtdlm, "torrent-start", SimReply::fail(5100));
        QVERIFY(!onWorker([&] { return c->start_Torrent("1", &e); }));
        QCOMPARE(e.code, 5100);
        QCOMPARE(e.cgiId(), int(kCgiTorrentStart));
    }

    void requestForms_data()
    {
        QTest::addColumn<QString>("act");
        QTest::addColumn<QJsonObject>("form");
        QTest::addColumn<int>("function");
        QTest::newRow("torrent-list") << "torrent-list"
                                      << QJsonObject { { "type", "2" }, { "sortby", "name" },
                                             { "orderby", "desc" }, { "filter", "a&b" } }
                                      << int(kCgiTorrentList);
        QTest::newRow("torrent-info")
            << "torrent-info"
            << QJsonObject { { "id", "42" }, { "sortby", "file_id" }, { "orderby", "asc" } }
            << int(kCgiTorrentInfo);
        QTest::newRow("torrent-add")
            << "torrent-add"
            << QJsonObject { { "torrent", "t.torrent" }, { "download_dir", "/Download" },
                   { "enable_top_queue", "1" }, { "file_unwanted", "2,3," } }
            << int(kCgiTorrentAdd);
        QTest::newRow("torrent-set") << "torrent-set"
                                     << QJsonObject { { "id", "7" }, { "download_dir", "/D" },
                                            { "file_wanted", "1," }, { "file_unwanted", "2," } }
                                     << int(kCgiTorrentSet);
        QTest::newRow("torrent-remove")
            << "torrent-remove" << QJsonObject { { "id", "1,2" }, { "mode", "1" } }
            << int(kCgiTorrentRemove);
        QTest::newRow("torrent-queue")
            << "torrent-queue" << QJsonObject { { "id", "5" }, { "direction", "up" } }
            << int(kCgiTorrentQueue);
        QTest::newRow("tracker-add")
            << "tracker-add" << QJsonObject { { "id", "9" }, { "tracker", "udp://t.example:80" } }
            << int(kCgiTrackerAdd);
        QTest::newRow("tracker-remove")
            << "tracker-remove" << QJsonObject { { "id", "9" }, { "tracker_id", "1,4" } }
            << int(kCgiTrackerRemove);
        QTest::newRow("download-delete")
            << "download-delete" << QJsonObject { { "id", "3" }, { "mode", "0" } }
            << int(kCgiDownloadDelete);
        QTest::newRow("set-user-initial-pref")
            << "set-user-initial-pref"
            << QJsonObject { { "default_dl_dir", "/Share/DL" }, { "enable_auto_remove", "0" },
                   { "enable_watch", "0" }, { "watch_dir", "/Share/DL" },
                   { "ignore_other_user", "0" } }
            << int(kCgiSetUserInitialPref);
        QTest::newRow("createdir")
            << "createdir"
            << QJsonObject { { "dest_path", "/Download" }, { "dest_folder", "New & Used" } }
            << int(kCgiCreateDir);
        QTest::newRow("search-site-test")
            << "torrent-test-search-engine-account"
            << QJsonObject { { "name", "site" }, { "account", "u" }, { "passwd", "p" } }
            << int(kCgiSearchEngineTestAccount);
    }
    void requestForms()
    {
        QFETCH(QString, act);
        QFETCH(QJsonObject, form);
        QFETCH(int, function);
        const QString path = act == "createdir" ? kCgiPathFileExplorer
            : act.startsWith("torrent-test")    ? kCgiPathBtsearch
                                                : kCgiPathBtdlm;
        answer(path, act, SimReply::fail(5999));
        Error e;
        switch (function) {
        case kCgiTorrentList:
            onWorker([&] { return c->get_Torrent_List(2, "name", "desc", "a&b", &e); });
            break;
        case kCgiTorrentInfo:
            onWorker([&] { return c->get_Torrent_Info(42, "file_id", "asc", &e); });
            break;
        case kCgiTorrentAdd:
            onWorker([&] { return c->add_Torrent("t.torrent", "/Download", true, "2,3,", &e); });
            break;
        case kCgiTorrentSet:
            onWorker([&] { return c->set_Torrent("7", "/D", "1,", "2,", &e); });
            break;
        case kCgiTorrentRemove:
            onWorker([&] { return c->remove_Torrent("1,2", 1, &e); });
            break;
        case kCgiTorrentQueue:
            onWorker([&] { return c->change_Torrent_Order("5", "up", &e); });
            break;
        case kCgiTrackerAdd:
            onWorker([&] { return c->add_Torrent_Tracker(9, "udp://t.example:80", &e); });
            break;
        case kCgiTrackerRemove:
            onWorker([&] { return c->remove_Torrent_Tracker(9, "1,4", &e); });
            break;
        case kCgiDownloadDelete:
            onWorker([&] { return c->remove_Download("3", 0, &e); });
            break;
        case kCgiSetUserInitialPref:
            onWorker([&] { return c->set_User_Initial_Preference("/Share/DL", &e); });
            break;
        case kCgiCreateDir:
            onWorker([&] { return c->create_Folder("/Download", "New & Used", &e); });
            break;
        case kCgiSearchEngineTestAccount:
            onWorker([&] { return c->test_Search_Site_Auth("site", "u", "p", &e); });
            break;
        }
        QCOMPARE(e.code, 5999);
        QCOMPARE(e.cgiId(), function);
        QCOMPARE(lastForm(act), form);
        QCOMPARE(sim->server().requestsFor(act).last().value("path").toString(), path);
    }

    void expiredListAsksToReconnect()
    {
        RecordingAlertPresenter alerts;
        c->setDelegate(&rules);
        c->setShowErrorAlert(true);
        sim->state().expireAllSessions();
        Error e;
        QVERIFY(!onWorker([&] { return c->get_Torrent_List(0, "", "asc", "", &e); }));
        QCOMPARE(e.code, 5000);
        QVERIFY(c->sessionTimeout());
        QTRY_COMPARE(alerts.shown.size(), 1);
        QCOMPARE(alerts.shown[0].request.message, localized("TXT_RE_CONNECT_NAS"));
        alerts.close(1);
    }

    void uploadTorrentsCarryTheirOptionsInTheUrl()
    {
        sim->server().on(kCgiPathUpload, "multi-torrent-upload", true, [](nassim::Call &call) {
            QJsonArray list;
            for (const auto &f : call.files)
                list.append(QJsonObject { { "name", f.filename } });
            return SimReply::ok({ { "torrent_list", list } });
        });
        QTemporaryDir dir;
        const QString file = dir.filePath("x.torrent");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("d4:infod4:name1:xee");
        f.close();
        Error e;
        const auto list
            = onWorker([&] { return c->upload_Torrent({ file }, false, "/Download/A B", &e); });
        QVERIFY(!e.isError());
        QVERIFY(list.has_value());
        QCOMPARE(list->toArray().first().toObject().value("name").toString(),
            QStringLiteral("x.torrent"));
        const QJsonObject q = lastQuery("multi-torrent-upload");
        QCOMPARE(q.value("show_dialog_enabled").toString(), QStringLiteral("0"));
        QCOMPARE(q.value("save_to").toString(), QStringLiteral("/Download/A B"));
        QVERIFY(sim->server()
                    .requestsFor("multi-torrent-upload")
                    .last()
                    .value("raw_query")
                    .toString()
                    .contains("show_dialog_enabled=0"));

        // A refusal is a failure with the upload's text, not an empty success.
        answer(kCgiPathUpload, "multi-torrent-upload", SimReply::fail(5110));
        RecordingAlertPresenter alerts;
        alerts.answer = 0;
        c->setDelegate(&rules);
        c->setShowErrorAlert(true);
        const auto refused
            = onWorker([&] { return c->upload_Torrent({ file }, true, "/Download", &e); });
        c->setShowErrorAlert(false);
        QVERIFY(!refused);
        QCOMPARE(e.code, 5110);
        QTRY_COMPARE(alerts.shown.size(), 1);
        // The refusal's text, with the files it is about.
        QCOMPARE(alerts.shown[0].request.message,
            localized("ERROR_CGI_UPLOAD_TORRENT") + "\n\n" + QFileInfo(file).fileName());
    }

    // A plug-in the unit refuses is a failure (with its own text), as is a
    // file that cannot be read.
    void searchSiteUploadReportsRefusals()
    {
        answer(kCgiPathUpload, "torrent-add-search-engine", SimReply::fail(5100));
        QTemporaryDir dir;
        const QString file = dir.filePath("site.dlm");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("plugin");
        f.close();
        Error e;
        QVERIFY(!onWorker([&] { return c->add_Search_Site(file, &e); }));
        QCOMPARE(e.code, 5100);
        QCOMPARE(e.cgiId(), int(kCgiSearchEngineAdd));
        QCOMPARE(QString::fromLatin1(CgiErrorRules::errorMessageKey(e)),
            QStringLiteral("ERROR_CGI_ADD_SEARCH_SITE"));
        QVERIFY(sim->server()
                    .requestsFor("torrent-add-search-engine")
                    .last()
                    .value("raw_query")
                    .toString()
                    .isEmpty()
            || !lastQuery("torrent-add-search-engine").contains("save_to"));
        QVERIFY(!onWorker([&] { return c->add_Search_Site(dir.filePath("missing.dlm"), &e); }));
        QCOMPARE(e.domain, QString::fromLatin1(kTransportErrorDomain));
    }

    void torrentLinkIsBuiltNotSent()
    {
        const int before = int(sim->server().requestLog().size());
        const QString url = c->get_Torrent_URL("My Task", "/tmp/a b.torrent");
        QCOMPARE(url,
            c->host() + "/apps/haulhouse/btdlm.cgi?act=torrent-get&sid=" + c->sid()
                + "&name=My%20Task&torrentFile=%2Ftmp%2Fa%20b.torrent&");
        QCOMPARE(int(sim->server().requestLog().size()), before);
        c->setIsWebServer(true);
        QCOMPARE(c->get_Torrent_URL("n", "p"),
            c->host() + "/apps/haulhouse/btdlm.cgi/torrent-get?name=n&torrentFile=p&");
    }

    void downloadLinksKeepOnlyTheirOptions()
    {
        answer(kCgiPathBtdlm, "download-add",
            SimReply::ok({ { "torrent_list", QJsonArray { QJsonObject { { "id", 1 } } } } }));
        Error e;
        const auto list = onWorker([&] {
            return c->add_Download("http://example.invalid/file.iso", "/Download",
                { { "show_dialog_enabled", true }, { "auto_torrent_enabled", false },
                    { "auth_enabled", true }, { "auth_account", "u" }, { "auth_password", "p" },
                    { "stray", "x" } },
                &e);
        });
        QVERIFY(list && list->isArray());
        QCOMPARE(lastForm("download-add"),
            (QJsonObject { { "url", "http://example.invalid/file.iso" }, { "save_to", "/Download" },
                { "show_dialog_enabled", "1" }, { "auto_torrent_enabled", "0" },
                { "auth_enabled", "1" }, { "auth_account", "u" }, { "auth_password", "p" } }));
        answer(kCgiPathBtdlm, "download-add", SimReply::fail(5100));
        QVERIFY(!onWorker([&] { return c->add_Download("u", "/D", {}, &e); }));
    }

    void folderTree()
    {
        sim->server().on(kCgiPathFileExplorer, "get_tree", true, [](nassim::Call &call) {
            return SimReply::ok({ { "share_folders", QJsonArray { "Download", "Public" } },
                { "datas", QJsonArray { call.form.value("node") + "/sub" } } });
        });
        Error e;
        auto root = onWorker([&] { return c->get_Folder_List("/ignored", true, &e); });
        QVERIFY(root);
        QCOMPARE(root->toArray().size(), 2);
        QCOMPARE(lastForm("get_tree").value("node").toString(), QStringLiteral("share_folders"));
        auto level = onWorker([&] { return c->get_Folder_List("/Download", false, &e); });
        QCOMPARE(level->toArray().first().toString(), QStringLiteral("/Download/sub"));
    }

    void recordsAreSentMemberByMember()
    {
        answer(kCgiPathBtdlm, "set-pref", SimReply::ok());
        answer(kCgiPathBtsearch, "torrent-set-search-engine", SimReply::ok());
        Error e;
        QVERIFY(onWorker([&] {
            return c->set_User_Preference(
                { { "enable_dht", true }, { "port", 6881 }, { "default_dl_dir", "/D" } }, &e);
        }));
        QCOMPARE(lastForm("set-pref"),
            (QJsonObject {
                { "enable_dht", "1" }, { "port", "6881" }, { "default_dl_dir", "/D" } }));
        QVERIFY(onWorker([&] {
            return c->set_Search_Site_Info(
                "real", { { "name", "fake" }, { "enabled", false } }, &e);
        }));
        QCOMPARE(lastForm("torrent-set-search-engine"),
            (QJsonObject { { "name", "real" }, { "enabled", "0" } }));
    }

    void scheduleDays()
    {
        QCOMPARE(CgiCtrl::encodeScheduleDay(QList<int>(24, 1)), QString("1,").repeated(23) + "1");
        QList<int> workday(24, 1);
        for (int h = 8; h < 18; ++h)
            workday[h] = 2;
        QCOMPARE(CgiCtrl::encodeScheduleDay(workday),
            QStringLiteral("1,1,1,1,1,1,1,1,2,2,2,2,2,2,2,2,2,2,1,1,1,1,1,1"));
        QJsonArray day;
        for (int h = 0; h < 24; ++h)
            day.append(h % 4 + 1);
        QCOMPARE(CgiCtrl::decodeScheduleDay(day)[5], 2);
        // A short or malformed day reads as zeros where values are missing.
        const QList<int> shortDay = CgiCtrl::decodeScheduleDay(QJsonArray { 3, 3 });
        QCOMPARE(shortDay.size(), 24);
        QCOMPARE(shortDay[1], 3);
        QCOMPARE(shortDay[2], 0);
        QCOMPARE(CgiCtrl::decodeScheduleDay(QJsonValue("x")).size(), 24);

        answer(kCgiPathBtdlm, "torrent-scheduler-set", SimReply::ok());
        QJsonObject record { { "enable_scheduler", true }, { "max_download_speed", 100 } };
        for (const char *d : { "sun", "mon", "tue", "wed", "thu", "fri", "sat" })
            record.insert(d, CgiCtrl::encodeScheduleDay(QList<int>(24, 1)));
        Error e;
        QVERIFY(onWorker([&] { return c->set_Torrent_Schedule(record, &e); }));
        QCOMPARE(lastForm("torrent-scheduler-set").value("wed").toString(),
            QString("1,").repeated(23) + "1");
    }

    void siteListIsTheItems()
    {
        answer(kCgiPathBtsearch, "torrent-search-site-list",
            SimReply::ok({ { "items", QJsonArray { QJsonObject { { "name", "a" } } } } }));
        Error e;
        const auto items = onWorker([&] { return c->get_Search_Site_List(&e); });
        QVERIFY(items);
        QCOMPARE(items->size(), 1);
        answer(kCgiPathBtsearch, "torrent-search-site-list", SimReply::fail(5100));
        QVERIFY(!onWorker([&] { return c->get_Search_Site_List(&e); }));
    }
};

QTEST_MAIN(TestCgiOperations)
#include "tst_cgioperations.moc"
