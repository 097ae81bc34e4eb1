// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// The two ways work runs: runWork (worker, then the result to a context on
// the GUI thread, dropped when the context is gone) and CommandOverlay
// (show, run on its serial queue, hide, follow-up; dropped while showing;
// cancellable), the bound on threads waiting for the network, and the
// coalescing list refresh.
#include "api/CommandOverlay.h"
#include "api/Work.h"
#include "models/ListRefresh.h"

#include <QAtomicInt>
#include <QSemaphore>
#include <QSignalSpy>
#include <QThreadPool>
#include <QtTest>

#include <memory>

using namespace flk;

class TestWork : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { waitForNetworkWork(); }

    void resultReachesTheContextOnTheGuiThread()
    {
        QObject context;
        QThread *workThread = nullptr, *doneThread = nullptr;
        std::unique_ptr<int> got;
        runWork(
            &context,
            [&workThread] {
                workThread = QThread::currentThread();
                return std::make_shared<int>(42); // a result that moves
            },
            [&](std::shared_ptr<int> v) {
                doneThread = QThread::currentThread();
                got = std::make_unique<int>(*v);
            });
        QTRY_VERIFY(got);
        QCOMPARE(*got, 42);
        QVERIFY(workThread != QThread::currentThread());
        QCOMPARE(doneThread, QThread::currentThread());
    }

    void resultIsDroppedWhenTheContextIsGone()
    {
        auto *context = new QObject;
        QSemaphore release;
        bool delivered = false;
        runWork(
            context,
            [&release] {
                release.acquire();
                return 1;
            },
            [&delivered](int) { delivered = true; });
        delete context; // the screen went while its work was out
        release.release();
        waitForNetworkWork();
        QTest::qWait(20);
        QVERIFY(!delivered);
    }

    // No more than kMaxNetworkWaiters pieces of work wait at once; the rest
    // queue, and all of them finish.
    void threadsWaitingOnTheNetworkAreBounded()
    {
        QObject context;
        QAtomicInt running = 0, peak = 0;
        QSemaphore gate;
        int done = 0;
        const int n = kMaxNetworkWaiters * 2 + 3;
        for (int i = 0; i < n; ++i)
            runWork(
                &context,
                [&] {
                    const int now = ++running;
                    int seen = peak.loadRelaxed();
                    while (now > seen && !peak.testAndSetRelaxed(seen, now))
                        seen = peak.loadRelaxed();
                    gate.acquire();
                    --running;
                },
                [&done] { ++done; });
        QTRY_COMPARE(running.loadRelaxed(), kMaxNetworkWaiters);
        gate.release(n);
        QTRY_COMPARE(done, n);
        QCOMPARE(peak.loadRelaxed(), kMaxNetworkWaiters);
        QCOMPARE(networkPool()->maxThreadCount(), kMaxNetworkWaiters);
    }

    void overlayRunsOneCommandAndDropsOthersWhileShowing()
    {
        CommandOverlay overlay;
        QSignalSpy showing(&overlay, &CommandOverlay::showingChanged);
        QSemaphore release;
        QString result;
        QVERIFY(overlay.run(
            [&release] {
                release.acquire();
                return QStringLiteral("done");
            },
            [&result](QString r) { result = r; }));
        QVERIFY(overlay.isShowing());
        QCOMPARE(showing.size(), 1);
        bool secondRan = false;
        QVERIFY(
            !overlay.run([&secondRan] { secondRan = true; }, [&secondRan] { secondRan = true; }));
        release.release();
        QTRY_COMPARE(result, QStringLiteral("done"));
        QVERIFY(!overlay.isShowing());
        QCOMPARE(showing.size(), 2);
        QVERIFY(!secondRan);
        QVERIFY(overlay.run([] {}, [] {})); // free again
        QTRY_VERIFY(!overlay.isShowing());
    }

    void cancelHidesAtOnceAndDropsTheFollowUp()
    {
        CommandOverlay overlay;
        QSemaphore release;
        bool followed = false, cancelled = false;
        QVERIFY(overlay.runCancellable([&release] { release.acquire(); },
            [&followed] { followed = true; }, [&cancelled] { cancelled = true; }));
        QVERIFY(overlay.isCancellable());
        overlay.cancel();
        QVERIFY(cancelled);
        QVERIFY(!overlay.isShowing());
        // A new command may start; it waits for the old work on the serial queue.
        bool second = false;
        QVERIFY(overlay.run([] {}, [&second] { second = true; }));
        QTest::qWait(30);
        QVERIFY(!second);
        release.release();
        QTRY_VERIFY(second);
        QVERIFY(!followed);
        // A plain overlay cannot be cancelled.
        QVERIFY(overlay.run([] {}, [] {}));
        QVERIFY(!overlay.isCancellable());
        overlay.cancel();
        QVERIFY(overlay.isShowing());
        QTRY_VERIFY(!overlay.isShowing());
    }

    void followUpIsDroppedWhenTheOverlayGoes()
    {
        auto *overlay = new CommandOverlay;
        QSemaphore release;
        bool followed = false;
        overlay->run([&release] { release.acquire(); }, [&followed] { followed = true; });
        delete overlay;
        release.release();
        waitForNetworkWork();
        QTest::qWait(20);
        QVERIFY(!followed);
    }

    // Three refreshes asked for while one is out: exactly one more goes,
    // right after it. A reply to a question that changed is dropped.
    void listRefreshCoalescesAndDropsStaleReplies()
    {
        QSemaphore reply;
        QAtomicInt sent = 0;
        QList<int> applied;
        int question = 0;
        ListRefresh refresh([&]() -> ListRefresh::Fetch {
            const int asked = question;
            return [&, asked]() -> ListRefresh::Apply {
                ++sent;
                reply.acquire();
                return [&applied, asked] { applied << asked; };
            };
        });
        QSignalSpy settled(&refresh, &ListRefresh::settled);
        refresh.request();
        QVERIFY(refresh.isOutstanding());
        refresh.request();
        refresh.request();
        refresh.request();
        QVERIFY(refresh.isPending());
        reply.release(2);
        QTRY_COMPARE(settled.size(), 1);
        QCOMPARE(sent.loadRelaxed(), 2);
        QCOMPARE(applied, (QList<int> { 0, 0 }));

        // The question changes while a request is out: its reply is never
        // applied, and the new question is asked at once.
        applied.clear();
        refresh.request();
        question = 7;
        refresh.restart();
        reply.release(2);
        QTRY_COMPARE(settled.size(), 2);
        QCOMPARE(applied, QList<int> { 7 });
        QCOMPARE(refresh.droppedCount(), 1);
        QCOMPARE(refresh.sentCount(), 4);

        // Nothing to send (not signed in, say): settled at once.
        ListRefresh idle([]() -> ListRefresh::Fetch { return {}; });
        QSignalSpy idleSettled(&idle, &ListRefresh::settled);
        idle.request();
        QCOMPARE(idleSettled.size(), 1);
        QVERIFY(!idle.isOutstanding());
    }
};

QTEST_MAIN(TestWork)
#include "tst_work.moc"
