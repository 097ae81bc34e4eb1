// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// Memory after a very large task list: once the list is small again the
// process gives back what the large one took (the parser's buffers and the
// C library's freed heap). Measured as resident memory, which sanitizer
// builds do not model, so there this test is skipped; the benchmark
// BM_MemoryAfterBigList reports the same figures from a release build.
#include "TestUtil.h"

#include "api/CgiCtrl.h"
#include "api/Work.h"
#include "tasks/TaskListController.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtTest>

#include <unistd.h>

using namespace flk;

namespace {
double residentMiB()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    return f.readAll().split(' ').value(1).toDouble() * double(sysconf(_SC_PAGESIZE))
        / (1024.0 * 1024.0);
}
} // namespace

class TestMemory : public QObject
{
    Q_OBJECT

private slots:
    void aLargeListGivesItsMemoryBack()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("resident memory is not meaningful under AddressSanitizer");
#endif
        QProcess sim;
        sim.start(QStringLiteral(NAS_SIM_EXE),
            { "--port", "0", "--https-port", "-1", "--set", "tasks=100" });
        QVERIFY(sim.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(sim.canReadLine(), 10000);
        const QString base = QRegularExpression("(http://127\\.0\\.0\\.1:\\d+)")
                                 .match(QString::fromUtf8(sim.readLine()))
                                 .captured(1);
        QVERIFY(!base.isEmpty());
        QNetworkAccessManager nam;
        auto control = [&](const QString &query) {
            QNetworkReply *r = nam.get(QNetworkRequest(QUrl(base + "/__sim/control?" + query)));
            QTRY_VERIFY_WITH_TIMEOUT(r->isFinished(), 60000);
            r->deleteLater();
        };
        auto client = std::make_shared<CgiCtrl>();
        QVERIFY(onWorker([&] {
            Error e;
            return client->login_Server(base, "admin", "admin", false, &e).has_value();
        }));
        TaskListController list;
        list.setClientSource([client] { return client; });
        auto poll = [&] {
            QSignalSpy applied(&list, &TaskListController::listApplied);
            list.refresh_Items();
            QVERIFY(applied.wait(120000));
            waitForNetworkWork();
            QTest::qWait(200);
            waitForNetworkWork();
        };
        poll();
        const double before = residentMiB();
        control("tasks=200000"); // a reply of about 47 MB
        poll();
        const double big = residentMiB();
        control("tasks=100");
        poll();
        poll();
        const double after = residentMiB();
        qInfo("resident memory: %.1f MiB before, %.1f with the large list, %.1f after", before, big,
            after);
        QVERIFY(big > before + 100); // the large list was really held
        QVERIFY2(after < before + 48, qPrintable(QString::number(after - before)));
        sim.kill();
        sim.waitForFinished();
    }
};

QTEST_MAIN(TestMemory)
#include "tst_memory.moc"
