// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// The simulated NAS as a program: ports, control switches, the request log.
#include "SimFixture.h"
#include "TestUtil.h"

#include "api/CgiCtrl.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

using namespace flk;

namespace {
QByteArray fetch(const QString &url, const QByteArray &post = {}, int *status = nullptr)
{
    QNetworkAccessManager nam;
    QNetworkRequest req { QUrl(url) };
    req.setHeader(QNetworkRequest::ContentTypeHeader, "application/x-www-form-urlencoded");
    QNetworkReply *r = post.isNull() ? nam.get(req) : nam.post(req, post);
    QSignalSpy done(r, &QNetworkReply::finished);
    done.wait(5000);
    if (status)
        *status = r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QByteArray body = r->readAll();
    delete r;
    return body;
}
} // namespace

class TestNasSim : public QObject
{
    Q_OBJECT

private slots:
    void refusesNonLoopbackAddresses()
    {
        nassim::NasState state;
        nassim::NasServer server(state);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("loopback only"));
        QVERIFY(!server.start("0.0.0.0", 0, -1));
    }

    void controlEndpointSetsFaults()
    {
        SimFixture sim;
        QVERIFY(sim.isRunning());
        int status = 0;
        QByteArray body
            = fetch(sim.http() + "/__sim/control", "delay_ms=5&drop=2&non_json=1", &status);
        QCOMPARE(status, 200);
        const auto f = sim.server().faults();
        QCOMPARE(f.delayMs, 5);
        QCOMPARE(f.dropNext, 2);
        QCOMPARE(f.nonJsonNext, 1);
        body = fetch(sim.http() + "/__sim/control?bogus=1", QByteArray(), &status);
        QCOMPARE(status, 400);
        QVERIFY(body.contains("bogus"));
        QVERIFY(!sim.server().applyControl("app", "sideways"));
        // Control requests stay out of the log; CGI requests are in it.
        QVERIFY(sim.server().requestLog().isEmpty());
        sim.server().setFaults({});
        fetch(sim.http() + "/portal/apis/login.cgi?act=login", "account=admin&password=admin");
        const QJsonArray log = QJsonDocument::fromJson(fetch(sim.http() + "/__sim/log")).array();
        QCOMPARE(log.size(), 1);
        QCOMPARE(log[0].toObject().value("act").toString(), QStringLiteral("login"));
    }

    void unknownActAndSessionChecks()
    {
        SimFixture sim;
        int status = 0;
        QByteArray body = fetch(
            sim.http() + "/apps/haulhouse/btdlm.cgi?act=torrent-list&sid=nope", "", &status);
        QCOMPARE(QJsonDocument::fromJson(body).object().value("error_code").toInt(), 5000);
        const auto login = sim.state().login("admin", "admin");
        body = fetch(
            sim.http() + "/apps/haulhouse/btdlm.cgi?act=no-such-act&sid=" + login.sid, "", &status);
        QCOMPARE(status, 404);
    }

    void commandLineProgram()
    {
        QTemporaryDir dir;
        const QString logPath = dir.filePath("requests.jsonl");
        QProcess sim;
        sim.start(QStringLiteral(NAS_SIM_EXE),
            { "--port", "0", "--https-port", "0", "--log", logPath, "--set", "app_version=9.9.9" });
        QVERIFY(sim.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(sim.canReadLine(), 10000);
        const QString line = QString::fromUtf8(sim.readLine());
        const QRegularExpression ports(
            "HTTP on (http://127\\.0\\.0\\.1:\\d+), HTTPS on (https://127\\.0\\.0\\.1:\\d+)");
        const auto m = ports.match(line);
        QVERIFY2(m.hasMatch(), qPrintable(line));

        {
            CgiCtrl c;
            Error e;
            QVERIFY(onWorker(
                [&] { return c.login_Server(m.captured(2), "admin", "admin", false, &e); }));
            const auto info = onWorker([&] { return c.get_App_Info("haulhouse", &e); });
            QVERIFY(info.has_value());
            QCOMPARE(info->value("version").toString(), QStringLiteral("9.9.9"));
        }

        ::kill(sim.processId(), SIGTERM);
        QVERIFY(sim.waitForFinished(10000));
        QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.exitCode(), 0);

        QFile log(logPath);
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = log.readAll().split('\n');
        QCOMPARE(lines.size(), 3); // two requests and the final newline
        const QJsonObject first = QJsonDocument::fromJson(lines[0]).object();
        QCOMPARE(first.value("act").toString(), QStringLiteral("login"));
        QCOMPARE(
            first.value("form").toObject().value("account").toString(), QStringLiteral("admin"));
        const QJsonObject second = QJsonDocument::fromJson(lines[1]).object();
        QVERIFY(second.value("cookie").toString().startsWith("KSESSIONID="));
    }
};

QTEST_MAIN(TestNasSim)
#include "tst_nassim.moc"
