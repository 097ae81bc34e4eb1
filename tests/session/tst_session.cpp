// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// One server's session without widgets, against the simulated NAS: sign-in
// and polling, re-sign-in with sheets still holding the connection, one list
// request to the NAS at a time, the hand-over inbox, the server key.
#include "RecordingAlertPresenter.h"
#include "SimFixture.h"

#include "api/CgiCtrl.h"
#include "api/CgiErrorRules.h"
#include "api/CgiOperations.h"
#include "api/CommandOverlay.h"
#include "api/NotificationCenter.h"
#include "api/Notifications.h"
#include "desktop/FinishedTasksWatcher.h"
#include "preferences/PreferenceController.h"
#include "servers/DefaultsStore.h"
#include "servers/FavoriteManager.h"
#include "servers/FavoriteObject.h"
#include "session/ServerSession.h"
#include "tasks/TaskListController.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

using namespace flk;
using State = ServerSession::State;

namespace {

// A simulated NAS saved as the only, default server (with or without the
// host id a sign-in learns), and a session over it.
struct SessionFixture {
    SimFixture sim;
    QTemporaryDir dir;
    std::unique_ptr<DefaultsStore> defaults;
    std::unique_ptr<FavoriteManager> favorites;
    RecordingAlertPresenter alerts;
    std::unique_ptr<ServerSession> session;

    explicit SessionFixture(bool withHostID = true)
    {
        QJsonObject record { { "host", "127.0.0.1" },
            { "port", QString::number(sim.server().httpPort()) }, { "account", "admin" },
            { "password", "admin" }, { "use_https", false }, { "is_cloud_id", false },
            { "default", 1 }, { "server_name", "nas-sim" } };
        if (withHostID)
            record.insert("host_id", sim.state().identity().hostId);
        QFile f(dir.filePath("defaults.json"));
        if (f.open(QIODevice::WriteOnly))
            f.write(QJsonDocument(
                QJsonObject { { "com.kestrel.flk.favorites", QJsonArray { record } } })
                        .toJson());
        f.close();
        defaults = std::make_unique<DefaultsStore>(dir.filePath("defaults.json"));
        favorites = std::make_unique<FavoriteManager>(defaults.get());
        favorites->setAppPackage(QString::fromLatin1(kAppPackageName));
        // Request errors are presented as the application presents them.
        // (for the whole run: work of an ended session may still ask it).
        static AppCgiDelegate rules;
        CgiCtrl::sharedCgiCtrl()->setDelegate(&rules);
        session = std::make_unique<ServerSession>(favorites.get(), 0);
    }
    ~SessionFixture()
    {
        session->setShown(false);
        session->setBackgroundWatch(false);
        TaskListController *list = session->taskList();
        QTRY_VERIFY(!list->isBusy() && !session->overlay()->isShowing());
        session.reset();
        // The connection goes now, so the simulator does not wait for its
        // idle keep-alive connections to time out.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    bool signIn()
    {
        session->setShown(true);
        return QTest::qWaitFor([this] { return session->state() == State::Polling; }, 10000);
    }
};

} // namespace

class TestSession : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(SimFixture().isRunning()); }

    void signsInWhenShownAndPollsWhileShown()
    {
        SessionFixture f;
        QCOMPARE(f.session->state(), State::NotShown);
        QVERIFY(!f.session->isSignedIn());
        std::shared_ptr<CgiCtrl> before = f.session->client();
        QVERIFY(f.signIn());
        QCOMPARE(f.session->client(), before); // one connection for the session's life
        QVERIFY(f.session->isPolling());
        QCOMPARE(f.session->timerInterval(), 5000);
        QTRY_VERIFY(f.sim.server().requestsFor("torrent-list").size() >= 1);
        QVERIFY(f.session->client()->showErrorAlert());

        // Not shown (another tab, or the window minimised): no poll, and
        // without the background watch the list is never called stale.
        f.session->setShown(false);
        QCOMPARE(f.session->state(), State::Hidden);
        QVERIFY(!f.session->isPolling());
        QVERIFY(!f.session->isBackgroundWatching());
        f.session->setBackgroundWatch(true);
        QVERIFY(f.session->isBackgroundWatching());
        f.session->setShown(true);
        QCOMPARE(f.session->state(), State::Polling);
        QVERIFY(!f.session->isBackgroundWatching());
        QCOMPARE(f.favorites->count(), 1);
    }

    // Closing an error alert with OK signs the server out and in again; a
    // sheet opened before keeps the connection it was given and saves.
    void sheetHoldingTheConnectionSavesAfterReSignIn()
    {
        SessionFixture f;
        QVERIFY(f.signIn());
        PreferenceController sheet;
        const std::shared_ptr<CgiCtrl> held = f.session->client();
        sheet.setClientSource([held] { return held; });
        QSignalSpy loaded(&sheet, &PreferenceController::loaded);
        sheet.load();
        QVERIFY(loaded.wait(5000));

        f.sim.state().expireAllSessions();
        f.session->on_Timer();
        QTRY_COMPARE(f.alerts.shown.size(), 1);
        f.alerts.close(0); // "Yes": sign in again
        QTRY_COMPARE(f.sim.server().requestsFor("login").size(), 2);
        QTRY_COMPARE(f.session->state(), State::Polling);
        QVERIFY(held->logon());

        // (A request of the old session that was still out may have said so
        // once more; the save itself must not.)
        const qsizetype alertsBefore = f.alerts.shown.size();
        sheet.apply(false);
        QTRY_VERIFY(!sheet.overlay()->isShowing());
        QCOMPARE(f.sim.server().requestsFor("set-pref").size(), 1);
        QCOMPARE(f.alerts.shown.size(), alertsBefore); // no "connection lost"
    }

    void reSignInOfAnotherServerOrAnUnshownSessionChangesNothing()
    {
        SessionFixture f;
        NotificationCenter::defaultCenter()->post(
            kNOTIFY_RE_LOGIN_FAVORITE, nullptr, { { "hostID", f.sim.state().identity().hostId } });
        QCoreApplication::processEvents();
        QCOMPARE(f.session->state(), State::NotShown); // never shown: stays out
        QVERIFY(f.signIn());
        NotificationCenter::defaultCenter()->post(
            kNOTIFY_RE_LOGIN_FAVORITE, nullptr, { { "hostID", "SOMEONE-ELSE" } });
        QCoreApplication::processEvents();
        QCOMPARE(f.sim.server().requestsFor("login").size(), 1);
    }

    // The poll, the background watch and the finished-task check share one
    // request path: on a NAS slower than the poll period no two list
    // requests to it are out at once.
    void listRequestsNeverOverlapOnASlowNas()
    {
        SessionFixture f;
        auto *watcher = new FinishedTasksWatcher(f.dir.filePath("finished.json"), f.session.get());
        f.session->setFinishedWatcher(watcher);
        f.session->pollIntervalMs = 100;
        f.session->backgroundWatchMs = 100;
        f.session->setBackgroundWatch(true);
        QVERIFY(f.signIn());
        f.sim.server().clearLog();
        f.sim.server().applyControl("delay_ms", "300");
        // Shown: the finished category is fetched besides the list on show.
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                const auto lists = f.sim.server().requestsFor("torrent-list");
                return lists.size() >= 4;
            }(),
            10000);
        // Hidden: the watch takes over; shown again: the poll.
        f.session->setShown(false);
        const int before = f.sim.server().requestsFor("torrent-list").size();
        QTRY_VERIFY_WITH_TIMEOUT(
            f.sim.server().requestsFor("torrent-list").size() >= before + 3, 10000);
        f.session->setShown(true);
        QTRY_VERIFY_WITH_TIMEOUT(
            f.sim.server().requestsFor("torrent-list").size() >= before + 6, 10000);
        f.sim.server().applyControl("delay_ms", "0");
        QCOMPARE(f.sim.server().maxInFlight("torrent-list"), 1);
        const auto lists = f.sim.server().requestsFor("torrent-list");
        QVERIFY(std::any_of(lists.begin(), lists.end(), [](const QJsonObject &r) {
            return r.value("form").toObject().value("type").toString() == "2";
        }));
    }

    // The finished category on show is the check's answer: no second request.
    void finishedCategoryOnShowAnswersTheCheck()
    {
        SessionFixture f;
        auto *watcher = new FinishedTasksWatcher(f.dir.filePath("finished.json"), f.session.get());
        f.session->setFinishedWatcher(watcher);
        f.session->taskList()->setCategory(2);
        QVERIFY(f.signIn());
        QTRY_VERIFY(!f.session->taskList()->isBusy()
            && !f.sim.server().requestsFor("torrent-list").isEmpty());
        for (const QJsonObject &r : f.sim.server().requestsFor("torrent-list"))
            QCOMPARE(r.value("form").toObject().value("type").toString(), QStringLiteral("2"));
    }

    // A hand-over that comes before the sign-in is done waits in
    // "open_with" and goes to the NAS once signed in.
    void handOverBeforeSignInIsDeliveredAfterIt()
    {
        SessionFixture f;
        f.sim.server().applyControl("delay_ms", "200");
        f.session->setShown(true);
        QCOMPARE(f.session->state(), State::SigningIn);
        const QString magnet = "magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567";
        NotificationCenter::defaultCenter()->post(
            kNOTIFY_OPEN_WITH_TORRENT, nullptr, { { "torrents", QStringList { magnet } } });
        QCOMPARE(f.defaults->value("open_with").toArray(), QJsonArray { magnet });
        QTRY_COMPARE_WITH_TIMEOUT(f.sim.server().requestsFor("download-add").size(), 1, 10000);
        QTRY_VERIFY(f.defaults->value("open_with").isUndefined());
        f.sim.server().applyControl("delay_ms", "0");
    }

    // Layouts and caches go by a key the next start finds again: the saved
    // address, whatever host id the NAS tells at sign-in.
    void serverKeyIsTheSameBeforeAndAfterSignIn_data()
    {
        QTest::addColumn<bool>("withHostID");
        QTest::newRow("saved without a host id") << false;
        QTest::newRow("saved with one") << true;
    }
    void serverKeyIsTheSameBeforeAndAfterSignIn()
    {
        QFETCH(bool, withHostID);
        SessionFixture f(withHostID);
        const QString key = f.session->serverKey();
        QCOMPARE(key, QString("server:127.0.0.1:%1").arg(f.sim.server().httpPort()));
        QVERIFY(f.signIn());
        QVERIFY(!f.session->record()->hostID().isEmpty());
        QCOMPARE(f.session->serverKey(), key);
        // A restart: the record now holds the host id; the key is unchanged,
        // and the key older builds used is offered for what they saved.
        ServerSession next(f.favorites.get(), 0);
        QCOMPARE(next.serverKey(), key);
        QCOMPARE(
            next.legacyServerKeys(), QStringList { "server:" + f.sim.state().identity().hostId });
    }
};

QTEST_MAIN(TestSession)
#include "tst_session.moc"
