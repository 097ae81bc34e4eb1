// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// The transport's rules against the simulated NAS over loopback sockets:
// network I/O off the GUI thread, one connection reused, deadlines, uploads
// never sent twice, the pinned key, and shutting down under a waiting caller.
#include "SimFixture.h"
#include "TestUtil.h"

#include "api/CgiCtrl.h"
#include "api/CgiEncoding.h"
#include "api/CgiOperations.h"
#include "api/CgiTransport.h"
#include "api/Error.h"

#include <QTemporaryDir>
#include <QtTest>

#include <thread>

using namespace flk;

class TestTransport : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<SimFixture> sim;

    QString reviveUrl(const QString &base) const
    {
        return cgi::requestUrl(base, QString::fromLatin1(kCgiPathLogin), QStringLiteral("revive"),
            QString(), false, std::nullopt);
    }
    static std::shared_ptr<CgiTransport::Exchange> exchange(const QString &url)
    {
        auto x = std::make_shared<CgiTransport::Exchange>();
        x->url = url;
        x->post = true;
        x->contentType = "application/x-www-form-urlencoded";
        return x;
    }
    // Runs one exchange from a plain thread while the GUI thread is blocked
    // in join(): nothing of it may need the GUI thread.
    static void runBlocked(CgiTransport &t, const std::shared_ptr<CgiTransport::Exchange> &x)
    {
        std::thread worker([&] {
            t.start(x);
            CgiTransport::wait(*x);
        });
        worker.join();
    }
    std::unique_ptr<CgiCtrl> signedIn()
    {
        auto c = std::make_unique<CgiCtrl>();
        Error e;
        onWorker([&] { return c->login_Server(sim->http(), "admin", "admin", false, &e); });
        return c;
    }

private slots:
    void init()
    {
        sim = std::make_unique<SimFixture>();
        QVERIFY(sim->isRunning());
    }
    void cleanup() { sim.reset(); }

    void requestsNeverNeedTheGuiThread()
    {
        CgiTransport t;
        for (int i = 0; i < 3; ++i) {
            auto x = exchange(reviveUrl(sim->http()));
            runBlocked(t, x);
            QVERIFY(x->done);
            QCOMPARE(x->transportCode, 0);
            QVERIFY(x->raw.contains("\"success\""));
        }
        QCOMPARE(sim->server().requestsFor("revive").size(), 3);
    }

    void oneConnectionServesRequestsInTurn()
    {
        auto c = signedIn();
        QVERIFY(c->logon());
        sim->server().clearLog();
        for (int i = 0; i < 5; ++i) {
            Error e;
            QVERIFY(onWorker([&] { return c->check_Session_Timeout(&e); }));
        }
        const QList<QJsonObject> log = sim->server().requestsFor("revive");
        QCOMPARE(log.size(), 5);
        const int port = log.first().value("remote_port").toInt();
        QVERIFY(port > 0);
        for (const QJsonObject &entry : log)
            QCOMPARE(entry.value("remote_port").toInt(), port);
    }

    void aSlowReplyEndsAtItsDeadlineAndIsNotSentAgain()
    {
        CgiTransport t;
        t.setRequestDeadline(300);
        QVERIFY(sim->server().applyControl("delay_ms", "1500"));
        auto x = exchange(reviveUrl(sim->http()));
        runBlocked(t, x);
        QCOMPARE(x->transportCode, int(kTransportTimedOut));
        QVERIFY(x->deadlineHit);
        QVERIFY(x->raw.isEmpty());
        // A retry would have come before the exchange ended.
        QCOMPARE(sim->server().requestsFor("revive").size(), 1);
        QVERIFY(sim->server().applyControl("delay_ms", "0"));
    }

    void aDroppedUploadIsReportedNotResent()
    {
        auto c = signedIn();
        QTemporaryDir dir;
        const QString file = dir.filePath("one.torrent");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("d4:infod4:name3:oneee");
        f.close();
        // The same fault a form request survives by one more attempt.
        QVERIFY(sim->server().applyControl("drop_act", "multi-torrent-upload"));
        QVERIFY(sim->server().applyControl("drop", "1"));
        Error e;
        const bool got
            = onWorker([&] { return c->upload_Torrent({ file }, false, "", &e).has_value(); });
        QVERIFY(!got);
        QCOMPARE(e.domain, QString::fromLatin1(kTransportErrorDomain));
        QCOMPARE(e.userInfo.value("files").toStringList(), QStringList { "one.torrent" });
        QCOMPARE(sim->server().uploadAttempts(), 1);
    }

    void aKeyOtherThanThePinnedOneGetsNothing()
    {
        CgiTransport t;
        auto x = exchange(reviveUrl(sim->https()));
        x->keys = std::make_shared<TransportKeys>();
        x->keys->pinnedKey = QByteArray(32, 'x');
        runBlocked(t, x);
        QCOMPARE(x->transportCode, int(kTransportKeyChanged));
        QVERIFY(x->keyMismatch);
        QVERIFY(!x->keys->observedKey.isEmpty());
        QVERIFY(x->keys->observedKey != x->keys->pinnedKey);
        QVERIFY(sim->server().requestLog().isEmpty());

        // The key it saw, pinned, is accepted.
        auto again = exchange(reviveUrl(sim->https()));
        again->keys = x->keys;
        again->keys->pinnedKey = x->keys->observedKey;
        runBlocked(t, again);
        QCOMPARE(again->transportCode, 0);
    }

    void shuttingDownReleasesWaitingCallersAndRefusesNewOnes()
    {
        auto t = std::make_unique<CgiTransport>();
        QVERIFY(sim->server().applyControl("delay_ms", "1500"));
        auto x = exchange(reviveUrl(sim->http()));
        std::thread worker([&] {
            t->start(x);
            CgiTransport::wait(*x);
        });
        QTRY_VERIFY(!sim->server().requestLog().isEmpty()); // in flight
        t->shutdown();
        worker.join();
        QCOMPARE(x->transportCode, int(kTransportCancelled));

        auto late = exchange(reviveUrl(sim->http()));
        t->start(late);
        QVERIFY(late->done);
        QCOMPARE(late->transportCode, int(kTransportCancelled));
        QVERIFY(sim->server().applyControl("delay_ms", "0"));
    }
};

QTEST_GUILESS_MAIN(TestTransport)
#include "tst_transport.moc"
