// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// The application shell against the simulated NAS: start-up, tabs, the
// per-server host's sign-in, polling and failure states, and the menu actions.
#include "RecordingAlertPresenter.h"
#include "SimFixture.h"
#include "TestUtil.h"
#include "search/ui/SearchKeyViewController.h"
#include "search/ui/SearchViewController.h"
#include "tasks/ui/DownloadCategoryViewController.h"

#include "TorrentFile.h"
#include "api/CgiCtrl.h"
#include "api/Localization.h"
#include "api/NotificationCenter.h"
#include "api/Notifications.h"
#include "app/AddServerWizardViewController.h"
#include "app/AppDelegate.h"
#include "app/DBClickActionViewController.h"
#include "app/FLKMainViewController.h"
#include "app/HostViewController.h"
#include "preferences/ui/DefaultFolderViewController.h"
#include "rss/RSSFeedListController.h"
#include "rss/RSSItemListController.h"
#include "rss/RSSSidebarController.h"
#include "rss/ui/RSSFeedViewController.h"
#include "rss/ui/RSSLinkViewController.h"
#include "rss/ui/RSSViewController.h"
#include "servers/DefaultsStore.h"
#include "servers/FavoriteManager.h"
#include "servers/ReachabilityMonitor.h"
#include "tasks/ui/DownloadTaskViewController.h"
#include "tasks/ui/DownloadViewController.h"
#include "ui/KSTProgressHUDHelper.h"

#include <QComboBox>
#include <QDialog>

#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QListView>
#include <QMainWindow>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using namespace flk;

namespace {

class CountingPane : public DCBaseViewController
{
public:
    int refreshes = 0;
    bool request = false; // ask the NAS on each refresh, as list panes do
    void refresh_Items() override
    {
        ++refreshes;
        if (request && ctrlCgi()) {
            Error e;
            onWorker([&] { return ctrlCgi()->get_User_Preference(&e); });
        }
    }
};

AddServerWizardViewController *openWizard()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (!w->isVisible())
            continue;
        if (auto *wizard = w->findChild<AddServerWizardViewController *>())
            return wizard;
    }
    return nullptr;
}

} // namespace

class TestShell : public QObject
{
    Q_OBJECT

    std::unique_ptr<SimFixture> sim;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<DefaultsStore> defaults;
    std::unique_ptr<FavoriteManager> favorites;
    std::unique_ptr<AppDelegate> app;
    std::unique_ptr<RecordingAlertPresenter> alerts;
    QList<QStringList> launches;

    QJsonObject record(const QString &name, bool isDefault, const QString &password = "admin")
    {
        return QJsonObject { { "host", "127.0.0.1" },
            { "port", QString::number(sim->server().httpPort()) }, { "account", "admin" },
            { "password", password }, { "use_https", false }, { "is_cloud_id", false },
            { "default", isDefault ? 1 : 0 }, { "server_name", name },
            { "host_id", sim->state().identity().hostId } };
    }
    // A tab's title by the records as they are now (a sign-in that finished
    // meanwhile renames its record after the NAS): the name, and the account
    // when another record has the same name.
    QString titleOf(int index) const
    {
        const QString name = favorites->get_Favorite_NAS(index)->serverName();
        int same = 0;
        for (int i = 0; i < favorites->count(); ++i)
            same += favorites->get_Favorite_NAS(i)->serverName() == name;
        return same > 1 ? stringWithKSTFormat(localized("TAB_SERVER_ACCOUNT"),
                   { name, favorites->get_Favorite_NAS(index)->account() })
                        : name;
    }
    void start(const QJsonArray &servers, const QStringList &handOver = {})
    {
        if (!servers.isEmpty()) {
            QFile f(dir->filePath("defaults.json"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QJsonDocument(QJsonObject { { "com.kestrel.flk.favorites", servers },
                                      { "open_with", QJsonArray { "/stale.torrent" } } })
                        .toJson());
        }
        defaults = std::make_unique<DefaultsStore>(dir->filePath("defaults.json"));
        favorites = std::make_unique<FavoriteManager>(defaults.get());
        app = std::make_unique<AppDelegate>(favorites.get(), defaults.get());
        app->launcher = [this](const QString &, const QStringList &args) {
            launches << args;
            return true;
        };
        app->application_openFiles(handOver);
        app->applicationDidFinishLaunching();
    }
    // Closes every open sheet (task dialogs, default-folder sheet).
    static void closeSheets()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *d = qobject_cast<QDialog *>(w); d && d->isVisible())
                d->reject();
    }
    static QString torrentFile(const QString &dirPath, const QString &name)
    {
        const QString path = dirPath + "/" + name + ".torrent";
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(nassim::TorrentFile::make(name, { { name + ".iso", 1048576 } }));
        return path;
    }
    FLKMainViewController *main() const { return app->mainViewController(); }
    HostViewController *host(int i) const { return main()->hostAt(i); }

private slots:
    void initTestCase()
    {
        installTranslations();
        QCoreApplication::setApplicationName("Ferrylink");
        QCoreApplication::setApplicationVersion("1.0.0");
    }
    void init()
    {
        ReachabilityMonitor::shared()->setForcedStatus(ReachabilityMonitor::Reachable);
        sim = std::make_unique<SimFixture>();
        QVERIFY(sim->isRunning());
        dir = std::make_unique<QTemporaryDir>();
        alerts = std::make_unique<RecordingAlertPresenter>();
        launches.clear();
    }
    void cleanup()
    {
        if (QWidget *w = openWizard())
            w->window()->close();
        closeSheets();
        app.reset();
        // Work of the overlays ends before the store it uses goes.
        KSTProgressHUDHelper::waitForAllQueues();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        favorites.reset();
        defaults.reset();
        alerts.reset();
        sim.reset();
        ReachabilityMonitor::shared()->setForcedStatus(std::nullopt);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void cleanupTestCase()
    {
        settleEverything();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void firstStartOpensWizardAfterHalfASecond()
    {
        QElapsedTimer t;
        t.start();
        start({});
        QVERIFY(app->launched());
        QVERIFY(app->mainWindow()->isVisible());
        QCOMPARE(main()->hostCount(), 0);
        QVERIFY(!openWizard());
        QTRY_VERIFY(openWizard());
        QVERIFY(t.elapsed() >= 450);
        QCOMPARE(CgiCtrl::sharedCgiCtrl()->delegate(), static_cast<CgiCtrlDelegate *>(app.get()));
        QVERIFY(CgiCtrl::sharedCgiCtrl()->showErrorAlert());
        QCOMPARE(favorites->appName(), QStringLiteral("Haulhouse"));
        QCOMPARE(favorites->appPackage(), QStringLiteral("haulhouse"));
        QVERIFY(!QFile::exists(dir->filePath("defaults.json"))); // nothing to write yet
    }

    void liveUpdateArguments()
    {
        start({});
        QCOMPARE(launches.size(), 1);
        QCOMPARE(launches[0],
            (QStringList { "-name", "Ferrylink", "-version", "1.0.0.1", "-active", "NO" }));
        app->on_Live_Update();
        QCOMPARE(launches[1].last(), QStringLiteral("YES"));
        QVERIFY(AppDelegate::liveUpdateProgram().endsWith("/newsprout"));
    }

    void startUpSelectsDefaultTabAndDropsStaleHandOver()
    {
        start({ record("first", false), record("second", true) });
        QCOMPARE(main()->hostCount(), 2);
        QCOMPARE(main()->tabView()->tabText(0), QStringLiteral("first"));
        QCOMPARE(main()->tabView()->currentIndex(), 1);
        QCOMPARE(host(1)->index(), 1);
        QVERIFY(defaults->value("open_with").isUndefined());
        QVERIFY(!QJsonDocument::fromJson(fileBytes(dir->filePath("defaults.json")))
                     .object()
                     .contains("open_with"));
        // Only the shown host signs in.
        QTRY_COMPARE(host(1)->state(), HostViewController::State::Polling);
        QCOMPARE(host(0)->state(), HostViewController::State::NotShown);
        QVERIFY(!host(0)->session()->isSignedIn());
    }

    void threeServersRefuseAFourth()
    {
        start({ record("a", true), record("b", false), record("c", false) });
        app->on_Add_NAS();
        QCOMPARE(alerts->shown.size(), 1);
        QCOMPARE(alerts->shown[0].request.message, localized("ERROR_MAX_NAS"));
        QVERIFY(!openWizard());
    }

    void twoServersOpenTheWizard()
    {
        start({ record("a", true), record("b", false) });
        app->on_Add_NAS();
        QVERIFY(openWizard());
        QVERIFY(alerts->shown.isEmpty());
    }

    void noNetworkStopsMenuActions()
    {
        start({ record("a", true) });
        ReachabilityMonitor::shared()->setForcedStatus(ReachabilityMonitor::NotReachable);
        app->on_Add_NAS();
        app->on_Remove_NAS();
        app->on_Reconnect_Nas();
        QCOMPARE(alerts->shown.size(), 3);
        for (const auto &a : alerts->shown)
            QCOMPARE(a.request.message, localized("ERR_NETWORK_DISCONNECT"));
        QVERIFY(!openWizard());
        QCOMPARE(favorites->count(), 1);
    }

    void hostSignsInAndPollsVisiblePanes()
    {
        start({ record("a", true) });
        HostViewController *h = host(0);
        auto *visiblePane = new CountingPane;
        auto *hiddenPane = new CountingPane;
        h->addLeftPane(HostViewController::PaneCategories, visiblePane);
        h->addFeaturePage(kFeatureSearch, hiddenPane); // not the current feature
        QTRY_COMPARE(h->state(), HostViewController::State::Polling);
        QVERIFY(h->ctrlCgi() && h->ctrlCgi()->logon());
        QVERIFY(h->ctrlCgi()->showErrorAlert());
        QCOMPARE(h->ctrlCgi()->delegate(), static_cast<CgiCtrlDelegate *>(app.get()));
        QCOMPARE(visiblePane->ctrlCgi(), h->ctrlCgi());
        QVERIFY(h->session()->isPolling());
        QCOMPARE(h->session()->timerInterval(), 5000);
        QVERIFY(visiblePane->refreshes >= 1);
        QCOMPARE(hiddenPane->refreshes, 0);
        const int before = visiblePane->refreshes;
        h->session()->on_Timer();
        QCOMPARE(visiblePane->refreshes, before + 1);
        QCOMPARE(sim->server().requestsFor("get-user-pref").size(), 1);
    }

    // The RSS panes of a host talk to each other only: choosing a feed in
    // one host's sidebar moves that host's item page, and a row click shows
    // that host's page.
    void rssPanesAreWiredWithinTheirHost()
    {
        start({ record("a", true), record("b", false) });
        QTRY_COMPARE(host(0)->state(), HostViewController::State::Polling);
        main()->tabView()->setCurrentIndex(1);
        QTRY_COMPARE(host(1)->state(), HostViewController::State::Polling);
        main()->tabView()->setCurrentIndex(0);
        HostViewController *a = host(0), *b = host(1);
        RSSSidebarController *sidebar = a->rssFeedView()->controller();
        QTRY_COMPARE(sidebar->model()->rowCount(), 6);
        sidebar->selectRow(2);
        QCOMPARE(a->rssLinkView()->controller()->RSSID(), sidebar->model()->feedId(2));
        QCOMPARE(b->rssLinkView()->controller()->RSSID(), -1);
        sidebar->rowClicked(2);
        QCOMPARE(a->currentFeature(), int(kFeatureRSSItems));
        QCOMPARE(b->currentFeature(), int(kFeatureDownloads));
        // The item page shows the feed's items.
        QTRY_VERIFY(a->rssLinkView()->controller()->model()->rowCount() > 0);
        sidebar->rowClicked(0);
        QCOMPARE(a->currentFeature(), int(kFeatureRSSFeeds));
        // A feed added on the page reaches the sidebar at once.
        a->rssView()->controller()->feedSheetDone(
            { { "url", "https://added.example.org/rss" }, { "update_interval", 0u } });
        QTRY_COMPARE(sidebar->model()->rowCount(), 7);
    }

    void hiddenHostStopsAndResumesPolling()
    {
        start({ record("a", true), record("b", false) });
        HostViewController *h = host(0);
        auto *pane = new CountingPane;
        h->addLeftPane(HostViewController::PaneCategories, pane);
        QTRY_COMPARE(h->state(), HostViewController::State::Polling);
        main()->tabView()->setCurrentIndex(1);
        QVERIFY(!h->session()->isPolling());
        QCOMPARE(h->state(), HostViewController::State::Hidden);
        const int before = pane->refreshes;
        QTRY_COMPARE(host(1)->state(), HostViewController::State::Polling);
        const int logins = int(sim->server().requestsFor("login").size());
        main()->tabView()->setCurrentIndex(0);
        QVERIFY(h->session()->isPolling());
        QVERIFY(pane->refreshes > before); // one refresh at once
        QCOMPARE(h->state(), HostViewController::State::Polling);
        QTest::qWait(100);
        // Host 0 kept its client: no new sign-in.
        QCOMPARE(int(sim->server().requestsFor("login").size()), logins);
    }

    void loginFailureNotificationsForOtherServersChangeNothing()
    {
        start({ record("a", true) });
        HostViewController *h = host(0);
        QTRY_COMPARE(h->state(), HostViewController::State::Polling);
        for (const QString &id : { QString(""), QString("SOMEONE-ELSE") })
            NotificationCenter::defaultCenter()->post(
                kNOTIFY_LOGIN_FAVORITE_FAIL, nullptr, { { "hostID", id } });
        QVERIFY(h->session()->isPolling());
        QVERIFY(h->session()->isSignedIn());
        QSignalSpy failView(h, &HostViewController::loginFailViewRequested);
        NotificationCenter::defaultCenter()->post(
            kNOTIFY_LOGIN_FAVORITE_FAIL, nullptr, { { "hostID", sim->state().identity().hostId } });
        QVERIFY(!h->session()->isPolling());
        QTRY_COMPARE(failView.size(), 1);
        QCOMPARE(h->state(), HostViewController::State::SignInFailed);
        QVERIFY(!h->session()->isSignedIn());
        QCOMPARE(h->currentFeature(), 0);
        QCOMPARE(sim->server().requestsFor("logout").size(), 1);
    }

    void expiredSessionAsksOnceThenReconnectsOrGivesUp_data()
    {
        QTest::addColumn<int>("button");
        QTest::newRow("YES") << 0;
        QTest::newRow("NO") << 1;
    }
    void expiredSessionAsksOnceThenReconnectsOrGivesUp()
    {
        QFETCH(int, button);
        start({ record("a", true) });
        HostViewController *h = host(0);
        auto *pane = new CountingPane;
        pane->request = true;
        h->addLeftPane(HostViewController::PaneCategories, pane);
        QTRY_COMPARE(h->state(), HostViewController::State::Polling);
        CgiCtrl *first = h->ctrlCgi();
        sim->state().expireAllSessions();
        h->session()->on_Timer();
        h->session()->on_Timer(); // a second failure while the alert shows adds nothing
        QTRY_COMPARE(alerts->shown.size(), 1);
        settleEverything(); // both polls answered
        QCOMPARE(alerts->shown.size(), 1);
        QCOMPARE(alerts->shown[0].request.message, localized("TXT_RE_CONNECT_NAS"));
        QCOMPARE(alerts->shown[0].request.buttons.size(), 2);
        alerts->close(button);
        if (button == 0) {
            // The same connection, signed in again.
            QTRY_COMPARE(h->state(), HostViewController::State::Polling);
            QCOMPARE(h->ctrlCgi(), first);
            QVERIFY(first->logon());
        } else {
            QTRY_COMPARE(h->state(), HostViewController::State::SignInFailed);
            QVERIFY(!h->session()->isSignedIn());
            QVERIFY(!h->session()->isPolling());
        }
    }

    void cancelledHostSignInLeavesNothingBehind()
    {
        sim->server().applyControl("delay_ms", "1500");
        start({ record("a", true) });
        HostViewController *h = host(0);
        QTRY_VERIFY(h->HUD()->overlay());
        QCOMPARE(h->state(), HostViewController::State::SigningIn);
        QTest::qWait(200);
        QTest::mouseClick(h->HUD()->overlay(), Qt::LeftButton);
        KSTProgressHUDHelper::waitForAllQueues();
        QTest::qWait(100);
        QVERIFY(!h->session()->isSignedIn());
        QVERIFY(!h->session()->isPolling());
        QVERIFY(h->state() != HostViewController::State::SignInFailed);
        QVERIFY(alerts->shown.isEmpty());
        // The reconnect menu item signs it in again.
        sim->server().applyControl("delay_ms", "0");
        app->on_Reconnect_Nas();
        QTRY_COMPARE(h->state(), HostViewController::State::Polling);
        QVERIFY(h->session()->isSignedIn());
    }

    void failedHostSignInEndsWithoutClientOrTimer()
    {
        start({ record("a", true, "wrong") });
        HostViewController *h = host(0);
        QTRY_COMPARE(alerts->shown.size(), 1);
        QCOMPARE(alerts->shown[0].request.message, localized("ERR_LOGIN_AUTHENTICATION_FAIL"));
        QTRY_COMPARE(h->state(), HostViewController::State::SignInFailed);
        QVERIFY(!h->session()->isSignedIn());
        QVERIFY(!h->session()->isPolling());
        // Dismissing the alert brings up the failure view.
        QSignalSpy failView(h, &HostViewController::loginFailViewRequested);
        alerts->close(0);
        QTRY_COMPARE(failView.size(), 1);
    }

    void removingServersRenumbersAndReopensWizard()
    {
        start({ record("a", true), record("b", false), record("c", false) });
        alerts->answer = 0; // confirm
        main()->tabView()->setCurrentIndex(0);
        app->on_Remove_NAS();
        QCOMPARE(alerts->shown.last().request.title, localized("CONFIRM"));
        QVERIFY(alerts->shown.last().request.message.contains("a"));
        QCOMPARE(favorites->count(), 2);
        QCOMPARE(main()->hostCount(), 2);
        QCOMPARE(host(0)->index(), 0);
        QCOMPARE(host(1)->index(), 1);
        QCOMPARE(main()->tabView()->tabText(0), titleOf(0));
        QCOMPARE(favorites->get_Favorite_NAS(0)->account(), QStringLiteral("admin"));
        QVERIFY(favorites->get_Favorite_NAS(0)->isDefault()); // passed on
        // Declining keeps the server.
        alerts->answer = 1;
        app->on_Remove_NAS();
        QCOMPARE(favorites->count(), 2);
        alerts->answer = 0;
        app->emptyListWizardDelayMs = 300;
        app->on_Remove_NAS();
        app->on_Remove_NAS();
        QCOMPARE(favorites->count(), 0);
        QCOMPARE(main()->hostCount(), 0);
        // The window says there is none, and how to add one.
        QVERIFY(main()->emptyView()->isVisible());
        QVERIFY(main()->emptyView()->findChild<QPushButton *>("btnAddServer"));
        QVERIFY(!openWizard());
        QTRY_VERIFY(openWizard());
    }

    // The sidebar is one place: the keyboard moves the page as a click
    // does, one block draws its selection as current, pages name their
    // content.
    void sidebarKeyboardMovesThePageAndPagesSayWhatTheyShow()
    {
        start({ record("a", true) });
        HostViewController *h = host(0);
        QTRY_COMPARE(h->state(), HostViewController::State::Polling);
        app->mainWindow()->activateWindow();
        QTableView *keys = h->searchKeyView()->keyTable();
        QTRY_VERIFY(keys->model()->rowCount() >= 2);
        keys->setFocus();
        QTRY_VERIFY(keys->hasFocus());
        keys->setCurrentIndex(keys->model()->index(0, 0));
        QTest::keyClick(keys, Qt::Key_Down);
        QCOMPARE(h->currentFeature(), int(kFeatureSearch));
        QTRY_VERIFY(h->searchView()->txtTitle()->text().startsWith(
            stringWithKSTFormat(localized("PAGE_SEARCH_RESULTS"), { "" }).left(8)));
        // Only the search block draws its selection as current.
        QVERIFY(keys->property("currentBlock").toBool());
        QVERIFY(!h->downloadCateView()->listView()->property("currentBlock").toBool());
        // Back to the categories with the keyboard: the task page.
        QListView *categories = h->downloadCateView()->listView();
        categories->setFocus();
        QTRY_VERIFY(categories->hasFocus());
        QTest::keyClick(categories, Qt::Key_Down);
        QCOMPARE(h->currentFeature(), int(kFeatureDownloads));
        QVERIFY(categories->property("currentBlock").toBool());
        QVERIFY(!keys->property("currentBlock").toBool());
        // A feed chosen: its page names it.
        QTableView *feeds = h->rssFeedView()->feedTable();
        QTRY_VERIFY(feeds->model()->rowCount() >= 2);
        feeds->setFocus();
        QTRY_VERIFY(feeds->hasFocus());
        feeds->setCurrentIndex(feeds->model()->index(0, 0));
        QTest::keyClick(feeds, Qt::Key_Down);
        QCOMPARE(h->currentFeature(), int(kFeatureRSSItems));
        const QString title = feeds->model()->index(1, 0).data().toString();
        QVERIFY(!title.isEmpty());
        QVERIFY(h->rssLinkView()->txtTitle()->text().contains(title.left(10)));
    }

    void twoAccountsOnOneNasAreToldApartAndNoServerSaysSo()
    {
        QJsonObject guest = record("nas", false);
        guest.insert("account", "guest");
        start({ record("nas", true), guest, record("other", false) });
        QCOMPARE(main()->tabView()->tabText(0),
            stringWithKSTFormat(localized("TAB_SERVER_ACCOUNT"), { "nas", "admin" }));
        QCOMPARE(main()->tabView()->tabText(1),
            stringWithKSTFormat(localized("TAB_SERVER_ACCOUNT"), { "nas", "guest" }));
        QCOMPARE(main()->tabView()->tabText(2), QStringLiteral("other"));
        QVERIFY(!main()->emptyView()->isVisible());
        // One of the two removed: the other is named alone again.
        alerts->answer = 0;
        main()->tabView()->setCurrentIndex(1);
        app->on_Remove_NAS();
        QCOMPARE(main()->tabView()->tabText(0), titleOf(0));
    }

    void reconnectPostsTheSelectedServer()
    {
        start({ record("a", true) });
        QObject observer;
        QStringList ids;
        NotificationCenter::defaultCenter()->addObserver(kNOTIFY_RE_LOGIN_FAVORITE, &observer,
            [&](const Notification &n) { ids << n.userInfo.value("hostID").toString(); });
        QTRY_COMPARE(host(0)->state(), HostViewController::State::Polling);
        app->on_Reconnect_Nas();
        QCOMPARE(ids, QStringList { sim->state().identity().hostId });
        QTRY_COMPARE(host(0)->state(), HostViewController::State::Polling);
    }

    void handedOverFilesWithoutServersAreRefused()
    {
        defaults = std::make_unique<DefaultsStore>(dir->filePath("defaults.json"));
        favorites = std::make_unique<FavoriteManager>(defaults.get());
        app = std::make_unique<AppDelegate>(favorites.get(), defaults.get());
        app->launcher = [](const QString &, const QStringList &) { return true; };
        app->application_openFiles({ "/tmp/a.torrent" });
        app->applicationDidFinishLaunching();
        QCOMPARE(alerts->shown.size(), 1);
        QCOMPARE(alerts->shown[0].request.message, localized("ERROR_NO_DEFAULT_DOWNLOAD_SERVER"));
        QVERIFY(defaults->value("open_with").isUndefined());
    }

    void handOverBeforeLaunchWaitsForTheDefaultHost()
    {
        const QString file = torrentFile(dir->path(), "Sintel");
        start({ record("first", false), record("second", true) }, { file });
        // Kept under "open_with" until the default server's host has signed in.
        QTRY_VERIFY(!sim->server().requestsFor("multi-torrent-upload").isEmpty());
        QTRY_VERIFY(defaults->value("open_with").isUndefined());
        const QJsonObject upload = sim->server().requestsFor("multi-torrent-upload").first();
        QCOMPARE(upload.value("files").toArray().first().toObject().value("filename").toString(),
            QStringLiteral("Sintel.torrent"));
        // The task dialog follows for the new torrent.
        QTRY_VERIFY(host(1)->downloadView()->findChild<DownloadTaskViewController *>() || [] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (w->isVisible() && w->findChild<DownloadTaskViewController *>())
                    return true;
            return false;
        }());
        QCOMPARE(host(0)->state(), HostViewController::State::NotShown);
    }

    void handOverWhileRunningGoesToTheDefaultHostOnly()
    {
        start({ record("first", true), record("second", false) });
        QTRY_COMPARE(host(0)->state(), HostViewController::State::Polling);
        // The other host signs in too but ignores hand-overs.
        main()->tabView()->setCurrentIndex(1);
        QTRY_COMPARE(host(1)->state(), HostViewController::State::Polling);
        sim->server().clearLog();
        const QString magnet
            = "magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567&dn=Big+Buck";
        app->application_openFiles({ magnet });
        QTRY_COMPARE(sim->server().requestsFor("download-add").size(), 1);
        const QJsonObject form
            = sim->server().requestsFor("download-add").first().value("form").toObject();
        QCOMPARE(form.value("url").toString(), magnet + "\n");
        QCOMPARE(form.value("save_to").toString(), QStringLiteral("/Download"));
        QCOMPARE(form.value("show_dialog_enabled").toString(), QStringLiteral("1"));
        QTest::qWait(100);
        QCOMPARE(sim->server().requestsFor("download-add").size(), 1); // one host took it
        QVERIFY(alerts->shown.isEmpty());
    }

    void handOverWithoutADefaultServerIsRefused()
    {
        start({ record("first", false) });
        QTRY_COMPARE(host(0)->state(), HostViewController::State::Polling);
        app->application_openFiles({ "magnet:?xt=urn:btih:abc" });
        QCOMPARE(alerts->shown.size(), 1);
        QCOMPARE(alerts->shown[0].request.message, localized("ERROR_NO_DEFAULT_DOWNLOAD_SERVER"));
        settleEverything();
        QVERIFY(sim->server().requestsFor("download-add").isEmpty());
    }

    void missingPreferencesOpenTheDefaultFolderSheet()
    {
        sim->server().applyControl("prefs", "missing");
        start({ record("first", true) });
        QSignalSpy opened(host(0), &HostViewController::defaultFolderSheetOpened);
        QTRY_COMPARE_WITH_TIMEOUT(opened.size(), 1, 5000);
        QPointer<DefaultFolderViewController> sheet
            = qobject_cast<DefaultFolderViewController *>(opened[0][0].value<QWidget *>());
        QVERIFY(sheet);
        QCOMPARE(sheet->defaultFolder(), QStringLiteral("/Download"));
        sheet->btnOk()->click();
        QTRY_COMPARE(sim->server().requestsFor("set-user-initial-pref").size(), 1);
        const QJsonObject form
            = sim->server().requestsFor("set-user-initial-pref").first().value("form").toObject();
        QCOMPARE(form.value("default_dl_dir").toString(), QStringLiteral("/Download"));
        QCOMPARE(form.value("watch_dir").toString(), QStringLiteral("/Download"));
        QTRY_VERIFY(!sheet || !sheet->isVisible()); // closed (and gone with its dialog)
        QVERIFY(sim->state().preferences("admin").has_value());
    }

    // A hand-over for a NAS that has no download preferences yet waits for
    // them (it used to be dropped from "open_with" and never sent).
    void handOverWaitsForTheDefaultFolder()
    {
        sim->server().applyControl("prefs", "missing");
        const QString file = torrentFile(dir->path(), "Sintel");
        start({ record("first", true) }, { file });
        QSignalSpy opened(host(0), &HostViewController::defaultFolderSheetOpened);
        QTRY_COMPARE_WITH_TIMEOUT(opened.size(), 1, 5000);
        QTest::qWait(200);
        QVERIFY(sim->server().requestsFor("multi-torrent-upload").isEmpty());
        QCOMPARE(defaults->value("open_with").toArray(), QJsonArray { file });
        QCOMPARE(opened.size(), 1); // one sheet, however often it was asked for
        QPointer<DefaultFolderViewController> sheet
            = qobject_cast<DefaultFolderViewController *>(opened[0][0].value<QWidget *>());
        QVERIFY(sheet);
        sheet->btnOk()->click();
        QTRY_COMPARE(sim->server().requestsFor("multi-torrent-upload").size(), 1);
        QTRY_VERIFY(defaults->value("open_with").isUndefined());
    }

    void doubleClickSettingChoosesTheDefault()
    {
        start({ record("first", false), record("second", true) });
        DBClickActionViewController sheet(favorites.get());
        QCOMPARE(sheet.cmbNas()->count(), 2);
        QCOMPARE(sheet.cmbNas()->currentIndex(), 1);
        sheet.cmbNas()->setCurrentIndex(0);
        sheet.on_Ok();
        QCOMPARE(favorites->defaultIndex(), 0);
        QVERIFY(!favorites->get_Favorite_NAS(1)->isDefault());
        // No entry chosen: no server is the default any more.
        DBClickActionViewController none(favorites.get());
        none.cmbNas()->setCurrentIndex(-1);
        none.on_Ok();
        QCOMPARE(favorites->defaultIndex(), -1);
        const QJsonArray saved = QJsonDocument::fromJson(fileBytes(dir->filePath("defaults.json")))
                                     .object()
                                     .value("com.kestrel.flk.favorites")
                                     .toArray();
        QCOMPARE(saved[0].toObject().value("default").toInt(), 0);
        QCOMPARE(saved[1].toObject().value("default").toInt(), 0);
    }
};

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
