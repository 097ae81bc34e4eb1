// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// One running Ferrylink per user and profile: hand-overs of any size arrive
// or are refused whole, and a launch that cannot hand over never takes the
// place of a live instance; a lock left by a dead one is taken over.
#include "app/SingleInstance.h"

#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtConcurrent/QtConcurrentRun>
#include <QtTest>

#include <unistd.h>

using namespace flk;

namespace {
// Hands items over from another thread (a later launch) while this one
// turns its event loop (the running instance).
SingleInstance::HandOver handOver(const QString &name, const QStringList &items, int timeoutMs)
{
    QFuture<SingleInstance::HandOver> sent = QtConcurrent::run(
        [name, items, timeoutMs] { return SingleInstance(name).sendToRunning(items, timeoutMs); });
    while (!sent.isFinished())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return sent.result();
}
} // namespace

class TestInstance : public QObject
{
    Q_OBJECT

private slots:
    // The socket lives where only this user can enter; a folder someone
    // else could open or made under the expected name is not used.
    void theSocketIsInAFolderOnlyTheUserEnters()
    {
        QTemporaryDir dir;
        const QByteArray runtimeBefore = qgetenv("XDG_RUNTIME_DIR"), tmpBefore = qgetenv("TMPDIR");
        const auto restore = qScopeGuard([&] {
            qputenv("XDG_RUNTIME_DIR", runtimeBefore);
            qputenv("TMPDIR", tmpBefore);
        });
        const auto privateTo = [](const QString &folder) {
            const QFileInfo info(folder);
            return info.isDir() && !info.isSymLink() && info.ownerId() == ::getuid()
                && !(info.permissions()
                    & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther
                        | QFile::WriteOther | QFile::ExeOther));
        };
        // A runtime folder open to others, and a squatted fallback folder.
        QDir(dir.path()).mkpath("open-runtime");
        QFile::setPermissions(dir.filePath("open-runtime"),
            QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                | QFile::ExeOther);
        qputenv("XDG_RUNTIME_DIR", dir.filePath("open-runtime").toUtf8());
        QDir(dir.path()).mkpath("tmp/ferrylink-" + QString::number(::getuid()));
        QFile::setPermissions(dir.filePath("tmp/ferrylink-" + QString::number(::getuid())),
            QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                | QFile::WriteGroup | QFile::ExeGroup);
        qputenv("TMPDIR", dir.filePath("tmp").toUtf8());
        const QString name = SingleInstance::serverName(dir.filePath("defaults.json"));
        const QString folder = QFileInfo(name).absolutePath();
        QVERIFY2(privateTo(folder), qPrintable(folder));
        QVERIFY(!folder.startsWith(dir.filePath("open-runtime")));
        QVERIFY(!folder.startsWith(dir.filePath("tmp")));
        // A runtime folder of the user's own is used as it is.
        QDir(dir.path()).mkpath("own-runtime");
        QFile::setPermissions(
            dir.filePath("own-runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", dir.filePath("own-runtime").toUtf8());
        QCOMPARE(
            QFileInfo(SingleInstance::serverName(dir.filePath("defaults.json"))).absolutePath(),
            dir.filePath("own-runtime"));
    }

    // One instance per defaults file, however it is reached: through a link,
    // or from a launch with another runtime folder (which finds the running
    // one's socket beside the lock).
    void oneInstancePerRealDefaultsFile()
    {
        QTemporaryDir dir;
        const QString real = dir.filePath("defaults.json");
        QFile(real).open(QIODevice::WriteOnly);
        QVERIFY(QFile::link(real, dir.filePath("linked.json")));
        QCOMPARE(SingleInstance::serverName(dir.filePath("linked.json")),
            SingleInstance::serverName(real));
        SingleInstance running(SingleInstance::serverName(real), real);
        QVERIFY(running.tryBecomePrimary());
        QSignalSpy received(&running, &SingleInstance::received);
        // Another launch, the link and a socket name of its own.
        const QString linked = dir.filePath("linked.json");
        SingleInstance second(dir.filePath("elsewhere"), linked);
        QCOMPARE(second.lockPath(), running.lockPath());
        QVERIFY(!second.tryBecomePrimary());
        QFuture<SingleInstance::HandOver> sent = QtConcurrent::run([linked, &dir] {
            return SingleInstance(dir.filePath("elsewhere"), linked)
                .sendToRunning({ "magnet:?xt=urn:btih:abc" }, 5000);
        });
        while (!sent.isFinished())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCOMPARE(sent.result(), SingleInstance::HandOver::Delivered);
        QCOMPARE(received.size(), 1);
    }

    void handsOverToTheRunningOne()
    {
        QTemporaryDir dir;
        const QString name = SingleInstance::serverName(dir.filePath("defaults.json"));
        QVERIFY(name != SingleInstance::serverName(dir.filePath("other.json")));
        QCOMPARE(SingleInstance(name).sendToRunning({ "x" }, 200),
            SingleInstance::HandOver::NotAnswered); // nobody yet
        SingleInstance running(name);
        QVERIFY(running.tryBecomePrimary());
        QSignalSpy received(&running, &SingleInstance::received);
        const QStringList items { "/tmp/a b.torrent", "magnet:?xt=urn:btih:abc&dn=\u00e9t\u00e9" };
        QCOMPARE(handOver(name, items, 5000), SingleInstance::HandOver::Delivered);
        QCOMPARE(received.size(), 1);
        QCOMPARE(received[0][0].toStringList(), items);

        // Ten thousand long relative paths from a deep folder arrive whole.
        QStringList many;
        const QString deep = "/home/user/" + QString("very-deep-folder/").repeated(20);
        for (int i = 0; i < 10000; ++i)
            many << deep + QStringLiteral("file-%1.torrent").arg(i);
        QCOMPARE(handOver(name, many, 20000), SingleInstance::HandOver::Delivered);
        QCOMPARE(received.size(), 2);
        QCOMPARE(received[1][0].toStringList(), many);

        // More than a hand-over carries is refused whole, before sending.
        const QStringList huge(300, QString(120000, 'x'));
        QCOMPARE(
            SingleInstance(name).sendToRunning(huge, 2000), SingleInstance::HandOver::TooLarge);
        QCOMPARE(received.size(), 2);

        const QStringList normalized = SingleInstance::normalizedArguments(
            { "rel/x.torrent", "--verbose", "file:///tmp/y%20z.torrent", "magnet:?xt=urn:btih:1",
                "/abs/../abs/w.torrent" },
            "/home/user");
        QCOMPARE(normalized,
            (QStringList { "/home/user/rel/x.torrent", "/tmp/y z.torrent", "magnet:?xt=urn:btih:1",
                "/abs/w.torrent" }));
    }

    void aBusyInstanceKeepsItsPlace()
    {
        QTemporaryDir dir;
        const QString name = SingleInstance::serverName(dir.filePath("busy.json"));
        SingleInstance running(name);
        QVERIFY(running.tryBecomePrimary());
        QSignalSpy received(&running, &SingleInstance::received);
        // The running one does not turn its loop: the hand-over times out.
        QFuture<SingleInstance::HandOver> sent = QtConcurrent::run(
            [name] { return SingleInstance(name).sendToRunning({ "a.torrent" }, 300); });
        sent.waitForFinished();
        QCOMPARE(sent.result(), SingleInstance::HandOver::NotAnswered);
        // The later launch cannot become a second instance...
        SingleInstance later(name);
        QVERIFY(!later.tryBecomePrimary());
        QVERIFY(!later.isPrimary());
        // ...the items reported as not taken do not arrive later...
        QTest::qWait(300);
        QVERIFY(received.isEmpty());
        // ...and the running one still listens: the next hand-over arrives.
        QCOMPARE(handOver(name, { "b.torrent" }, 5000), SingleInstance::HandOver::Delivered);
        QCOMPARE(received.size(), 1);
        QCOMPARE(received.last()[0].toStringList(), QStringList { "b.torrent" });
    }

    void aDeadInstancesLockIsTakenOver()
    {
        QTemporaryDir dir;
        const QString name = SingleInstance::serverName(dir.filePath("dead.json"));
        SingleInstance probe(name);
        // A lock file of a process that has ended.
        QProcess gone;
        gone.start("true");
        QVERIFY(gone.waitForFinished(5000));
        const qint64 deadPid = gone.processId() ? gone.processId() : 999999;
        QByteArray content;
        {
            QLockFile own(probe.lockPath());
            QVERIFY(own.tryLock(0));
            QFile f(probe.lockPath());
            QVERIFY(f.open(QIODevice::ReadOnly));
            content = f.readAll();
        }
        QList<QByteArray> lines = content.split('\n');
        lines[0] = QByteArray::number(deadPid);
        {
            QFile f(probe.lockPath());
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(lines.join('\n'));
        }
        SingleInstance next(name);
        QVERIFY2(next.tryBecomePrimary(), qPrintable(next.lastError()));
        QSignalSpy received(&next, &SingleInstance::received);
        QCOMPARE(handOver(name, { "c.torrent" }, 5000), SingleInstance::HandOver::Delivered);
        QCOMPARE(received.size(), 1);
    }

    void malformedFramesAreDropped()
    {
        QTemporaryDir dir;
        const QString name = SingleInstance::serverName(dir.filePath("frames.json"));
        SingleInstance running(name);
        QVERIFY(running.tryBecomePrimary());
        QSignalSpy received(&running, &SingleInstance::received);
        // A length beyond the limit, garbage that claims a huge list, a
        // string longer than the frame, and trailing bytes.
        for (const QByteArray &frame :
            { QByteArray::fromHex("7fffffff") + "xx", QByteArray::fromHex("00000004") + "abcd",
                QByteArray::fromHex("0000000c"
                                    "00000001"
                                    "7ffffff0"
                                    "00410042"),
                QByteArray::fromHex("0000000c"
                                    "00000001"
                                    "00000002"
                                    "0041"
                                    "ffff") }) {
            QLocalSocket s;
            s.connectToServer(name);
            QVERIFY(s.waitForConnected(2000));
            s.write(frame);
            s.flush();
            QTRY_VERIFY(s.state() == QLocalSocket::UnconnectedState || !received.isEmpty());
        }
        QVERIFY(received.isEmpty());
        QCOMPARE(handOver(name, { "d.torrent" }, 5000), SingleInstance::HandOver::Delivered);
    }
};

QTEST_MAIN(TestInstance)
#include "tst_instance.moc"
