// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// The request layer against the simulated NAS over real loopback sockets.
#include "RecordingAlertPresenter.h"
#include "SimFixture.h"
#include "TestUtil.h"

#include "api/CgiCtrl.h"
#include "api/CgiOperations.h"

#include <QAbstractEventDispatcher>
#include <QFuture>
#include <QTemporaryDir>
#include <QtConcurrent/QtConcurrentRun>
#include <QtTest>

using namespace flk;

namespace {

// A delegate that rewrites what the tests ask it to.
class HookDelegate : public CgiCtrlDelegate
{
public:
    std::optional<QVariantMap> post;
    std::optional<QString> url;
    std::optional<QJsonObject> response;
    std::optional<Error> errorCode;
    QThread *responseThread = nullptr;
    std::optional<QVariantMap> cgiCtrl_post(
        CgiCtrl *, const QVariantMap &, const QString &, const QString &, int) override
    {
        return post;
    }
    std::optional<QString> cgiCtrl_cgiURL(
        CgiCtrl *, const QString &, const QString &, const QString &, const QString &, int) override
    {
        return url;
    }
    std::optional<QJsonObject> cgiCtrl_response(CgiCtrl *, const QJsonObject &, int) override
    {
        responseThread = QThread::currentThread();
        return response;
    }
    std::optional<Error> cgiCtrl_errorCode(
        CgiCtrl *, const std::optional<QJsonObject> &, int) override
    {
        return errorCode;
    }
};

} // namespace

class TestCgiCtrl : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<SimFixture> sim;

    // A controller signed in to the simulator as admin.
    std::unique_ptr<CgiCtrl> signedIn(bool https = false)
    {
        auto c = std::make_unique<CgiCtrl>();
        Error e;
        onWorker([&] {
            return c->login_Server(https ? sim->https() : sim->http(), QStringLiteral("admin"),
                QStringLiteral("admin"), false, &e);
        });
        if (e.isError())
            qWarning() << "sign-in failed" << e.toString();
        return c;
    }

private slots:
    void init()
    {
        sim = std::make_unique<SimFixture>();
        QVERIFY(sim->isRunning());
    }
    void cleanup() { sim.reset(); }

    void urlForms_data()
    {
        QTest::addColumn<bool>("webServer");
        QTest::addColumn<QString>("sid");
        QTest::addColumn<bool>("withParams");
        QTest::addColumn<QString>("expected");
        const QString base = QStringLiteral("https://10.0.0.5:8001/apps/haulhouse/btdlm.cgi");
        QTest::newRow("sid and params")
            << false << "abc" << true << base + "?act=torrent-get&sid=abc&name=x&";
        QTest::newRow("no sid") << false << "" << false << base + "?act=torrent-get";
        QTest::newRow("sid, no params")
            << false << "abc" << false << base + "?act=torrent-get&sid=abc";
        QTest::newRow("no sid, params") << false << "" << true << base + "?act=torrent-get&name=x&";
        QTest::newRow("web server") << true << "abc" << true << base + "/torrent-get?name=x&";
        QTest::newRow("web server, no params") << true << "abc" << false << base + "/torrent-get";
    }
    void urlForms()
    {
        QFETCH(bool, webServer);
        QFETCH(QString, sid);
        QFETCH(bool, withParams);
        QFETCH(QString, expected);
        CgiCtrl c;
        c.setIsWebServer(webServer);
        c.setSid(sid);
        const auto params = withParams ? std::optional<QVariantMap>(QVariantMap { { "name", "x" } })
                                       : std::nullopt;
        QCOMPARE(c.generate_Cgi_URL(
                     "https://10.0.0.5:8001", "/apps/haulhouse/btdlm.cgi", "torrent-get", params),
            expected);
    }

    void urlEncodesKeysAndValues()
    {
        CgiCtrl c;
        c.setSid("s1");
        const QString url = c.generate_Cgi_URL("http://h", "/p", "a",
            QVariantMap {
                { "dir", "/Download/A&B #1+x=y" }, { "n", 5 }, { "b", true }, { "k&v", "ok" } });
        QCOMPARE(url,
            QStringLiteral("http://h/p?act=a&sid=s1&b=1&dir=%2FDownload%2FA%26B%20%231%2Bx%3Dy&"
                           "k%26v=ok&n=5&"));
    }

    void queryAndFormReachTheNasIntact()
    {
        auto c = signedIn();
        const QString tricky = QStringLiteral("/Download/A&B #1+x=y ü");
        Error e;
        onWorker([&] {
            return c->send_Request_Get("/portal/apis/login.cgi", "revive",
                QVariantMap { { "folder", tricky } }, kCgiRevive, &e);
        });
        QVERIFY(!e.isError());
        onWorker([&] {
            return c->send_Request("/portal/apis/login.cgi", "revive",
                QVariantMap { { "folder", tricky }, { "count", 3 }, { "flag", false } }, kCgiRevive,
                &e);
        });
        QVERIFY(!e.isError());
        const auto log = sim->server().requestsFor("revive");
        QCOMPARE(log.size(), 2);
        const QJsonObject get = log[0].value("query").toObject();
        QCOMPARE(get.value("folder").toString(), tricky);
        QCOMPARE(get.value("sid").toString(), c->sid());
        QVERIFY(!get.contains("B #1"));
        const QJsonObject form = log[1].value("form").toObject();
        QCOMPARE(form.value("folder").toString(), tricky);
        QCOMPARE(form.value("count").toString(), QStringLiteral("3"));
        QCOMPARE(form.value("flag").toString(), QStringLiteral("0"));
        QCOMPARE(log[1].value("method").toString(), QStringLiteral("POST"));
    }

    void replyEvaluation_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("sessionTimeout");
        QTest::newRow("success true")
            << QByteArray("{\"success\": true, \"items\": []}") << 0 << false;
        QTest::newRow("success 1") << QByteArray("{\"success\": 1}") << 0 << false;
        QTest::newRow("expired") << QByteArray("{\"success\": false, \"error_code\": 5000}") << 5000
                                 << true;
        QTest::newRow("other code")
            << QByteArray("{\"success\": 0, \"error_code\": 5019}") << 5019 << false;
        QTest::newRow("no success") << QByteArray("{\"items\": []}") << 0 << false;
        QTest::newRow("null code")
            << QByteArray("{\"success\": null, \"error_code\": null}") << 0 << false;
        QTest::newRow("code as text")
            << QByteArray("{\"success\": \"0\", \"error_code\": \"5041\"}") << 5041 << false;
    }
    void replyEvaluation()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, code);
        QFETCH(bool, sessionTimeout);
        CgiCtrl c;
        c.setSessionTimeout(!sessionTimeout);
        const QJsonObject obj = QJsonDocument::fromJson(reply).object();
        const Error e = c._get_Error_Code(kCgiTorrentAdd, obj);
        const bool succeeded
            = reply.contains("\"success\": true") || reply.contains("\"success\": 1");
        QCOMPARE(e.isError(), !succeeded);
        if (e.isError()) {
            QCOMPARE(e.domain, QString::fromLatin1(kCgiErrorDomain));
            QCOMPARE(e.code, code);
            QCOMPARE(e.cgiId(), int(kCgiTorrentAdd));
        }
        QCOMPARE(c.sessionTimeout(), sessionTimeout);
    }

    void noReplyIsMinus9999()
    {
        CgiCtrl c;
        const Error e = c._get_Error_Code(kCgiTorrentList, std::nullopt);
        QCOMPARE(e.code, int(kCgiErrorNoReply));
        QCOMPARE(e.cgiId(), int(kCgiTorrentList));
    }

    void delegateHooks()
    {
        auto c = signedIn();
        HookDelegate d;
        c->setDelegate(&d);
        // A response hook can add "success" to a reply that lacks it.
        sim->server().on("/apps/haulhouse/btdlm.cgi", "get-user-pref", true, [](nassim::Call &) {
            return nassim::SimReply { 200, { { "max_dl_number", 3 } }, "text/plain", {}, {} };
        });
        Error e;
        auto r = onWorker([&] {
            return c->send_Request(
                "/apps/haulhouse/btdlm.cgi", "get-user-pref", std::nullopt, kCgiGetUserPref, &e);
        });
        QVERIFY(r.has_value());
        QCOMPARE(e.code, 0);
        QVERIFY(e.isError()); // no "success": code 0
        d.response = QJsonObject { { "success", true } };
        r = onWorker([&] {
            return c->send_Request(
                "/apps/haulhouse/btdlm.cgi", "get-user-pref", std::nullopt, kCgiGetUserPref, &e);
        });
        QVERIFY(!e.isError());
        QCOMPARE(*r, (QJsonObject { { "success", true } }));
        d.response.reset();

        // Replacement POST parameters.
        d.post = QVariantMap { { "replaced", "yes" } };
        onWorker([&] {
            return c->send_Request(
                "/portal/apis/login.cgi", "revive", QVariantMap { { "orig", 1 } }, kCgiRevive, &e);
        });
        QCOMPARE(sim->server().requestsFor("revive").last().value("form").toObject(),
            (QJsonObject { { "replaced", "yes" } }));
        d.post.reset();

        // The evaluation hook's error wins and keeps cgi_id.
        d.errorCode = Error("x", 5000, { { "extra", 1 } });
        onWorker([&] {
            return c->send_Request(
                "/portal/apis/login.cgi", "revive", std::nullopt, kCgiRevive, &e);
        });
        QCOMPARE(e.code, 5000);
        QCOMPARE(e.domain, QString::fromLatin1(kCgiErrorDomain));
        QCOMPARE(e.cgiId(), int(kCgiRevive));
        QCOMPARE(e.userInfo.value("extra").toInt(), 1);
        QVERIFY(c->sessionTimeout());
        d.errorCode.reset();

        // An empty URL from the URL hook sends nothing and returns none.
        d.url = QString();
        const int before = int(sim->server().requestLog().size());
        e = Error();
        r = onWorker([&] {
            return c->send_Request(
                "/portal/apis/login.cgi", "revive", std::nullopt, kCgiRevive, &e);
        });
        QVERIFY(!r);
        QVERIFY(!e.isError());
        QCOMPARE(sim->server().requestLog().size(), before);
        c->setDelegate(nullptr);
    }

    void transportFailuresAreMinus9999_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("html body") << "non_json";
        QTest::newRow("http 500") << "status_count";
    }
    void transportFailuresAreMinus9999()
    {
        QFETCH(QString, fault);
        auto c = signedIn();
        QVERIFY(sim->server().applyControl(fault, "1"));
        Error e;
        const auto r = onWorker([&] {
            return c->send_Request(
                "/portal/apis/login.cgi", "revive", std::nullopt, kCgiRevive, &e);
        });
        QVERIFY(!r);
        QCOMPARE(e.code, int(kCgiErrorNoReply));
        QCOMPARE(e.cgiId(), int(kCgiRevive));
    }

    void unreachableHostIsMinus9999()
    {
        CgiCtrl c;
        c.setHost(QStringLiteral("http://127.0.0.1:1"));
        Error e;
        QTest::ignoreMessage(QtInfoMsg, QRegularExpression("\\[3\\] Cgi failed\\. error = -?\\d+"));
        QVERIFY(!onWorker([&] {
            return c.send_Request("/portal/apis/login.cgi", "revive", std::nullopt, kCgiRevive, &e);
        }));
        QCOMPARE(e.code, int(kCgiErrorNoReply));
    }

    void cookieAdoptedFromSetCookie()
    {
        auto c = signedIn();
        QVERIFY(c->cookieHeader().startsWith("KSESSIONID=" + c->sid().toLatin1()));
        Error e;
        onWorker([&] { return c->check_Session_Timeout(&e); });
        QVERIFY(!e.isError());
        QCOMPARE(sim->server().requestsFor("revive").last().value("cookie").toString().toLatin1(),
            c->cookieHeader());
        // A failed reply never changes it.
        const QByteArray before = c->cookieHeader();
        sim->server().on("/portal/apis/login.cgi", "revive", false, [](nassim::Call &) {
            auto r = nassim::SimReply::fail(5004);
            r.headers.append(qMakePair(QByteArray("Set-Cookie"), QByteArray("other=1")));
            return r;
        });
        onWorker([&] { return c->check_Session_Timeout(&e); });
        QCOMPARE(e.code, 5004);
        // The reply was a successful HTTP exchange: its cookie is adopted.
        QCOMPARE(c->cookieHeader(), QByteArray("other=1"));
        QVERIFY(sim->server().applyControl("non_json", "1"));
        onWorker([&] { return c->check_Session_Timeout(&e); });
        QCOMPARE(c->cookieHeader(), QByteArray("other=1"));
        Q_UNUSED(before);
    }

    void workerAndGuiThreadCallersBothWork()
    {
        auto c = signedIn();
        Error e;
        // From a worker: the reply is handled on the GUI thread while it waits.
        const bool ok = onWorker([&] { return c->check_Session_Timeout(&e); });
        QVERIFY(ok);
        QVERIFY(!e.isError());
        // Several requests in flight at once on one controller.
        QVERIFY(sim->server().applyControl("delay_ms", "150"));
        QFuture<bool> a = QtConcurrent::run(networkPool(), [&] {
            Error x;
            return c->check_Session_Timeout(&x) && !x.isError();
        });
        QFuture<bool> b = QtConcurrent::run(networkPool(), [&] {
            Error x;
            return c->check_Session_Timeout(&x) && !x.isError();
        });
        QTRY_VERIFY(a.isFinished() && b.isFinished());
        QVERIFY(a.result());
        QVERIFY(b.result());
    }

    // A reply is released once its caller has it: nothing (such as the
    // request's deadline) keeps it for the rest of the deadline.
    void finishedRequestsLeaveNothingBehind()
    {
        auto c = signedIn();
        const auto pendingTimers = [] {
            int n = 0;
            for (QObject *o : QAbstractEventDispatcher::instance()->children())
                n += QByteArray(o->metaObject()->className()) == "QSingleShotTimer" ? 1 : 0;
            return n;
        };
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const int before = pendingTimers();
        for (int i = 0; i < 5; ++i) {
            Error e;
            QVERIFY(onWorker([&] { return c->get_Torrent_List(0, "position", "asc", "", &e); }));
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(pendingTimers(), before);
    }

    void guiThreadWaitKeepsTimersFiring()
    {
        auto c = signedIn();
        QVERIFY(sim->server().applyControl("delay_ms", "600"));
        int ticks = 0;
        QTimer timer;
        timer.setInterval(50);
        connect(&timer, &QTimer::timeout, [&] { ++ticks; });
        timer.start();
        Error e;
        GuiThreadWaitAllowed allowed;
        QVERIFY(c->check_Session_Timeout(&e)); // called on the GUI thread
        QVERIFY(!e.isError());
        QVERIFY2(ticks >= 5, qPrintable(QString::number(ticks)));
    }

    void cancelReturnsMinus9998_data()
    {
        QTest::addColumn<bool>("fromWorker");
        QTest::newRow("worker caller") << true;
        QTest::newRow("gui caller") << false;
    }
    void cancelReturnsMinus9998()
    {
        QFETCH(bool, fromWorker);
        auto c = signedIn();
        QVERIFY(sim->server().applyControl("delay_ms", "800"));
        Error e;
        std::optional<QJsonObject> r;
        QTimer::singleShot(150, c.get(), [&] { c->cancel_Cgi(kCgiRevive); });
        QElapsedTimer t;
        t.start();
        if (fromWorker) {
            r = onWorker([&] {
                return c->send_Request(
                    "/portal/apis/login.cgi", "revive", std::nullopt, kCgiRevive, &e);
            });
        } else {
            GuiThreadWaitAllowed allowed;
            r = c->send_Request("/portal/apis/login.cgi", "revive", std::nullopt, kCgiRevive, &e);
        }
        QVERIFY(!r);
        QCOMPARE(e.code, int(kCgiErrorCancelled));
        QVERIFY(e.userInfo.isEmpty());
        QCOMPARE(c->pendingRequestCount(), 0);
    }

    void workerCallsParseOnTheWorker()
    {
        // A big reply must not be parsed on the GUI thread while a worker waits.
        auto c = signedIn();
        HookDelegate d;
        c->setDelegate(&d);
        Error e;
        QThread *worker = nullptr;
        const auto r = onWorker([&] {
            worker = QThread::currentThread();
            return c->send_Request(
                "/portal/apis/login.cgi", "revive", std::nullopt, kCgiRevive, &e);
        });
        QVERIFY(r);
        QCOMPARE(d.responseThread, worker);
        GuiThreadWaitAllowed allowed; // the GUI-thread path, as tests alone use it
        c->send_Request("/portal/apis/login.cgi", "revive", std::nullopt, kCgiRevive, &e);
        QCOMPARE(d.responseThread, QThread::currentThread());
        // A body that is not JSON still reads as no reply on either path.
        sim->server().applyControl("non_json", "2");
        QVERIFY(!onWorker([&] {
            return c->send_Request(
                "/portal/apis/login.cgi", "revive", std::nullopt, kCgiRevive, &e);
        }));
        QVERIFY(!c->send_Request("/portal/apis/login.cgi", "revive", std::nullopt, kCgiRevive, &e));
        c->setDelegate(nullptr);
    }

    void callerParsesItsOwnBody()
    {
        auto c = signedIn();
        Error e;
        QByteArray seen;
        const auto r = onWorker([&] {
            CgiCtrl::ScopedBodyParser parser([&seen](const QByteArray &body) {
                seen = body;
                return std::optional<QJsonObject>(
                    QJsonObject { { "success", 1 }, { "mine", true } });
            });
            return c->send_Request(
                "/portal/apis/login.cgi", "revive", std::nullopt, kCgiRevive, &e);
        });
        QVERIFY(r);
        QVERIFY(r->value("mine").toBool());
        QVERIFY(seen.startsWith("{"));
        // A body the caller cannot read is no reply; the parser ends with its scope.
        const auto bad = onWorker([&] {
            CgiCtrl::ScopedBodyParser parser(
                [](const QByteArray &) { return std::optional<QJsonObject>(); });
            return c->send_Request(
                "/portal/apis/login.cgi", "revive", std::nullopt, kCgiRevive, &e);
        });
        QVERIFY(!bad);
        QVERIFY(e.isError());
        const auto normal = onWorker([&] {
            return c->send_Request(
                "/portal/apis/login.cgi", "revive", std::nullopt, kCgiRevive, &e);
        });
        QVERIFY(normal && !normal->contains("mine"));
    }

    void cancelPicksFirstMatchingOperation()
    {
        auto c = signedIn();
        QVERIFY(sim->server().applyControl("delay_ms", "500"));
        Error eRevive, eOther;
        QFuture<void> other = QtConcurrent::run(networkPool(), [&] {
            c->send_Request(
                "/portal/apis/login.cgi", "revive", std::nullopt, kCgiTorrentList, &eOther);
        });
        QFuture<void> revive
            = QtConcurrent::run(networkPool(), [&] { c->check_Session_Timeout(&eRevive); });
        QTRY_COMPARE(c->pendingRequestCount(), 2);
        c->cancel_Cgi(kCgiRevive);
        QTRY_VERIFY(other.isFinished() && revive.isFinished());
        QCOMPARE(eRevive.code, int(kCgiErrorCancelled));
        QVERIFY(!eOther.isError());
    }

    void droppedKeepAliveRetriedOnce_data()
    {
        QTest::addColumn<int>("drops");
        QTest::addColumn<int>("expectedCode");
        QTest::addColumn<int>("attempts");
        QTest::newRow("one drop: second attempt answers") << 1 << 0 << 2;
        QTest::newRow("two drops: -9999") << 2 << int(kCgiErrorNoReply) << 2;
    }
    void droppedKeepAliveRetriedOnce()
    {
        QFETCH(int, drops);
        QFETCH(int, expectedCode);
        QFETCH(int, attempts);
        auto c = signedIn();
        QVERIFY(sim->server().applyControl("drop_act", "revive"));
        QVERIFY(sim->server().applyControl("drop", QString::number(drops)));
        Error e;
        const bool gotReply = onWorker([&] { return c->check_Session_Timeout(&e); });
        QCOMPARE(gotReply, expectedCode == 0);
        QCOMPARE(e.code, expectedCode);
        QCOMPARE(sim->server().requestsFor("revive").size(), attempts);
    }

    void httpsWithSelfSignedCertificate()
    {
        auto c = signedIn(true);
        QVERIFY(c->logon());
        QVERIFY(c->host().startsWith("https://"));
        Error e;
        QVERIFY(onWorker([&] { return c->check_Session_Timeout(&e); }));
        QVERIFY(!e.isError());
    }

    void uploadIsMultipartWithFileNames()
    {
        auto c = signedIn();
        QTemporaryDir dir;
        const QString a = dir.filePath("first.torrent"), b = dir.filePath("sec\"ond.torrent");
        for (const QString &p : { a, b }) {
            QFile f(p);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(1000, 'd'));
        }
        Error e;
        const auto r = onWorker([&] {
            return c->upload_Files("/apps/haulhouse/upload.cgi", "multi-torrent-upload",
                QVariantMap { { "save_to", "/Download" }, { "show_dialog_enabled", true } },
                { a, b }, &e);
        });
        QVERIFY2(!e.isError(), qPrintable(e.toString()));
        QVERIFY(r.has_value());
        const QJsonObject entry = sim->server().requestsFor("multi-torrent-upload").last();
        QCOMPARE(entry.value("cookie").toString(), QString()); // session only in the URL
        QCOMPARE(entry.value("query").toObject().value("sid").toString(), c->sid());
        QCOMPARE(entry.value("query").toObject().value("save_to").toString(),
            QStringLiteral("/Download"));
        const QJsonArray files = entry.value("files").toArray();
        QCOMPARE(files.size(), 2);
        QCOMPARE(files[0].toObject().value("field").toString(), QStringLiteral("files"));
        QCOMPARE(files[0].toObject().value("filename").toString(), QStringLiteral("first.torrent"));
        QCOMPARE(files[0].toObject().value("content_type").toString(),
            QStringLiteral("application/octet-stream"));
        QCOMPARE(files[0].toObject().value("size").toInt(), 1000);
        QVERIFY(!files[1].toObject().value("filename").toString().contains('"'));
    }

    // Torrents that did not go are reported even when another alert shows:
    // their report waits for it to close.
    void uploadFailuresWaitForAnOpenAlert()
    {
        auto c = signedIn();
        c->setShowErrorAlert(true);
        RecordingAlertPresenter alerts; // keeps alerts open
        QTemporaryDir dir;
        const QString file = dir.filePath("wanted.torrent");
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(100, 'd'));
        }
        const auto failUpload = [&] {
            QVERIFY(sim->server().applyControl("drop_act", "multi-torrent-upload"));
            QVERIFY(sim->server().applyControl("drop", "1"));
            Error e;
            QVERIFY(!onWorker([&] { return c->upload_Torrent({ file }, false, "/Download", &e); }));
        };
        failUpload();
        QTRY_COMPARE(alerts.shown.size(), 1);
        failUpload(); // while the first report is open
        QCoreApplication::processEvents();
        QCOMPARE(alerts.shown.size(), 1);
        alerts.close(0);
        QTRY_COMPARE(alerts.shown.size(), 2);
        // The same report as the first: the file that did not go, named.
        QCOMPARE(alerts.shown[1].request.message, alerts.shown[0].request.message);
        alerts.close(0);
    }

    void uploadOfUnreadableFileFailsCleanly()
    {
        auto c = signedIn();
        Error e;
        const auto r = onWorker([&] {
            return c->upload_Files("/apps/haulhouse/upload.cgi", "multi-torrent-upload",
                std::nullopt, { "/nonexistent/x.torrent" }, &e);
        });
        QVERIFY(!r);
        QCOMPARE(e.domain, QString::fromLatin1(kTransportErrorDomain));
        QCOMPARE(e.userInfo.value("path").toString(), QStringLiteral("/nonexistent/x.torrent"));
        QVERIFY(sim->server().requestsFor("multi-torrent-upload").isEmpty());
    }

    void logLines()
    {
        auto c = signedIn();
        Error e;
        QTest::ignoreMessage(QtInfoMsg, "[3] Cgi finished.");
        onWorker([&] { return c->check_Session_Timeout(&e); });
        QVERIFY(sim->server().applyControl("status_count", "1"));
        QTest::ignoreMessage(QtInfoMsg, "[3] Cgi failed. error = -1011");
        onWorker([&] { return c->check_Session_Timeout(&e); });
    }
};

QTEST_MAIN(TestCgiCtrl)
#include "tst_cgictrl.moc"
