// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// Discovery end to end: a private D-Bus and Avahi daemon bound to the loopback
// interface only, the simulated NAS announcing itself, and the scan finding,
// resolving and probing it. Every address involved is 127.0.0.1.
#include "servers/NasScanManager.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

using namespace flk;

namespace {

class Recorder : public NasScanDelegate
{
public:
    QList<QVariantMap> added, updated;
    void server_Added(const QVariantMap &m) override { added << m; }
    void server_Updated(const QVariantMap &m) override { updated << m; }
};

QString findProgram(const QString &name)
{
    return QStandardPaths::findExecutable(name, { "/usr/sbin", "/usr/bin", "/sbin", "/bin" });
}

void writeFile(const QString &path, const QByteArray &text)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(text);
}

void stopProcess(QProcess &p)
{
    if (p.state() == QProcess::NotRunning)
        return;
    ::kill(pid_t(p.processId()), SIGTERM);
    if (!p.waitForFinished(5000)) {
        p.kill();
        p.waitForFinished(2000);
    }
}

} // namespace

class TestDiscoveryAvahi : public QObject
{
    Q_OBJECT

    QTemporaryDir dir { "/tmp/flk-mdns-XXXXXX" };
    QProcess dbus, avahi, sim;
    QByteArray savedBus;

private slots:
    void initTestCase()
    {
        const QString dbusDaemon = findProgram("dbus-daemon");
        const QString avahiDaemon = findProgram("avahi-daemon");
        if (dbusDaemon.isEmpty() || avahiDaemon.isEmpty())
            QSKIP("dbus-daemon or avahi-daemon is not installed");
        if (QProcess::execute(avahiDaemon, { "--check" }) == 0)
            QSKIP(
                "an Avahi daemon already runs on this machine; the test needs its own on loopback");

        const QString bus = dir.filePath("bus");
        writeFile(dir.filePath("bus.conf"),
            "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\""
            " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
            "<busconfig><type>system</type><listen>unix:path="
                + bus.toUtf8()
                + "</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow user=\"*\"/>"
                  "<allow own=\"*\"/><allow send_destination=\"*\"/><allow receive_sender=\"*\"/>"
                  "</policy></busconfig>\n");
        writeFile(dir.filePath("avahi.conf"),
            "[server]\nuse-ipv4=yes\nuse-ipv6=no\nallow-interfaces=lo\n"
            "enable-dbus=yes\n[wide-area]\nenable-wide-area=no\n"
            "[publish]\npublish-hinfo=no\npublish-workstation=no\n");
        dbus.start(dbusDaemon, { "--nofork", "--config-file=" + dir.filePath("bus.conf") });
        QVERIFY(dbus.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(bus), 5000);

        savedBus = qgetenv("DBUS_SYSTEM_BUS_ADDRESS");
        const QByteArray address = "unix:path=" + bus.toUtf8();
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", address);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DBUS_SYSTEM_BUS_ADDRESS", QString::fromUtf8(address));

        avahi.setProcessEnvironment(env);
        avahi.setProcessChannelMode(QProcess::MergedChannels);
        avahi.start(avahiDaemon,
            { "-f", dir.filePath("avahi.conf"), "--no-drop-root", "--no-chroot", "--no-rlimits",
                "--no-proc-title" });
        QVERIFY(avahi.waitForStarted());
        QByteArray log;
        QTRY_VERIFY_WITH_TIMEOUT((log += avahi.readAll()).contains("Server startup complete")
                || avahi.state() == QProcess::NotRunning,
            10000);
        if (!log.contains("Server startup complete"))
            QSKIP(qPrintable(
                "the private Avahi daemon did not start: " + QString::fromUtf8(log.right(300))));

        sim.setProcessEnvironment(env);
        sim.start(QStringLiteral(NAS_SIM_EXE),
            { "--port", "0", "--https-port", "0", "--mdns", "Sim NAS Discovery" });
        QVERIFY(sim.waitForStarted());
        QByteArray out;
        QTRY_VERIFY_WITH_TIMEOUT(
            (out += sim.readAllStandardOutput()).contains("nas-sim: accounts"), 15000);
        QVERIFY2(out.contains("announced as Sim NAS Discovery"), out.constData());
    }

    void cleanupTestCase()
    {
        stopProcess(sim);
        stopProcess(avahi);
        stopProcess(dbus);
        if (savedBus.isNull())
            qunsetenv("DBUS_SYSTEM_BUS_ADDRESS");
        else
            qputenv("DBUS_SYSTEM_BUS_ADDRESS", savedBus);
    }

    void scanFindsResolvesAndProbesTheUnit()
    {
        NasScanManager scan; // on Avahi
        Recorder r;
        scan.scanDelegate = &r;
        scan.start_Scan_Server();
        QTRY_VERIFY_WITH_TIMEOUT(!r.added.isEmpty(), 15000);
        const QVariantMap unit = r.added.first();
        QCOMPARE(unit.value("hostname").toString(), QStringLiteral("Sim NAS Discovery"));
        QCOMPARE(unit.value("address").toString(), QStringLiteral("127.0.0.1"));
        QCOMPARE(unit.value("model").toString(), QStringLiteral("KS-N4"));
        QCOMPARE(unit.value("initial").toInt(), 1);
        QCOMPARE(unit.value("httpsenabled"), QVariant(false));
        QCOMPARE(unit.value("netif").toList().first().toMap().value("name").toString(),
            QStringLiteral("eth0"));
        QVERIFY(NasScanManager::scanHost(unit).startsWith("http://127.0.0.1:"));
        QTRY_VERIFY_WITH_TIMEOUT(!r.updated.isEmpty(), 15000);
        QCOMPARE(r.updated.first().value("state").toUInt(), uint(NasScanManager::Reachable));
        scan.stop_Scan_Server();
    }
};

QTEST_MAIN(TestDiscoveryAvahi)
#include "tst_discovery_avahi.moc"
