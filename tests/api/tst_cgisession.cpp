// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// Signing in and out, the application checks, keep-alive and error alerts.
#include "RecordingAlertPresenter.h"
#include "SimFixture.h"
#include "TestUtil.h"

#include "api/CgiCtrl.h"
#include "api/CgiErrorRules.h"
#include "api/CgiOperations.h"
#include "api/Localization.h"
#include "api/NotificationCenter.h"
#include "api/Notifications.h"

#include <QtConcurrent/QtConcurrentRun>
#include <QtTest>

using namespace flk;

class TestCgiSession : public QObject
{
    Q_OBJECT

    std::unique_ptr<SimFixture> sim;
    AppCgiDelegate rules;

    QStringList acts() const
    {
        QStringList out;
        for (const QJsonObject &o : sim->server().requestLog())
            out << o.value("act").toString();
        return out;
    }

private slots:
    void initTestCase() { QVERIFY(installTranslations()); }
    void init()
    {
        sim = std::make_unique<SimFixture>();
        QVERIFY(sim->isRunning());
    }
    void cleanup() { sim.reset(); }

    void signInOnFreshController()
    {
        CgiCtrl c;
        Error e;
        const auto reply
            = onWorker([&] { return c.login_Server(sim->http(), "admin", "admin", false, &e); });
        QVERIFY(!e.isError());
        QVERIFY(reply.has_value());
        QCOMPARE(acts(), QStringList { "login" }); // no logout on a fresh controller
        QVERIFY(c.logon());
        QCOMPARE(c.host(), sim->http());
        QCOMPARE(c.sid(), reply->value("sid").toString());
        QCOMPARE(c.hostID(), sim->state().identity().hostId);
        QCOMPARE(c.kosVersion(), QStringLiteral("3.5.2.RBE1"));
        QCOMPARE(c.account(), QStringLiteral("admin"));
        QVERIFY(c.administrator());
        QVERIFY(!c.sessionTimeout());
        const QJsonObject form
            = sim->server().requestsFor("login").first().value("form").toObject();
        QCOMPARE(form, (QJsonObject { { "account", "admin" }, { "password", "admin" } }));
    }

    void signInOnSignedInControllerLogsOutOldSessionAfterReply()
    {
        CgiCtrl c;
        Error e;
        onWorker([&] { return c.login_Server(sim->http(), "admin", "admin", false, &e); });
        const QString oldSid = c.sid();
        onWorker([&] { return c.login_Server(sim->http(), "guest", "guest", false, &e); });
        QVERIFY(!e.isError());
        QCOMPARE(acts(), (QStringList { "login", "login", "logout" }));
        const auto log = sim->server().requestLog();
        // The second sign-in still carried the old sid; the logout ended it.
        QCOMPARE(log[1].value("query").toObject().value("sid").toString(), oldSid);
        QCOMPARE(log[2].value("query").toObject().value("sid").toString(), oldSid);
        QVERIFY(!sim->state().sessionAccount(oldSid));
        QVERIFY(c.sid() != oldSid);
        QVERIFY(c.logon());
        QVERIFY(!c.administrator());
        QVERIFY(c.cookieHeader().isEmpty()); // cleared by the logout of the old session
    }

    void rejectedSignInLeavesControllerSignedOut_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("code");
        QTest::newRow("bad password") << "admin"
                                      << "nope" << 5001;
        QTest::newRow("disabled") << "disabled"
                                  << "disabled" << 5002;
        QTest::newRow("expired") << "expired"
                                 << "expired" << 5003;
    }
    void rejectedSignInLeavesControllerSignedOut()
    {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(int, code);
        CgiCtrl c;
        Error e;
        QVERIFY(!onWorker([&] { return c.login_Server(sim->http(), user, password, false, &e); }));
        QCOMPARE(e.code, code);
        QCOMPARE(e.cgiId(), int(kCgiLogin));
        QVERIFY(!c.logon());
        QVERIFY(c.sid().isEmpty());
        QVERIFY(c.host().isEmpty());
    }

    void signOut()
    {
        CgiCtrl c;
        QVERIFY(!onWorker([&] { return c.logout_Server(nullptr); })); // signed out: nothing sent
        QVERIFY(!onWorker([&] { return c.logout_Server(); }));
        QVERIFY(sim->server().requestLog().isEmpty());

        Error e;
        onWorker([&] { return c.login_Server(sim->http(), "admin", "admin", false, &e); });
        const QString sid = c.sid();
        QVERIFY(onWorker([&] { return c.logout_Server(&e); }));
        QVERIFY(!e.isError());
        QCOMPARE(acts().last(), QStringLiteral("logout"));
        QVERIFY(!sim->state().sessionAccount(sid));
        QVERIFY(!c.logon());
        QVERIFY(c.sid().isEmpty() && c.host().isEmpty() && c.hostID().isEmpty());
        QVERIFY(c.cookieHeader().isEmpty());

        // Local sign-out sends nothing.
        onWorker([&] { return c.login_Server(sim->http(), "admin", "admin", false, &e); });
        const int count = int(sim->server().requestLog().size());
        QVERIFY(onWorker([&] { return c.logout_Server(); }));
        QCOMPARE(sim->server().requestLog().size(), count);
        QVERIFY(!c.logon());
    }

    void signOutCancelsWaitingRequests()
    {
        CgiCtrl c;
        Error e;
        onWorker([&] { return c.login_Server(sim->http(), "admin", "admin", false, &e); });
        // Long enough that a slow machine signs out well before the reply.
        QVERIFY(sim->server().applyControl("delay_ms", "3000"));
        Error pending;
        QFuture<void> f
            = QtConcurrent::run(networkPool(), [&] { c.check_Session_Timeout(&pending); });
        QTRY_COMPARE(c.pendingRequestCount(), 1);
        // The delay stays until the end: the request may reach the NAS only
        // after the sign-out (the local sign-out sends nothing).
        onWorker([&] { return c.logout_Server(); });
        QTRY_VERIFY_WITH_TIMEOUT(f.isFinished(), 10000);
        QVERIFY(sim->server().applyControl("delay_ms", "0"));
        QCOMPARE(pending.code, int(kCgiErrorCancelled));
    }

    void takeOverSession()
    {
        CgiCtrl a, b;
        QVERIFY(!onWorker([&] { return b.login_Server_With_CgiCtrl(nullptr); }));
        QVERIFY(!onWorker([&] { return b.login_Server_With_CgiCtrl(&a); })); // not signed in
        Error e;
        onWorker([&] { return a.login_Server(sim->https(), "admin", "admin", false, &e); });
        QVERIFY(onWorker([&] { return b.login_Server_With_CgiCtrl(&a); }));
        QVERIFY(b.logon());
        QCOMPARE(b.sid(), a.sid());
        QCOMPARE(b.host(), a.host());
        QCOMPARE(b.hostID(), a.hostID());
        QCOMPARE(b.cookieHeader(), a.cookieHeader());
        QVERIFY(onWorker([&] { return b.check_Session_Timeout(&e); }));
        QVERIFY(!e.isError());
        QCOMPARE(sim->server().requestsFor("revive").last().value("cookie").toString().toLatin1(),
            a.cookieHeader());
    }

    void applicationChecks()
    {
        CgiCtrl c;
        Error e;
        onWorker([&] { return c.login_Server(sim->http(), "admin", "admin", false, &e); });
        auto info = onWorker([&] { return c.get_App_Info(kAppPackageName, &e); });
        QVERIFY(info.has_value());
        QCOMPARE(info->value("version").toString(), QStringLiteral("2.3.1"));
        QVERIFY(info->value("enabled").toBool());
        QVERIFY(onWorker([&] { return c.is_App_Accessible(kAppPackageName, &e); }));
        QCOMPARE(sim->server().requestsFor("check-status").last().value("form").toObject(),
            (QJsonObject { { "name", "haulhouse" } }));
        QCOMPARE(sim->server().requestsFor("chk-app-accessible").last().value("form").toObject(),
            (QJsonObject { { "app", "haulhouse" } }));

        QVERIFY(sim->server().applyControl("app", "missing"));
        QVERIFY(!onWorker([&] { return c.get_App_Info(kAppPackageName, &e); }));
        QVERIFY(!e.isError()); // an empty "items" is no error, just no record
        QVERIFY(sim->server().applyControl("app", "inaccessible"));
        QVERIFY(!onWorker([&] { return c.is_App_Accessible(kAppPackageName, &e); }));
        QVERIFY(e.isError());
        QVERIFY(sim->server().applyControl("app", "disabled"));
        info = onWorker([&] { return c.get_App_Info(kAppPackageName, &e); });
        QVERIFY(info && !info->value("enabled").toBool());
    }

    void sessionCheckReportsAnyReply()
    {
        CgiCtrl c;
        Error e;
        onWorker([&] { return c.login_Server(sim->http(), "admin", "admin", false, &e); });
        sim->state().expireAllSessions();
        QVERIFY(onWorker([&] { return c.check_Session_Timeout(&e); })); // a reply arrived...
        QCOMPARE(e.code, int(kCgiErrorSessionTimeout)); // ...saying the session is gone
        QVERIFY(c.sessionTimeout());
        QVERIFY(c.logon());
        QVERIFY(sim->server().applyControl("non_json", "1"));
        QVERIFY(!onWorker([&] { return c.check_Session_Timeout(&e); }));
        QCOMPARE(e.code, int(kCgiErrorNoReply));
        QVERIFY(!c.sessionTimeout()); // cleared by the next evaluation
    }

    void versionComparison_data()
    {
        QTest::addColumn<QString>("kos");
        QTest::addColumn<QString>("arg");
        QTest::addColumn<bool>("newer");
        QTest::newRow("older arg") << "3.5.2.RBE1"
                                   << "3.5.0" << true;
        QTest::newRow("equal") << "3.5.2.RBE1"
                               << "3.5.2" << true;
        QTest::newRow("newer arg") << "3.5.2.RBE1"
                                   << "3.6.0" << false;
        QTest::newRow("character order") << "3.5.2.RBE1"
                                         << "3.10.0" << true;
        QTest::newRow("short version") << "2.1"
                                       << "2.1" << true;
        QTest::newRow("short version older") << "2.1"
                                             << "2.10" << false;
        QTest::newRow("unset") << ""
                               << "1.0.0" << false;
    }
    void versionComparison()
    {
        QFETCH(QString, kos);
        QFETCH(QString, arg);
        QFETCH(bool, newer);
        CgiCtrl c;
        c.setKosVersion(kos);
        QCOMPARE(c.is_KOS_Version_Newer(arg), newer);
    }

    void keepAlive()
    {
        CgiCtrl c;
        c.start_Revive();
        QVERIFY(!c.is_Reviving()); // not signed in: nothing
        Error e;
        onWorker([&] { return c.login_Server(sim->http(), "admin", "admin", false, &e); });
        c.setReviveInterval(100);
        QTest::ignoreMessage(QtInfoMsg, "start revive");
        c.start_Revive();
        QVERIFY(c.is_Reviving());
        // One request at once, then one per tick.
        QTRY_VERIFY(sim->server().requestsFor("revive").size() >= 3);
        QTest::ignoreMessage(QtInfoMsg, "stop revive");
        c.stop_Revive();
        QVERIFY(!c.is_Reviving());
        settleEverything();
        const auto count = sim->server().requestsFor("revive").size();
        {
            // Three ticks of a timer with the revive's interval, started
            // after the stop: a revive timer still running ticks first.
            QTimer ticks;
            int n = 0;
            connect(&ticks, &QTimer::timeout, [&n] { ++n; });
            ticks.start(100);
            QTRY_COMPARE(n, 3);
        }
        settleEverything();
        QCOMPARE(sim->server().requestsFor("revive").size(), count);
        // Sign-out stops it too.
        c.start_Revive();
        onWorker([&] { return c.logout_Server(); });
        QVERIFY(!c.is_Reviving());
    }

    void expiredSessionAsksToReconnect_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("notification");
        QTest::newRow("YES signs in again") << 0 << QString::fromLatin1(kNOTIFY_RE_LOGIN_FAVORITE);
        QTest::newRow("NO gives up") << 1 << QString::fromLatin1(kNOTIFY_LOGIN_FAVORITE_FAIL);
    }
    void expiredSessionAsksToReconnect()
    {
        QFETCH(int, button);
        QFETCH(QString, notification);
        RecordingAlertPresenter alerts;
        CgiCtrl c;
        c.setDelegate(&rules);
        Error e;
        onWorker([&] { return c.login_Server(sim->http(), "admin", "admin", false, &e); });
        c.setShowErrorAlert(true);
        QObject observer;
        QList<Notification> heard;
        for (const char *name : { kNOTIFY_RE_LOGIN_FAVORITE, kNOTIFY_LOGIN_FAVORITE_FAIL })
            NotificationCenter::defaultCenter()->addObserver(
                name, &observer, [&](const Notification &n) { heard << n; }, &c);
        c.start_Revive();
        sim->state().expireAllSessions();
        // A request without a text of its own (torrent-list) still asks.
        QVERIFY(!onWorker([&] {
            return c.send_Request(
                kCgiPathBtdlm, "torrent-list", QVariantMap(), kCgiTorrentList, &e);
        }) || e.isError());
        QCOMPARE(e.code, 5000);
        QVERIFY(!c.is_Reviving());
        QTRY_COMPARE(alerts.shown.size(), 1);
        const AlertRequest request = alerts.shown[0].request;
        QCOMPARE(request.title, localized("ERROR"));
        QCOMPARE(request.message, localized("TXT_RE_CONNECT_NAS"));
        QCOMPARE(request.buttons, (QStringList { localized("YES"), localized("NO") }));
        QCOMPARE(request.style, AlertRequest::Informational);

        // While it shows, further failures show nothing and post nothing.
        onWorker([&] {
            return c.send_Request(
                kCgiPathBtdlm, "torrent-list", QVariantMap(), kCgiTorrentList, &e);
        });
        deliverPosted();
        QCOMPARE(alerts.shown.size(), 1);
        QVERIFY(heard.isEmpty());

        alerts.close(button);
        QCOMPARE(heard.size(), 1);
        QCOMPARE(heard[0].name, notification);
        QCOMPARE(heard[0].userInfo.value("hostID").toString(), sim->state().identity().hostId);
        QVERIFY(!c.isAlertShowing());
    }

    void operationErrorShowsItsTextWithOk()
    {
        RecordingAlertPresenter alerts;
        CgiCtrl c;
        c.setDelegate(&rules);
        Error e;
        onWorker([&] { return c.login_Server(sim->http(), "admin", "admin", false, &e); });
        c.setShowErrorAlert(true);
        sim->server().on(kCgiPathBtdlm, "torrent-add", true,
            [](nassim::Call &) { return nassim::SimReply::fail(5019); });
        QObject observer;
        QStringList heard;
        NotificationCenter::defaultCenter()->addObserver(
            kNOTIFY_RE_LOGIN_FAVORITE, &observer, [&](const Notification &n) { heard << n.name; },
            &c);
        int blockedId = -1;
        c.setBlockAlert([&](int id, bool) { blockedId = id; });
        onWorker([&] {
            return c.send_Request(kCgiPathBtdlm, "torrent-add", QVariantMap { { "torrent", "x" } },
                kCgiTorrentAdd, &e);
        });
        QCOMPARE(e.code, 5019);
        QTRY_COMPARE(alerts.shown.size(), 1);
        QCOMPARE(alerts.shown[0].request.message, localized("ERROR_CGI_TORRENT_ALREADY_ADD"));
        QCOMPARE(alerts.shown[0].request.buttons, QStringList { localized("OK") });
        QCOMPARE(alerts.shown[0].request.style, AlertRequest::Warning);
        alerts.close(0);
        QCOMPARE(heard, QStringList { kNOTIFY_RE_LOGIN_FAVORITE });
        QCOMPARE(blockedId, 0);
    }

    void silentErrors_data()
    {
        QTest::addColumn<QString>("act");
        QTest::addColumn<int>("function");
        QTest::addColumn<int>("code");
        QTest::newRow("torrent-list failure") << "torrent-list" << int(kCgiTorrentList) << 5004;
        QTest::newRow("no preferences yet") << "get-user-pref" << int(kCgiGetUserPref) << 5005;
        QTest::newRow("url ignored") << "torrent-add-url" << int(kCgiTorrentAddUrl) << 5040;
    }
    void silentErrors()
    {
        QFETCH(QString, act);
        QFETCH(int, function);
        QFETCH(int, code);
        RecordingAlertPresenter alerts;
        CgiCtrl c;
        c.setDelegate(&rules);
        Error e;
        onWorker([&] { return c.login_Server(sim->http(), "admin", "admin", false, &e); });
        c.setShowErrorAlert(true);
        sim->server().on(kCgiPathBtdlm, act, true,
            [code](nassim::Call &) { return nassim::SimReply::fail(code); });
        onWorker([&] { return c.send_Request(kCgiPathBtdlm, act, QVariantMap(), function, &e); });
        QCOMPARE(e.code, code);
        deliverPosted();
        QVERIFY(alerts.shown.isEmpty());
        QVERIFY(!c.isAlertShowing());
    }

    void connectionFailureAndLogoutAlerts()
    {
        RecordingAlertPresenter alerts;
        CgiCtrl c;
        c.setDelegate(&rules);
        Error e;
        onWorker([&] { return c.login_Server(sim->http(), "admin", "admin", false, &e); });
        c.setShowErrorAlert(true);
        // The logout request's errors are never presented.
        QVERIFY(sim->server().applyControl("non_json", "1"));
        onWorker([&] { return c.logout_Server(&e); });
        QCOMPARE(e.code, int(kCgiErrorNoReply));
        deliverPosted();
        QVERIFY(alerts.shown.isEmpty());
        // A connection failure is.
        c.setHost("http://127.0.0.1:1");
        QTest::ignoreMessage(QtInfoMsg, QRegularExpression("Cgi failed"));
        onWorker([&] { return c.check_Session_Timeout(&e); });
        QTRY_COMPARE(alerts.shown.size(), 1);
        QCOMPARE(alerts.shown[0].request.message, localized("TXT_RE_CONNECT_NAS"));
        QCOMPARE(alerts.shown[0].request.buttons.size(), 2);
        alerts.close(1);
    }

    void cancelledRequestShowsNothing()
    {
        RecordingAlertPresenter alerts;
        CgiCtrl c;
        c.setDelegate(&rules);
        Error e;
        onWorker([&] { return c.login_Server(sim->http(), "admin", "admin", false, &e); });
        c.setShowErrorAlert(true);
        QVERIFY(sim->server().applyControl("delay_ms", "500"));
        QTimer::singleShot(100, &c, [&] { c.cancel_Cgi(kCgiTorrentStart); });
        onWorker([&] {
            return c.send_Request(kCgiPathBtdlm, "torrent-start", QVariantMap { { "id", "1" } },
                kCgiTorrentStart, &e);
        });
        QCOMPARE(e.code, int(kCgiErrorCancelled));
        deliverPosted();
        QVERIFY(alerts.shown.isEmpty());
    }
};

QTEST_MAIN(TestCgiSession)
#include "tst_cgisession.moc"
