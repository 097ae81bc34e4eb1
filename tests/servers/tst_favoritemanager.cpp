// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// Saved servers and signing in to them, against the simulated NAS and a
// temporary defaults file.
#include "RecordingAlertPresenter.h"
#include "SimFixture.h"
#include "TestUtil.h"

#include "NasServer.h"
#include "api/CgiCtrl.h"
#include "api/CgiErrorRules.h"
#include "api/Localization.h"
#include "api/NotificationCenter.h"
#include "api/Notifications.h"
#include "servers/DefaultsStore.h"
#include "servers/FavoriteManager.h"
#include "servers/ReachabilityMonitor.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtConcurrent/QtConcurrentRun>
#include <QtTest>

#include <algorithm>

using namespace flk;

class TestFavoriteManager : public QObject
{
    Q_OBJECT

    AppCgiDelegate rules;
    std::unique_ptr<SimFixture> sim;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<DefaultsStore> defaults;
    std::unique_ptr<FavoriteManager> store;
    std::unique_ptr<RecordingAlertPresenter> alerts;

    QString path() const { return dir->filePath("defaults.json"); }
    QVariantMap server(const QString &account = "admin", const QString &password = "admin",
        bool https = false) const
    {
        const int port = https ? sim->server().httpsPort() : sim->server().httpPort();
        return { { "host", "127.0.0.1" }, { "port", QString::number(port) }, { "account", account },
            { "password", password }, { "use_https", https }, { "is_cloud_id", false } };
    }
    // Adds as the wizard does: the first server ever added becomes the default.
    CgiCtrl *addLikeWizard(const QVariantMap &info, Error *e)
    {
        CgiCtrl *c = onWorker([&] { return store->add_Favorite_NAS(info, e); });
        if (c)
            store->update_Favorite_NAS(store->count() - 1, "default", store->count() == 1 ? 1 : 0);
        return c;
    }
    QJsonArray stored() const
    {
        return QJsonDocument::fromJson(fileBytes(path()))
            .object()
            .value("com.kestrel.flk.favorites")
            .toArray();
    }
    void reload()
    {
        store.reset();
        defaults = std::make_unique<DefaultsStore>(path());
        store = std::make_unique<FavoriteManager>(defaults.get());
        store->setAppName("Haulhouse");
        store->setAppPackage("haulhouse");
    }

private slots:
    void initTestCase()
    {
        QVERIFY(installTranslations());
        QCoreApplication::setApplicationName("Ferrylink");
        CgiCtrl::sharedCgiCtrl()->setDelegate(&rules);
    }
    void init()
    {
        sim = std::make_unique<SimFixture>();
        QVERIFY(sim->isRunning());
        dir = std::make_unique<QTemporaryDir>();
        alerts = std::make_unique<RecordingAlertPresenter>();
        alerts->answer = 0;
        reload();
    }
    void cleanup()
    {
        ReachabilityMonitor::shared()->setForcedStatus(std::nullopt);
        qunsetenv("FERRYLINK_CLOUD_RELAY_DOMAIN");
        store.reset();
        alerts.reset();
        // Clients dropped by failed sign-ins go with their connections first.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        sim.reset();
    }

    void firstStartWritesNothing()
    {
        QCOMPARE(store->count(), 0);
        QVERIFY(!store->get_Favorite_NAS(0));
        QVERIFY(!store->remove_Favorite_NAS(0));
        store->update_Favorite_NAS(0, "default", 1);
        QVERIFY(!QFile::exists(path()));
    }

    void addKeepsServerAndFillsIdentity()
    {
        Error e;
        CgiCtrl *c = addLikeWizard(server(), &e);
        QVERIFY2(c, qPrintable(e.toString()));
        QVERIFY(c->logon());
        QCOMPARE(c->thread(), QCoreApplication::instance()->thread());
        QVERIFY(!c->showErrorAlert());
        QCOMPARE(c->delegate(), &rules);
        QVERIFY(!store->loginingCgiCtrl());
        const QJsonArray saved = stored();
        QCOMPARE(saved.size(), 1);
        const QJsonObject r = saved[0].toObject();
        QCOMPARE(r.value("host").toString(), QStringLiteral("127.0.0.1"));
        QVERIFY(r.value("port").isString());
        QVERIFY(r.value("use_https").isBool());
        QVERIFY(r.value("is_cloud_id").isBool());
        QCOMPARE(r.value("password").toString(), QStringLiteral("admin"));
        QCOMPARE(r.value("host_id").toString(), sim->state().identity().hostId);
        QCOMPARE(r.value("server_name").toString(), QStringLiteral("nas-sim"));
        QCOMPARE(r.value("server_model").toString(), QStringLiteral("KS-N4"));
        QCOMPARE(r.value("firmware_version").toString(), QStringLiteral("3.5.2.RBE1"));
        QCOMPARE(r.value("default").toInt(), 1);
        delete c;

        // The second one is not the default; the same NAS may be added twice.
        c = addLikeWizard(server(), &e);
        QVERIFY(c);
        delete c;
        QCOMPARE(stored().size(), 2);
        QCOMPARE(stored()[1].toObject().value("default").toInt(), 0);
        QCOMPARE(stored()[1].toObject().value("host_id"), stored()[0].toObject().value("host_id"));

        // Restart: the list comes back in order.
        reload();
        QCOMPARE(store->count(), 2);
        QVERIFY(store->get_Favorite_NAS(0)->isDefault());
        QVERIFY(!store->get_Favorite_NAS(1)->isDefault());
        QCOMPARE(store->defaultIndex(), 0);
    }

    void failedAddLeavesStoredListUntouched()
    {
        Error e;
        delete addLikeWizard(server(), &e);
        const QByteArray before = fileBytes(path());
        QObject observer;
        QVariantList hostIDs;
        NotificationCenter::defaultCenter()->addObserver(
            kNOTIFY_LOGIN_FAVORITE_FAIL, &observer,
            [&](const Notification &n) { hostIDs << n.userInfo.value("hostID"); }, store.get());
        QVERIFY(!addLikeWizard(server("admin", "wrong"), &e));
        QCOMPARE(e.domain, QString::fromLatin1(kLoginErrorDomain));
        QCOMPARE(e.code, int(kLoginErrorAuthentication));
        QCOMPARE(fileBytes(path()), before);
        QCOMPARE(store->count(), 1);
        QTRY_COMPARE(alerts->shown.size(), 1);
        QCOMPARE(alerts->shown[0].request.message, localized("ERR_LOGIN_AUTHENTICATION_FAIL"));
        QCOMPARE(alerts->shown[0].request.buttons, QStringList { localized("OK") });
        QCOMPARE(hostIDs, QVariantList { QString() }); // a new server has no host_id yet
    }

    void removalPassesDefaultOn()
    {
        Error e;
        for (int i = 0; i < 3; ++i)
            delete addLikeWizard(server(), &e);
        store->update_Favorite_NAS(1, "marker", "b");
        store->update_Favorite_NAS(2, "marker", "c");
        QVERIFY(store->removeServer(0));
        QCOMPARE(store->count(), 2);
        QCOMPARE(stored()[0].toObject().value("marker").toString(), QStringLiteral("b"));
        QCOMPARE(stored()[0].toObject().value("default"), QJsonValue(true));
        QCOMPARE(stored()[1].toObject().value("default").toInt(), 0);
        // Removing a server that is not the default moves nothing.
        QVERIFY(store->removeServer(1));
        QCOMPARE(stored().size(), 1);
        QVERIFY(store->removeServer(0));
        QCOMPARE(stored(), QJsonArray());
        QVERIFY(!store->removeServer(0));
    }

    void updateAndDefaultChoice()
    {
        Error e;
        for (int i = 0; i < 3; ++i)
            delete addLikeWizard(server(), &e);
        store->update_Favorite_NAS(1, "server_model", QJsonValue::Null);
        QVERIFY(!stored()[1].toObject().contains("server_model"));
        QVERIFY(store->get_Favorite_NAS(1)->serverModel().isNull());
        store->setDefaultServer(2);
        QCOMPARE(stored()[0].toObject().value("default").toInt(), 0);
        QCOMPARE(stored()[1].toObject().value("default").toInt(), 0);
        QCOMPARE(stored()[2].toObject().value("default").toInt(), 1);
        QCOMPARE(store->defaultIndex(), 2);
    }

    void recordAccessors()
    {
        FavoriteObject r(QJsonObject {
            { "host", "h" }, { "port", 8000 }, { "default", true }, { "use_https", "1" } });
        QCOMPARE(r.port(), QStringLiteral("8000"));
        QVERIFY(r.isDefault());
        QVERIFY(r.enableHttps());
        QVERIFY(!r.isCloudID());
        QCOMPARE(r.serverName(), QStringLiteral(""));
        QVERIFY(r.hostID().isNull());
        r.setHost(QString());
        QCOMPARE(r.host(), QStringLiteral("h"));
        r.setHost("g");
        QCOMPARE(r.host(), QStringLiteral("g"));
    }

    void loadSkipsEntriesThatAreNotRecords()
    {
        QFile f(path());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(
            "{\"com.kestrel.flk.favorites\": [{\"host\": \"a\"}, 7, \"x\", {\"host\": \"b\"}]}");
        f.close();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("not a record"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("not a record"));
        reload();
        QCOMPARE(store->count(), 2);
        QCOMPARE(store->get_Favorite_NAS(1)->host(), QStringLiteral("b"));
    }

    void signInErrors_data()
    {
        QTest::addColumn<QString>("account");
        QTest::addColumn<QString>("control"); // "name=value" for the simulator
        QTest::addColumn<QString>("setting"); // requirement to set on the store
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("messageKey");
        QTest::addColumn<bool>("signedOut"); // the half-signed-in client was signed out
        QTest::newRow("wrong password") << "wrongpw"
                                        << ""
                                        << "" << -7997 << "ERR_LOGIN_AUTHENTICATION_FAIL" << false;
        QTest::newRow("disabled account") << "disabled"
                                          << ""
                                          << "" << -7996 << "ERR_LOGIN_ACCOUNT_DISABLE" << false;
        QTest::newRow("expired account") << "expired"
                                         << ""
                                         << "" << -7995 << "ERR_LOGIN_ACCOUNT_EXPIRED" << false;
        QTest::newRow("app missing") << "admin"
                                     << "app=missing"
                                     << "" << -7990 << "ERR_LOGIN_APP_UNINSTALLED" << true;
        QTest::newRow("app disabled") << "admin"
                                      << "app=disabled"
                                      << "" << -7988 << "ERR_LOGIN_APP_DISABLED" << true;
        QTest::newRow("app inaccessible")
            << "admin"
            << "app=inaccessible"
            << "" << -7991 << "ERR_LOGIN_APP_PRIVILEGE_INVALID" << true;
        QTest::newRow("app too old")
            << "admin"
            << "app_version=2.3.9"
            << "appMin=2.10.0" << -7989 << "ERR_LOGIN_APP_VERSION_INVALID" << true;
        QTest::newRow("not an administrator")
            << "guest"
            << ""
            << "admin" << -7993 << "ERR_LOGIN_CONNECT_SERVER_FAIL" << true;
        QTest::newRow("nas too old")
            << "admin"
            << ""
            << "minVersion=3.6.0" << -7992 << "ERR_LOGIN_CONNECT_SERVER_FAIL" << true;
        QTest::newRow("no reply") << "admin"
                                  << "non_json=1"
                                  << "" << -8000 << "ERR_LOGIN_CONNECT_SERVER_FAIL" << false;
    }
    void signInErrors()
    {
        QFETCH(QString, account);
        QFETCH(QString, control);
        QFETCH(QString, setting);
        QFETCH(int, code);
        QFETCH(QString, messageKey);
        QFETCH(bool, signedOut);
        // A server that has signed in before, so its errors name its host.
        Error e;
        delete addLikeWizard(server(), &e);
        const QString hostID = store->get_Favorite_NAS(0)->hostID();
        if (account == "wrongpw")
            store->get_Favorite_NAS(0)->setPassword("nope");
        else
            store->get_Favorite_NAS(0)->setAccount(account),
                store->get_Favorite_NAS(0)->setPassword(account);
        if (!control.isEmpty())
            QVERIFY(
                sim->server().applyControl(control.section('=', 0, 0), control.section('=', 1)));
        if (setting == "admin")
            store->setNeedAdministrator(true);
        else if (setting.startsWith("appMin="))
            store->setAppMinVersion(setting.section('=', 1));
        else if (setting.startsWith("minVersion="))
            store->setMinVersion(setting.section('=', 1));
        const QJsonObject before = store->get_Favorite_NAS(0)->record();
        sim->server().clearLog();

        QObject observer;
        QStringList heard;
        NotificationCenter::defaultCenter()->addObserver(
            kNOTIFY_LOGIN_FAVORITE_FAIL, &observer,
            [&](const Notification &n) { heard << n.userInfo.value("hostID").toString(); },
            store.get());
        CgiCtrl *c = onWorker([&] { return store->login_Favorite_NAS(0, &e); });
        QVERIFY(!c);
        QCOMPARE(e.domain, QString::fromLatin1(kLoginErrorDomain));
        QCOMPARE(e.code, code);
        QCOMPARE(e.userInfo.value("hostID").toString(), hostID);
        QVERIFY(!store->bIsLogining());
        QVERIFY(!store->bCancelLogin());
        QVERIFY(!store->loginingCgiCtrl());
        QCOMPARE(store->get_Favorite_NAS(0)->record(), before);
        QCOMPARE(sim->server().requestsFor("logout").size(), signedOut ? 1 : 0);

        QTRY_COMPARE(alerts->shown.size(), 1);
        const QString message = alerts->shown[0].request.message;
        QCOMPARE(message, CgiErrorRules::loginErrorMessage(e));
        if (code <= -7988 && code >= -7991)
            QVERIFY2(message.contains("Haulhouse"), qPrintable(message));
        if (code == -7989) {
            QCOMPARE(e.userInfo.value("app_cur_ver").toString(), QStringLiteral("2.3.9"));
            QCOMPARE(e.userInfo.value("app_min_ver").toString(), QStringLiteral("2.10.0"));
            for (const char *part : { "2.3.9", "2.10.0", "Ferrylink" })
                QVERIFY2(message.contains(part), qPrintable(message));
        }
        QCOMPARE(message,
            stringWithKSTFormat(
                localized(messageKey.toLatin1()), { "Haulhouse", "2.3.9", "2.10.0", "Ferrylink" }));
        QCOMPARE(heard, QStringList { hostID });
    }

    void requirementsThatPass()
    {
        Error e;
        delete addLikeWizard(server(), &e);
        store->setNeedAdministrator(true);
        store->setMinVersion("3.5.2");
        sim->server().clearLog();
        CgiCtrl *c = onWorker([&] { return store->login_Favorite_NAS(0, &e); });
        QVERIFY(c);
        // With a minimum NAS version the application checks are skipped.
        QVERIFY(sim->server().requestsFor("check-status").isEmpty());
        delete c;
        store->setMinVersion(QString());
        store->setAppMinVersion("2.3.1");
        c = onWorker([&] { return store->login_Favorite_NAS(0, &e); });
        QVERIFY(c);
        delete c;
    }

    void unreachableNetworkSendsNothing()
    {
        Error e;
        delete addLikeWizard(server(), &e);
        sim->server().clearLog();
        ReachabilityMonitor::shared()->setForcedStatus(ReachabilityMonitor::NotReachable);
        QVERIFY(!onWorker([&] { return store->login_Favorite_NAS(0, &e); }));
        QCOMPARE(e.code, int(kLoginErrorNetworkUnreachable));
        QVERIFY(sim->server().requestLog().isEmpty());
        QTRY_COMPARE(alerts->shown.size(), 1);
        QCOMPARE(alerts->shown[0].request.message, localized("ERR_LOGIN_CONNECT_SERVER_FAIL"));
        // Unknown counts as reachable.
        ReachabilityMonitor::shared()->setForcedStatus(ReachabilityMonitor::Unknown);
        CgiCtrl *c = onWorker([&] { return store->login_Favorite_NAS(0, &e); });
        QVERIFY(c);
        delete c;
    }

    void invalidIndexShowsNoAlert()
    {
        Error e;
        QVERIFY(!onWorker([&] { return store->login_Favorite_NAS(-1, &e); }));
        QCOMPARE(e.code, int(kLoginErrorConnectFail));
        QVERIFY(e.userInfo.isEmpty());
        QVERIFY(!onWorker([&] { return store->login_Favorite_NAS(store->count(), &e); }));
        settleEverything();
        QVERIFY(alerts->shown.isEmpty());
        QVERIFY(sim->server().requestLog().isEmpty());
    }

    void cancellingDuringSignIn_data()
    {
        QTest::addColumn<QString>("slowAct");
        QTest::newRow("during the login request") << "login";
        QTest::newRow("during the application check") << "check-status";
    }
    void cancellingDuringSignIn()
    {
        QFETCH(QString, slowAct);
        Error e;
        delete addLikeWizard(server(), &e);
        const auto slow = slowAct;
        sim->server().on(
            slowAct == "login" ? "/portal/apis/login.cgi" : "/portal/apis/appDepot/appdepot.cgi",
            slowAct, slowAct != "login", [&state = sim->state(), slow](nassim::Call &c) {
                QThread::msleep(700);
                if (slow == "login") {
                    const auto r = state.login(c.form.value("account"), c.form.value("password"));
                    return nassim::SimReply::ok({ { "sid", r.sid } });
                }
                return nassim::SimReply::ok(
                    { { "items", QJsonArray { QJsonObject { { "enabled", true } } } } });
            });
        QTimer::singleShot(200, this, [&] {
            QVERIFY(store->bIsLogining());
            store->cancel_Login();
        });
        CgiCtrl *c = onWorker([&] { return store->login_Favorite_NAS(0, &e); });
        QVERIFY(!c);
        QCOMPARE(e.code, int(kLoginErrorCancelled));
        QVERIFY(!store->bIsLogining());
        QVERIFY(!store->bCancelLogin());
        QVERIFY(!store->loginingCgiCtrl());
        QTest::qWait(100);
        QVERIFY(alerts->shown.isEmpty());
    }

    // Sign-ins to three saved servers at once, and the wizard's, each with
    // its own state: cancelling one ends that one only, and each ends with
    // its own outcome.
    void concurrentSignInsKeepTheirOwnState_data()
    {
        QTest::addColumn<int>("servers");
        QTest::addColumn<int>("cancelled"); // -1: none
        QTest::addColumn<bool>("withWizard");
        QTest::newRow("two, none cancelled") << 2 << -1 << false;
        QTest::newRow("three, second cancelled") << 3 << 1 << false;
        QTest::newRow("three and the wizard, wizard cancelled") << 3 << 3 << true;
        QTest::newRow("two and the wizard, first cancelled") << 2 << 0 << true;
    }
    void concurrentSignInsKeepTheirOwnState()
    {
        QFETCH(int, servers);
        QFETCH(int, cancelled);
        QFETCH(bool, withWizard);
        for (int i = 0; i < servers; ++i) {
            Error e;
            delete addLikeWizard(server(), &e);
        }
        QCOMPARE(store->count(), servers);
        QVERIFY(sim->server().applyControl("delay_ms", "400"));
        const int total = servers + (withWizard ? 1 : 0);
        QList<LoginHandle> attempts;
        QList<QFuture<CgiCtrl *>> running;
        QList<Error> errors(total);
        for (int i = 0; i < total; ++i) {
            attempts << store->newLoginAttempt();
            const LoginHandle a = attempts.last();
            Error *e = &errors[i];
            if (i < servers)
                running << QtConcurrent::run(
                    networkPool(), [this, i, a, e] { return store->login_Favorite_NAS(i, e, a); });
            else
                running << QtConcurrent::run(networkPool(),
                    [this, a, e, info = server()] { return store->add_Favorite_NAS(info, e, a); });
        }
        QTRY_COMPARE(store->runningLoginCount(), total);
        QVERIFY(store->bIsLogining());
        if (cancelled >= 0) {
            store->cancel_Login(attempts[cancelled]);
            for (int i = 0; i < total; ++i)
                if (i != cancelled)
                    QVERIFY(!attempts[i]->isCancelled());
        }
        QTRY_VERIFY_WITH_TIMEOUT(std::all_of(running.begin(), running.end(),
                                     [](const auto &f) { return f.isFinished(); }),
            10000);
        for (int i = 0; i < total; ++i) {
            CgiCtrl *c = running[i].result();
            if (i == cancelled) {
                QVERIFY(!c);
                QCOMPARE(errors[i].code, int(kLoginErrorCancelled));
            } else {
                QVERIFY2(c, qPrintable(errors[i].toString()));
                QVERIFY(c->logon());
                delete c;
            }
            QVERIFY(!attempts[i]->isRunning());
            QVERIFY(!attempts[i]->client());
        }
        QVERIFY(!store->bIsLogining());
        QVERIFY(!store->bCancelLogin());
        QVERIFY(!store->loginingCgiCtrl());
        QCOMPARE(store->count(), servers + (withWizard && cancelled != servers ? 1 : 0));
        settleEverything();
        QVERIFY(alerts->shown.isEmpty()); // a cancellation shows nothing
    }

    // The Part's properties show the latest sign-in still running.
    void propertiesViewTheCurrentSignIn()
    {
        Error e;
        delete addLikeWizard(server(), &e);
        // Slow enough that the second sign-in is still running when it is cancelled,
        // even on a loaded machine.
        QVERIFY(sim->server().applyControl("delay_ms", "3000"));
        const LoginHandle first = store->newLoginAttempt(), second = store->newLoginAttempt();
        Error e1, e2;
        QFuture<CgiCtrl *> f1, f2;
        // However the test ends, both sign-ins end before what they use goes.
        const auto settle = qScopeGuard([&] {
            store->cancel_Login(first);
            store->cancel_Login(second);
            f1.waitForFinished();
            f2.waitForFinished();
        });
        f1 = QtConcurrent::run(
            networkPool(), [&] { return store->login_Favorite_NAS(0, &e1, first); });
        QTRY_COMPARE(store->runningLoginCount(), 1);
        f2 = QtConcurrent::run(
            networkPool(), [&] { return store->login_Favorite_NAS(0, &e2, second); });
        QTRY_COMPARE(store->runningLoginCount(), 2);
        QTRY_VERIFY(store->loginingCgiCtrl());
        QTRY_COMPARE(store->loginingCgiCtrl(), second->client());
        // Cancelled by its handle: which attempt is "current" at this very
        // moment is a race under load.
        store->cancel_Login(second);
        // The cancelled sign-in may end (and clear its flags for the next
        // use of the handle) at once; its result below tells what it saw.
        QVERIFY(second->isCancelled() || !second->isRunning());
        QVERIFY(!first->isCancelled());
        // While the cancelled sign-in is still the current one, the property
        // says so (it may already have ended: a cancelled request ends at once).
        QVERIFY(store->bCancelLogin() || store->loginingCgiCtrl() != second->client());
        QTRY_VERIFY_WITH_TIMEOUT(f1.isFinished() && f2.isFinished(), 60000);
        QVERIFY(f1.result());
        QVERIFY(!f2.result());
        delete f1.result();
        QCOMPARE(e2.code, int(kLoginErrorCancelled));
    }

    void cancelWhenIdleDoesNothing()
    {
        store->cancel_Login();
        QVERIFY(!store->bCancelLogin());
    }

    void addressFromRecord()
    {
        FavoriteObject r;
        r.setHost("10.0.0.5");
        r.setPort("8001");
        r.setEnableHttps(true);
        QCOMPARE(store->serverAddress(r), QStringLiteral("https://10.0.0.5:8001"));
        r.setEnableHttps(false);
        r.setPort("8000");
        QCOMPARE(store->serverAddress(r), QStringLiteral("http://10.0.0.5:8000"));
        r.setIsCloudID(true);
        r.setHost("mycloud");
        QCOMPARE(store->serverAddress(r), "http://mycloud." + store->cloudRelayDomain() + ":8000");
        r.setIsCloudID(false);
        r.setHost("fe80::1");
        QCOMPARE(store->serverAddress(r), QStringLiteral("http://[fe80::1]:8000"));
    }

    void cloudIdSignsInThroughRelay()
    {
        // "127.0.0" joined to the relay "1" is the loopback address.
        qputenv("FERRYLINK_CLOUD_RELAY_DOMAIN", "1");
        QCOMPARE(store->cloudRelayDomain(), QStringLiteral("1"));
        QVariantMap info = server("admin", "admin", true);
        info["host"] = "127.0.0";
        info["is_cloud_id"] = true;
        Error e;
        CgiCtrl *c = addLikeWizard(info, &e);
        QVERIFY2(c, qPrintable(e.toString()));
        QCOMPARE(c->host(), "https://127.0.0.1:" + QString::number(sim->server().httpsPort()));
        QCOMPARE(store->get_Favorite_NAS(0)->host(), QStringLiteral("127.0.0"));
        QVERIFY(store->get_Favorite_NAS(0)->isCloudID());
        delete c;
    }

    void relayDomainSetting()
    {
        QCOMPARE(store->cloudRelayDomain(), QStringLiteral("kestrelcloud.net"));
        defaults->setValue("cloud_relay_domain", "relay.example");
        QCOMPARE(store->cloudRelayDomain(), QStringLiteral("relay.example"));
        qputenv("FERRYLINK_CLOUD_RELAY_DOMAIN", "env.example");
        QCOMPARE(store->cloudRelayDomain(), QStringLiteral("env.example"));
    }

    void numericVersionOrder_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("order");
        QTest::newRow("1.10 > 1.9") << "1.10"
                                    << "1.9" << 1;
        QTest::newRow("equal") << "2.3.1"
                               << "2.3.1" << 0;
        QTest::newRow("longer is newer") << "2.3.1"
                                         << "2.3" << 1;
        QTest::newRow("leading zeros") << "2.03"
                                       << "2.3" << 0;
        QTest::newRow("huge numbers") << "1.99999999999999999999"
                                      << "1.100000000000000000000" << -1;
        QTest::newRow("letters") << "2.3b"
                                 << "2.3a" << 1;
    }
    void numericVersionOrder()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, order);
        QCOMPARE(FavoriteManager::compareVersions(a, b), order);
        QCOMPARE(FavoriteManager::compareVersions(b, a), -order);
    }

    // Trust on first use over HTTPS: the key of the first sign-in is kept; a
    // certificate that expired on the same key is no news; another key stops
    // the sign-in before the password goes out, and the user decides.
    void httpsServerKeyIsPinnedAndChecked()
    {
        Error e;
        CgiCtrl *c = addLikeWizard(server("admin", "admin", true), &e);
        QVERIFY2(c, qPrintable(QString::number(e.code)));
        const QString pin = stored()[0].toObject().value("tls_key_sha256").toString();
        QCOMPARE(pin.size(), 64);
        QCOMPARE(QByteArray::fromHex(pin.toLatin1()), c->observedKey());
        delete c;

        QVERIFY(sim->server().reissueCertificate(nassim::NasServer::Reissue::ExpiredSameKey));
        c = onWorker([&] { return store->login_Favorite_NAS(0, &e); });
        QVERIFY2(c, qPrintable(QString::number(e.code)));
        delete c;
        QVERIFY(alerts->shown.isEmpty());

        QVERIFY(sim->server().reissueCertificate(nassim::NasServer::Reissue::NewKey));
        sim->server().clearLog();
        alerts->answer = -1; // the question stays open
        QStringList relogins;
        NotificationCenter::defaultCenter()->addObserver(
            QString::fromLatin1(kNOTIFY_RE_LOGIN_FAVORITE), this,
            [&](const Notification &n) { relogins << n.userInfo.value("hostID").toString(); });
        QVERIFY(!onWorker([&] { return store->login_Favorite_NAS(0, &e); }));
        QCOMPARE(e.code, int(kLoginErrorServerKeyChanged));
        QVERIFY(sim->server().requestLog().isEmpty()); // not even the sign-in request
        const QByteArray seen
            = QByteArray::fromHex(e.userInfo.value("observed").toString().toLatin1());
        QCOMPARE(seen.size(), 32);
        QVERIFY(seen != QByteArray::fromHex(pin.toLatin1()));
        QTRY_COMPARE(alerts->shown.size(), 1);
        const QString message = alerts->shown[0].request.message;
        QVERIFY(message.contains(CgiCtrl::fingerprintText(QByteArray::fromHex(pin.toLatin1()))));
        QVERIFY(message.contains(CgiCtrl::fingerprintText(seen)));
        QCOMPARE(alerts->shown[0].request.buttons.first(), localized("TRUST_NEW_KEY"));
        // Trusted: the new key is kept and the host is asked to sign in again.
        alerts->close(0);
        QCOMPARE(stored()[0].toObject().value("tls_key_sha256").toString(),
            QString::fromLatin1(seen.toHex()));
        QCOMPARE(relogins, QStringList { sim->state().identity().hostId });
        c = onWorker([&] { return store->login_Favorite_NAS(0, &e); });
        QVERIFY2(c, qPrintable(QString::number(e.code)));
        delete c;
        NotificationCenter::defaultCenter()->removeObserver(this);
    }

    // The session that pins the key is held to it: a server that shows
    // another key later in that same session gets nothing of it.
    void theSessionThatPinsIsHeldToTheKey()
    {
        Error e;
        CgiCtrl *c = addLikeWizard(server("admin", "admin", true), &e);
        QVERIFY2(c, qPrintable(QString::number(e.code)));
        QVERIFY(!c->pinnedKey().isEmpty());
        QCOMPARE(c->pinnedKey(), c->observedKey());
        QVERIFY(sim->server().reissueCertificate(nassim::NasServer::Reissue::NewKey));
        sim->server().clearLog();
        Error late;
        QVERIFY(!onWorker([&] { return c->get_User_Preference(&late).has_value(); }));
        QVERIFY(late.is(kTransportErrorDomain, kTransportKeyChanged));
        QVERIFY(sim->server().requestLog().isEmpty()); // no session id, no cookie
        delete c;
    }

    // Servers saved before pinning pin at their next sign-in; plain HTTP
    // pins nothing.
    void savedServersPinAtTheirNextSignIn()
    {
        Error e;
        CgiCtrl *c = addLikeWizard(server("admin", "admin", false), &e);
        QVERIFY(c);
        delete c;
        QVERIFY(!stored()[0].toObject().contains("tls_key_sha256"));
        store->update_Favorite_NAS(0, "use_https", true);
        store->update_Favorite_NAS(0, "port", QString::number(sim->server().httpsPort()));
        reload();
        c = onWorker([&] { return store->login_Favorite_NAS(0, &e); });
        QVERIFY2(c, qPrintable(QString::number(e.code)));
        delete c;
        QCOMPARE(stored()[0].toObject().value("tls_key_sha256").toString().size(), 64);
    }
};

QTEST_MAIN(TestFavoriteManager)
#include "tst_favoritemanager.moc"
