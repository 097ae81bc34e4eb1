// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// LAN discovery: TXT parsing, address choice and the probe states, driven
// through a stand-in for the platform's discovery.
#include "FakeDiscovery.h"
#include "SimFixture.h"

#include "servers/NasScanManager.h"

#include <QtTest>

using namespace flk;

namespace {

class Recorder : public NasScanDelegate
{
public:
    QList<QVariantMap> added, updated;
    QStringList removed;
    void server_Added(const QVariantMap &m) override { added << m; }
    void server_Updated(const QVariantMap &m) override { updated << m; }
    void server_Removed(const QString &n) override { removed << n; }
};

ResolvedService unit(
    const QString &name, const QStringList &addresses, int httpPort, int httpsPort, bool https)
{
    ResolvedService s;
    s.name = name;
    s.type = "_KESTREL_DC._tcp.";
    s.ipv4Addresses = addresses;
    s.txt = { { "hostid", "KS01" }, { "httpport", QByteArray::number(httpPort) },
        { "httpsport", QByteArray::number(httpsPort) }, { "httpsenabled", https ? "1" : "0" },
        { "httpenabled", "yes" }, { "model", "KS-N4" },
        { "netif", "[{\"name\": \"eth0\", \"mac\": \"00:11:22:33:44:55\"}]" },
        { "vendor_secret", "x" } };
    return s;
}

} // namespace

class TestNasScan : public QObject
{
    Q_OBJECT

private slots:
    void truthValues_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("value");
        QTest::newRow("1") << QByteArray("1") << true;
        QTest::newRow("0") << QByteArray("0") << false;
        QTest::newRow("yes") << QByteArray("yes") << true;
        QTest::newRow("True") << QByteArray("True") << true;
        QTest::newRow("no") << QByteArray("no") << false;
        QTest::newRow("spaces, sign, zeros") << QByteArray("  +007") << true;
        QTest::newRow("zeros only") << QByteArray("000") << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("false") << QByteArray("false") << false;
    }
    void truthValues()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, value);
        QCOMPARE(NasScanManager::truthValue(text), value);
    }

    void serverInformationFromTxt()
    {
        ResolvedService s = unit("nas-one", { "192.168.1.20", "10.0.0.7" }, 8000, 8001, true);
        QTest::ignoreMessage(QtInfoMsg, "LAN discovery: vendor_secret = x");
        const QVariantMap info = NasScanManager::serverInformation(s);
        QCOMPARE(info.value("hostname").toString(), QStringLiteral("nas-one"));
        QCOMPARE(info.value("address").toString(), QStringLiteral("10.0.0.7")); // the last one
        QCOMPARE(info.value("httpport").toString(), QStringLiteral("8000"));
        QCOMPARE(info.value("httpsenabled"), QVariant(true));
        QCOMPARE(info.value("httpenabled"), QVariant(true));
        QCOMPARE(info.value("initial").toInt(), 1);
        QCOMPARE(info.value("netif").toList().first().toMap().value("name").toString(),
            QStringLiteral("eth0"));
        QVERIFY(!info.contains("vendor_secret"));
        QCOMPARE(NasScanManager::scanHost(info), QStringLiteral("https://10.0.0.7:8001"));

        s.txt[3].second = "0";
        s.txt[6].second = "{not json";
        s.ipv4Addresses.clear();
        s.type = NasScanManager::uninitServiceType();
        QTest::ignoreMessage(QtInfoMsg, "LAN discovery: vendor_secret = x");
        const QVariantMap plain = NasScanManager::serverInformation(s);
        QVERIFY(!plain.contains("netif"));
        QVERIFY(!plain.contains("address"));
        QCOMPARE(plain.value("initial").toInt(), 0);
        QCOMPARE(NasScanManager::scanHost(plain), QStringLiteral("http://:8000"));
    }

    void probeStates_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("reachablePort");
        QTest::addColumn<uint>("state");
        QTest::newRow("answered") << "" << true << uint(NasScanManager::Reachable);
        QTest::newRow("refused with 403") << "403" << true << uint(NasScanManager::Refused);
        QTest::newRow("error status") << "500" << true << uint(NasScanManager::Unreachable);
        QTest::newRow("time-out") << "slow" << true << uint(NasScanManager::Unreachable);
        QTest::newRow("nothing listening") << "" << false << uint(NasScanManager::Unreachable);
    }
    void probeStates()
    {
        QFETCH(QString, fault);
        QFETCH(bool, reachablePort);
        QFETCH(uint, state);
        SimFixture sim;
        if (fault == "slow")
            sim.server().applyControl("delay_ms", "1500");
        else if (!fault.isEmpty()) {
            sim.server().applyControl("status", fault);
            sim.server().applyControl("status_count", "1");
        }
        auto *discovery = new FakeDiscovery;
        NasScanManager scan(discovery);
        scan.probeTimeoutMs = 300;
        Recorder r;
        scan.scanDelegate = &r;
        scan.start_Scan_Server();
        QCOMPARE(discovery->browsed, QStringList { "_KESTREL_DC._tcp." });
        const int port = reachablePort ? sim.server().httpPort() : 1;
        QTest::ignoreMessage(QtInfoMsg, QRegularExpression("vendor_secret"));
        discovery->resolve(unit("nas-one", { "127.0.0.1" }, port, 0, false));
        QCOMPARE(r.added.size(), 1);
        QCOMPARE(r.added[0].value("state").toUInt(), uint(NasScanManager::Probing));
        QTRY_COMPARE(r.updated.size(), 1);
        QCOMPARE(r.updated[0].value("state").toUInt(), state);
        QCOMPARE(r.updated[0].value("hostname").toString(), QStringLiteral("nas-one"));
        if (reachablePort && fault != "slow")
            QCOMPARE(sim.server().requestLog().last().value("method").toString(),
                QStringLiteral("POST"));
    }

    void withoutADaemonTheScanReportsNothing()
    {
        // No bus here: the platform discovery says why and finds nothing.
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/flk-test-bus");
        NasScanManager scan; // on Avahi
        Recorder r;
        scan.scanDelegate = &r;
        QTest::ignoreMessage(QtInfoMsg, QRegularExpression("LAN discovery is not available"));
        scan.start_Scan_Server();
        QTest::qWait(200);
        QVERIFY(r.added.isEmpty());
        scan.stop_Scan_Server();
    }

    void unitsNotSetUpAreNotProbed()
    {
        auto *discovery = new FakeDiscovery;
        NasScanManager scan(discovery);
        scan.scanUninitServer = true;
        Recorder r;
        scan.scanDelegate = &r;
        scan.start_Scan_Server();
        QCOMPARE(discovery->browsed, (QStringList { "_KESTREL_DC._tcp.", "_KESTREL_INIT._tcp." }));
        ResolvedService s = unit("fresh", { "127.0.0.1" }, 1, 1, false);
        s.type = NasScanManager::uninitServiceType();
        QTest::ignoreMessage(QtInfoMsg, QRegularExpression("vendor_secret"));
        discovery->resolve(s);
        QCOMPARE(r.added.size(), 1);
        QCOMPARE(r.added[0].value("state").toUInt(), uint(NasScanManager::NotSetUp));
        QTest::qWait(100);
        QVERIFY(r.updated.isEmpty());
        discovery->remove("fresh");
        QCOMPARE(r.removed, QStringList { "fresh" });
        scan.stop_Scan_Server();
        QCOMPARE(discovery->stops, 1);
        discovery->resolve(s); // after stopping nothing is reported
        QCOMPARE(r.added.size(), 1);
    }
};

QTEST_MAIN(TestNasScan)
#include "tst_nasscan.moc"
