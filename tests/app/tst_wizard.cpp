// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// The add-server wizard: pages, modes, ports, the Complete rule, the found
// units, and adding against the simulated NAS.
#include "FakeDiscovery.h"
#include "RecordingAlertPresenter.h"
#include "SimFixture.h"
#include "TestUtil.h"

#include "api/CgiCtrl.h"
#include "api/CgiErrorRules.h"
#include "api/CommandOverlay.h"
#include "api/Localization.h"
#include "app/AddServerWizardViewController.h"
#include "servers/DefaultsStore.h"
#include "servers/FavoriteManager.h"
#include "servers/ReachabilityMonitor.h"
#include "ui/KSTProgressHUDHelper.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using namespace flk;

namespace {
ResolvedService unit(const QString &name, bool https, int httpsPort)
{
    ResolvedService s;
    s.name = name;
    s.type = "_KESTREL_DC._tcp.";
    s.ipv4Addresses = { "127.0.0.1" };
    s.txt = { { "httpport", "8000" }, { "httpsport", QByteArray::number(httpsPort) },
        { "httpsenabled", https ? "1" : "0" }, { "model", "KS-N4" } };
    return s;
}
} // namespace

class TestWizard : public QObject
{
    Q_OBJECT

    AppCgiDelegate rules;
    std::unique_ptr<SimFixture> sim;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<DefaultsStore> defaults;
    std::unique_ptr<FavoriteManager> favorites;
    std::unique_ptr<RecordingAlertPresenter> alerts;
    FakeDiscovery *discovery = nullptr;

    std::unique_ptr<AddServerWizardViewController> makeWizard(bool discoveryRuns = true)
    {
        discovery = new FakeDiscovery;
        discovery->available = discoveryRuns;
        auto *scan = new NasScanManager(discovery);
        scan->probeTimeoutMs = 300;
        return std::make_unique<AddServerWizardViewController>(favorites.get(), scan);
    }
    void type(QLineEdit *edit, const QString &text)
    {
        edit->clear();
        QTest::keyClicks(edit, text);
    }
    // Types the server page as a user would, for the simulator's HTTP port.
    void fillServerInfo(
        AddServerWizardViewController *w, const QString &host, const QString &password = "admin")
    {
        type(w->editIP(), host);
        type(w->editPort(), QString::number(sim->server().httpPort()));
        type(w->editAccount(), "admin");
        type(w->editPassword(), password);
    }

private slots:

    void foundUnitsSayWhatTheyWaitFor()
    {
        auto w = makeWizard();
        w->show();
        auto *hint = w->findChild<QLabel *>("emptyViewHint");
        QVERIFY(hint);
        QCOMPARE(hint->text(), localized("ADD_HOST_SEARCHING"));
        // Without a discovery service: say so, and that typing works.
        auto without = makeWizard(false);
        without->show();
        auto *none = without->findChild<QLabel *>("emptyViewHint");
        QVERIFY(none && none->isVisibleTo(without.get()));
        QCOMPARE(none->text(),
            stringWithKSTFormat(
                localized("ADD_HOST_NO_DISCOVERY"), { localized("ADD_HOST_RDO_BY_MANUAL") }));
    }
    void initTestCase()
    {
        installTranslations();
        CgiCtrl::sharedCgiCtrl()->setDelegate(&rules);
        ReachabilityMonitor::shared()->setForcedStatus(ReachabilityMonitor::Reachable);
    }
    void init()
    {
        sim = std::make_unique<SimFixture>();
        dir = std::make_unique<QTemporaryDir>();
        defaults = std::make_unique<DefaultsStore>(dir->filePath("defaults.json"));
        favorites = std::make_unique<FavoriteManager>(defaults.get());
        favorites->setAppName("Haulhouse");
        favorites->setAppPackage("haulhouse");
        alerts = std::make_unique<RecordingAlertPresenter>();
    }
    void cleanup()
    {
        KSTProgressHUDHelper::waitForAllQueues();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        favorites.reset();
        alerts.reset();
        sim.reset();
        qunsetenv("FERRYLINK_CLOUD_RELAY_DOMAIN");
    }

    void scanModeNeedsASelectedUnit()
    {
        auto w = makeWizard();
        QCOMPARE(discovery->browsed, QStringList { "_KESTREL_DC._tcp." });
        QCOMPARE(w->currentPage(), QStringLiteral("SelAddMode"));
        QCOMPARE(w->mode(), int(AddServerWizardViewController::Scanned));
        QVERIFY(w->btnPre()->isHidden());
        QVERIFY(!w->btnNext()->isEnabled());
        discovery->resolve(unit("nas-a", true, 8443));
        discovery->resolve(unit("nas-a", true, 8443)); // announced twice
        discovery->resolve(unit("nas-b", false, 8001));
        QCOMPARE(w->acServer()->rowCount(), 2);
        QCOMPARE(w->acServer()->data(w->acServer()->index(0, 2), Qt::DisplayRole).toString(),
            QStringLiteral("KS-N4"));
        w->tableNas()->selectRow(0);
        QVERIFY(w->btnNext()->isEnabled());
        // Probe results merge into the listed unit.
        QTRY_COMPARE(
            w->acServer()->unitAt(0).value("state").toUInt(), uint(NasScanManager::Unreachable));
        discovery->remove("nas-b");
        QCOMPARE(w->acServer()->rowCount(), 1);
        w->on_Manual();
        QVERIFY(!w->tableNas()->isEnabled());
        QVERIFY(w->btnNext()->isEnabled());
    }

    void scannedUnitFillsSecondPage()
    {
        auto w = makeWizard();
        discovery->resolve(unit("nas-a", true, 8443));
        w->tableNas()->selectRow(0);
        w->on_Next();
        QCOMPARE(w->currentPage(), QStringLiteral("ServerInfo"));
        QVERIFY(!w->btnPre()->isHidden());
        QCOMPARE(w->btnNext()->text(), localized("COMPLETE"));
        QCOMPARE(w->host(), QStringLiteral("127.0.0.1"));
        QCOMPARE(w->editIP()->text(), QStringLiteral("127.0.0.1"));
        QVERIFY(w->isHttps());
        QCOMPARE(w->port(), QStringLiteral("8443"));
        QCOMPARE(w->txtIP()->text(), localized("ADD_HOST_TXT_IP"));
        w->cmbConnectType()->setCurrentIndex(0);
        w->on_Connect_Type();
        QCOMPARE(w->port(), QStringLiteral("8000"));
        QCOMPARE(w->editPort()->text(), QStringLiteral("8000"));
        w->cmbConnectType()->setCurrentIndex(1);
        w->on_Connect_Type();
        QCOMPARE(w->port(), QStringLiteral("8001"));

        // Back to the first page and by address: cleared host, HTTP, 8000.
        type(w->editAccount(), "admin");
        w->on_Previous();
        QCOMPARE(w->currentPage(), QStringLiteral("SelAddMode"));
        QCOMPARE(w->btnNext()->text(), localized("NEXT"));
        w->on_Manual();
        w->on_Next();
        QCOMPARE(w->host(), QString());
        QCOMPARE(w->port(), QStringLiteral("8000"));
        QVERIFY(!w->isHttps());
        QCOMPARE(w->account(), QStringLiteral("admin")); // kept
        w->on_Previous();
        w->on_Cloud_ID();
        w->on_Next();
        QCOMPARE(w->txtIP()->text(), localized("ADD_HOST_TXT_CLOUD_ID"));
    }

    void completeNeedsEveryField()
    {
        auto w = makeWizard();
        w->on_Manual();
        w->on_Next();
        QVERIFY(!w->btnNext()->isEnabled());
        type(w->editIP(), "127.0.0.1");
        type(w->editAccount(), "admin");
        QVERIFY(!w->btnNext()->isEnabled()); // password still empty
        type(w->editPassword(), "admin");
        QVERIFY(w->btnNext()->isEnabled());
        type(w->editPort(), "");
        QVERIFY(!w->btnNext()->isEnabled());
    }

    void addsAndMarksTheFirstServerDefault()
    {
        for (int round = 0; round < 2; ++round) {
            auto w = makeWizard();
            bool ok = false;
            CgiCtrl *client = nullptr;
            w->setCompletion([&](bool o, const QVariant &r) {
                ok = o;
                client = qobject_cast<CgiCtrl *>(r.value<QObject *>());
            });
            w->on_Manual();
            w->on_Next();
            fillServerInfo(w.get(), "127.0.0.1");
            w->on_Next();
            QVERIFY(w->HUD()->isShowing());
            QCOMPARE(w->HUD()->text(), localized("TXT_SIGNING_IN"));
            QTRY_VERIFY(ok);
            QVERIFY(client && client->logon());
            QCOMPARE(favorites->count(), round + 1);
            QCOMPARE(favorites->get_Favorite_NAS(round)->isDefault(), round == 0);
            QVERIFY(!favorites->get_Favorite_NAS(round)->isCloudID());
            delete client;
        }
    }

    void failedSignInKeepsThePage()
    {
        auto w = makeWizard();
        bool called = false;
        w->setCompletion([&](bool, const QVariant &) { called = true; });
        w->on_Manual();
        w->on_Next();
        fillServerInfo(w.get(), "127.0.0.1", "nope");
        w->on_Next();
        QTRY_VERIFY(!w->HUD()->isShowing());
        QTRY_COMPARE(alerts->shown.size(), 1);
        QCOMPARE(alerts->shown[0].request.message, localized("ERR_LOGIN_AUTHENTICATION_FAIL"));
        QVERIFY(!called);
        QCOMPARE(w->currentPage(), QStringLiteral("ServerInfo"));
        QCOMPARE(w->password(), QStringLiteral("nope"));
        QVERIFY(!w->resultObject().isValid());
        QCOMPARE(favorites->count(), 0);
    }

    void cloudIdIsStoredBare()
    {
        qputenv("FERRYLINK_CLOUD_RELAY_DOMAIN", "1"); // "127.0.0" + "." + "1"
        auto w = makeWizard();
        CgiCtrl *client = nullptr;
        w->setCompletion([&](bool, const QVariant &r) {
            client = qobject_cast<CgiCtrl *>(r.value<QObject *>());
        });
        w->on_Cloud_ID();
        w->on_Next();
        fillServerInfo(w.get(), "127.0.0");
        w->on_Next();
        QTRY_VERIFY(client);
        QCOMPARE(favorites->get_Favorite_NAS(0)->host(), QStringLiteral("127.0.0"));
        QVERIFY(favorites->get_Favorite_NAS(0)->isCloudID());
        delete client;
    }

    // The wizard's rules headless: the chosen unit follows its row, what
    // can be pressed, the details from a unit, and a sign-in that saves.
    void controllerWithoutWidgets()
    {
        discovery = new FakeDiscovery;
        auto *scan = new NasScanManager(discovery);
        scan->probeTimeoutMs = 300;
        CommandOverlay overlay;
        AddServerController c(favorites.get(), scan, &overlay);
        QCOMPARE(c.mode(), AddServerController::Scanned);
        QVERIFY(!c.canGoOn()); // no unit chosen
        discovery->resolve(unit("nas-b", false, 8001));
        discovery->resolve(unit("nas-c", true, 8443));
        c.setChosenUnit(1);
        QVERIFY(c.canGoOn());
        discovery->remove("nas-b"); // the row before the chosen one leaves
        QCOMPARE(c.chosenUnit(), 0);
        QCOMPARE(c.units()->unitAt(0).value("httpsport").toString(), QStringLiteral("8443"));
        c.setChosenUnit(7); // no such row
        QCOMPARE(c.chosenUnit(), -1);
        QVERIFY(!c.canGoOn());
        QVERIFY(!c.next());
        c.setChosenUnit(0);
        QVERIFY(c.next());
        QCOMPARE(c.page(), AddServerController::ServerInfo);
        QCOMPARE(c.host(), QStringLiteral("127.0.0.1"));
        QVERIFY(c.https());
        QCOMPARE(c.port(), QStringLiteral("8443"));
        c.setHttps(false);
        QCOMPARE(c.port(), QStringLiteral("8000"));
        QVERIFY(!c.canGoOn()); // account and password missing
        QVERIFY(!c.next());

        // By address: the address is asked afresh, the account kept.
        c.setAccount("admin");
        c.previous();
        c.setMode(AddServerController::Manual);
        QVERIFY(c.canGoOn());
        QVERIFY(c.next());
        QVERIFY(c.host().isEmpty());
        QCOMPARE(c.account(), QStringLiteral("admin"));
        c.setHost("127.0.0.1");
        c.setPort(QString::number(sim->server().httpPort()));
        c.setPassword("admin");
        QSignalSpy signedIn(&c, &AddServerController::signedIn);
        QVERIFY(c.next());
        QVERIFY(c.isSigningIn());
        QVERIFY(!c.next()); // one sign-in at a time
        QVERIFY(signedIn.wait(10000));
        std::unique_ptr<CgiCtrl> client(signedIn[0][0].value<CgiCtrl *>());
        QVERIFY(client && client->logon());
        QCOMPARE(favorites->count(), 1);
        QVERIFY(favorites->get_Favorite_NAS(0)->isDefault());
    }

    // A wizard that goes while it signs in ends that sign-in; nothing is saved.
    void controllerGoingCancelsItsSignIn()
    {
        sim->server().applyControl("delay_ms", "1500");
        discovery = new FakeDiscovery;
        CommandOverlay overlay;
        auto c = std::make_unique<AddServerController>(
            favorites.get(), new NasScanManager(discovery), &overlay);
        c->setMode(AddServerController::Manual);
        c->next();
        c->setHost("127.0.0.1");
        c->setPort(QString::number(sim->server().httpPort()));
        c->setAccount("admin");
        c->setPassword("admin");
        QVERIFY(c->next());
        QTRY_VERIFY(favorites->bIsLogining());
        c.reset();
        QTRY_VERIFY(!favorites->bIsLogining());
        KSTProgressHUDHelper::waitForAllQueues();
        QCOMPARE(favorites->count(), 0);
        QVERIFY(alerts->shown.isEmpty());
    }

    void cancellingTheOverlayCancelsTheSignIn()
    {
        sim->server().applyControl("delay_ms", "1500");
        auto w = makeWizard();
        bool called = false;
        w->setCompletion([&](bool, const QVariant &) { called = true; });
        w->show();
        w->on_Manual();
        w->on_Next();
        fillServerInfo(w.get(), "127.0.0.1");
        w->on_Next();
        QTRY_VERIFY(favorites->bIsLogining());
        QTest::mouseClick(w->HUD()->overlay(), Qt::LeftButton);
        KSTProgressHUDHelper::waitForAllQueues();
        QVERIFY(!called);
        QCOMPARE(favorites->count(), 0);
        // The sign-in ran to its end; anything it posted has arrived.
        QTRY_VERIFY(!favorites->bIsLogining());
        settleEverything();
        QVERIFY(alerts->shown.isEmpty());
        QCOMPARE(w->currentPage(), QStringLiteral("ServerInfo"));
    }
};

QTEST_MAIN(TestWizard)
#include "tst_wizard.moc"
