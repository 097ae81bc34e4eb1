// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "NasServer.h"

#include <httplib.h>

#include <QDateTime>
#include <QJsonDocument>
#include <QScopeGuard>
#include <QUrl>

#include <chrono>

namespace nassim {

namespace {

QString decodeComponent(const std::string &s)
{
    QByteArray b = QByteArray::fromStdString(s);
    b.replace('+', ' ');
    return QUrl::fromPercentEncoding(b);
}

QMap<QString, QString> parsePairs(const std::string &text)
{
    QMap<QString, QString> out;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t amp = text.find('&', pos);
        if (amp == std::string::npos)
            amp = text.size();
        const std::string pair = text.substr(pos, amp - pos);
        if (!pair.empty()) {
            const size_t eq = pair.find('=');
            if (eq == std::string::npos)
                out.insert(decodeComponent(pair), QString());
            else
                out.insert(
                    decodeComponent(pair.substr(0, eq)), decodeComponent(pair.substr(eq + 1)));
        }
        pos = amp + 1;
    }
    return out;
}

QByteArray cookieValue(const QByteArray &cookieHeader, const QByteArray &name)
{
    for (const QByteArray &part : cookieHeader.split(';')) {
        const QByteArray p = part.trimmed();
        if (p.startsWith(name + '='))
            return p.mid(name.size() + 1);
    }
    return {};
}

QJsonObject mapToJson(const QMap<QString, QString> &m)
{
    QJsonObject o;
    for (auto it = m.cbegin(); it != m.cend(); ++it)
        o.insert(it.key(), it.value());
    return o;
}

// stop() only reaches a server whose accept loop is running.
void waitUntilRunning(httplib::Server &s)
{
    for (int i = 0; i < 5000 && !s.is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

bool isLoopback(const QString &host)
{
    return host == QLatin1String("127.0.0.1") || host == QLatin1String("::1")
        || host == QLatin1String("localhost") || host.startsWith(QLatin1String("127."));
}

} // namespace

SimReply SimReply::ok(QJsonObject members)
{
    SimReply r;
    members.insert(QStringLiteral("success"), 1);
    r.json = members;
    return r;
}

SimReply SimReply::fail(int errorCode)
{
    SimReply r;
    r.json = QJsonObject { { QStringLiteral("success"), 0 },
        { QStringLiteral("error_code"), errorCode } };
    return r;
}

NasServer::NasServer(NasState &state) : m_state(state)
{
    registerPortal();
    registerTasks();
    registerSettings();
    registerIntake();
    registerRss();
    registerSearch();
}

NasServer::~NasServer()
{
    stop();
}

QString NasServer::httpBase() const
{
    return QStringLiteral("http://%1:%2").arg(m_host).arg(m_httpPort);
}

QString NasServer::httpsBase() const
{
    return QStringLiteral("https://%1:%2").arg(m_host).arg(m_httpsPort);
}

bool NasServer::start(const QString &host, int httpPort, int httpsPort)
{
    if (!isLoopback(host)) {
        qWarning("nas-sim: refusing to listen on %s (loopback only)", qPrintable(host));
        return false;
    }
    m_host = host == QLatin1String("::1") ? QStringLiteral("[::1]") : host;
    const std::string h = host.toStdString();

    auto bind = [&h](httplib::Server &s, int port) -> int {
        if (port == 0)
            return s.bind_to_any_port(h);
        return s.bind_to_port(h, port) ? port : -1;
    };

    m_http = std::make_unique<httplib::Server>();
    install(*m_http);
    m_httpPort = bind(*m_http, httpPort);
    if (m_httpPort <= 0) {
        qWarning("nas-sim: cannot listen on %s:%d", h.c_str(), httpPort);
        return false;
    }
    m_httpThread = std::thread([s = m_http.get()] { s->listen_after_bind(); });
    waitUntilRunning(*m_http);

    if (httpsPort >= 0) {
        m_cert = std::make_unique<SelfSignedCertificate>();
        if (!m_cert->isValid()) {
            qWarning("nas-sim: cannot make a certificate");
            return false;
        }
        m_https = std::make_unique<httplib::SSLServer>(m_cert->certificate(), m_cert->key());
        install(*m_https);
        m_httpsPort = bind(*m_https, httpsPort);
        if (m_httpsPort <= 0) {
            qWarning("nas-sim: cannot listen on %s:%d", h.c_str(), httpsPort);
            return false;
        }
        m_httpsThread = std::thread([s = m_https.get()] { s->listen_after_bind(); });
        waitUntilRunning(*m_https);
    }
    return true;
}

bool NasServer::reissueCertificate(Reissue how)
{
    if (!m_https)
        return false;
    auto cert = std::make_unique<SelfSignedCertificate>(
        how == Reissue::ExpiredSameKey ? m_cert->key() : nullptr, how == Reissue::ExpiredSameKey);
    if (!cert->isValid())
        return false;
    m_https->stop();
    if (m_httpsThread.joinable())
        m_httpsThread.join();
    m_cert = std::move(cert);
    m_https = std::make_unique<httplib::SSLServer>(m_cert->certificate(), m_cert->key());
    install(*m_https);
    if (!m_https->bind_to_port(
            m_host == QLatin1String("[::1]") ? "::1" : m_host.toStdString(), m_httpsPort))
        return false;
    m_httpsThread = std::thread([s = m_https.get()] { s->listen_after_bind(); });
    waitUntilRunning(*m_https);
    return true;
}

void NasServer::stop()
{
    if (m_http)
        m_http->stop();
    if (m_https)
        m_https->stop();
    if (m_httpThread.joinable())
        m_httpThread.join();
    if (m_httpsThread.joinable())
        m_httpsThread.join();
    m_http.reset();
    m_https.reset();
}

void NasServer::install(httplib::Server &server)
{
    server.set_keep_alive_max_count(100000);
    server.set_tcp_nodelay(true);
    server.set_keep_alive_timeout(5);
    server.set_payload_max_length(64 * 1024 * 1024);
    // Before any body is read: count uploads, and refuse one over the limit
    // the way a web server in front of the NAS does (413, connection closed).
    server.set_pre_routing_handler([this](const httplib::Request &req, httplib::Response &res) {
        if (req.path.find("upload.cgi") == std::string::npos)
            return httplib::Server::HandlerResponse::Unhandled;
        ++m_uploadAttempts;
        const qint64 limit = faults().uploadLimit;
        const qint64 length
            = QByteArray::fromStdString(req.get_header_value("Content-Length")).toLongLong();
        if (limit > 0 && length > limit) {
            res.status = 413;
            res.set_header("Connection", "close");
            res.set_content(
                "<html><body><h1>413 Request Entity Too Large</h1></body></html>", "text/html");
            return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    auto cgi = [this](const httplib::Request &req, httplib::Response &res) { handle(req, res); };
    auto ctl = [this](const httplib::Request &req, httplib::Response &res) { control(req, res); };
    server.Get("/__sim/.*", ctl);
    server.Post("/__sim/.*", ctl);
    server.Get(".*", cgi);
    server.Post(".*", cgi);
}

void NasServer::on(const QString &path, const QString &act, bool needsSession, Handler handler)
{
    QMutexLocker lock(&m_mutex);
    m_routes.insert(path + QLatin1Char(' ') + act, Route { needsSession, std::move(handler) });
}

Faults NasServer::faults() const
{
    QMutexLocker lock(&m_mutex);
    return m_faults;
}

void NasServer::setFaults(const Faults &f)
{
    QMutexLocker lock(&m_mutex);
    m_faults = f;
}

bool NasServer::applyControl(const QString &name, const QString &value)
{
    bool ok = true;
    const int n = value.toInt(&ok);
    auto needInt = [&](auto apply) {
        if (!ok)
            return false;
        QMutexLocker lock(&m_mutex);
        apply(m_faults);
        return true;
    };
    if (name == QLatin1String("delay_ms"))
        return needInt([n](Faults &f) { f.delayMs = n; });
    if (name == QLatin1String("drop"))
        return needInt([n](Faults &f) { f.dropNext = n; });
    if (name == QLatin1String("drop_act")) {
        QMutexLocker lock(&m_mutex);
        m_faults.dropAct = value;
        return true;
    }
    if (name == QLatin1String("non_json"))
        return needInt([n](Faults &f) { f.nonJsonNext = n; });
    if (name == QLatin1String("status"))
        return needInt([n](Faults &f) { f.status = n; });
    if (name == QLatin1String("status_count"))
        return needInt([n](Faults &f) { f.statusNext = n; });
    if (name == QLatin1String("trickle_ms"))
        return needInt([n](Faults &f) { f.trickleMs = n; });
    if (name == QLatin1String("trickle_act")) {
        QMutexLocker lock(&m_mutex);
        m_faults.trickleAct = value;
        return true;
    }
    if (name == QLatin1String("certificate")) {
        if (value != QLatin1String("new_key") && value != QLatin1String("expired"))
            return false;
        // After this reply: the request may have come over HTTPS itself.
        const Reissue how
            = value == QLatin1String("new_key") ? Reissue::NewKey : Reissue::ExpiredSameKey;
        std::thread([this, how] {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            reissueCertificate(how);
        }).detach();
        return true;
    }
    if (name == QLatin1String("upload_limit"))
        return needInt([n](Faults &f) { f.uploadLimit = n; });
    if (name == QLatin1String("expire_sessions")) {
        m_state.expireAllSessions();
        return true;
    }
    if (name == QLatin1String("app")) {
        NasState::AppInfo app = m_state.app();
        app.installed = value != QLatin1String("missing");
        app.enabled = value != QLatin1String("disabled");
        app.accessible = value != QLatin1String("inaccessible");
        if (value != QLatin1String("ok") && value != QLatin1String("missing")
            && value != QLatin1String("disabled") && value != QLatin1String("inaccessible"))
            return false;
        m_state.setApp(app);
        return true;
    }
    if (name == QLatin1String("app_version")) {
        NasState::AppInfo app = m_state.app();
        app.version = value;
        m_state.setApp(app);
        return true;
    }
    if (name == QLatin1String("tasks")) {
        if (!ok || n < 0)
            return false;
        m_state.tasks().makeSynthetic(n);
        return true;
    }
    if (name == QLatin1String("search_polls")) {
        // Polls a new search takes to finish.
        if (!ok || n < 0)
            return false;
        m_state.search().setPollsToFinish(n);
        return true;
    }
    if (name == QLatin1String("search_results")) {
        // Results every new search finds (scale tests).
        if (!ok || n < 0)
            return false;
        m_state.search().setResultCount(n);
        return true;
    }
    if (name == QLatin1String("rss_items")) {
        // The first feed gets N synthetic items.
        if (!ok || n < 0)
            return false;
        m_state.rss().makeItems(1, n, QDateTime::currentSecsSinceEpoch());
        return true;
    }
    if (name == QLatin1String("prefs")) {
        if (value == QLatin1String("missing"))
            m_state.clearPreferences(QStringLiteral("admin"));
        else if (value == QLatin1String("set"))
            m_state.setPreferences(
                QStringLiteral("admin"), NasState::defaultPreferences(QStringLiteral("/Download")));
        else
            return false;
        return true;
    }
    if (name == QLatin1String("kos_version")) {
        NasState::Identity id = m_state.identity();
        id.kosVersion = value;
        m_state.setIdentity(id);
        return true;
    }
    return false;
}

void NasServer::control(const httplib::Request &req, httplib::Response &res)
{
    const std::string::size_type q = req.target.find('?');
    QMap<QString, QString> params
        = parsePairs(q == std::string::npos ? std::string() : req.target.substr(q + 1));
    if (req.get_header_value("Content-Type").find("application/x-www-form-urlencoded") == 0)
        params.insert(parsePairs(req.body));

    if (servePage(req.path, res))
        return;
    if (req.path == "/__sim/log") {
        QJsonArray arr;
        for (const QJsonObject &o : requestLog())
            arr.append(o);
        res.set_content(
            QJsonDocument(arr).toJson(QJsonDocument::Compact).toStdString(), "application/json");
        return;
    }
    if (req.path == "/__sim/clear-log") {
        clearLog();
        res.set_content("{\"success\":1}", "application/json");
        return;
    }
    if (req.path == "/__sim/control") {
        QJsonArray rejected;
        for (auto it = params.cbegin(); it != params.cend(); ++it) {
            if (!applyControl(it.key(), it.value()))
                rejected.append(it.key());
        }
        const Faults f = faults();
        QJsonObject out { { QStringLiteral("success"), rejected.isEmpty() ? 1 : 0 },
            { QStringLiteral("rejected"), rejected }, { QStringLiteral("delay_ms"), f.delayMs },
            { QStringLiteral("drop"), f.dropNext }, { QStringLiteral("non_json"), f.nonJsonNext },
            { QStringLiteral("status_count"), f.statusNext } };
        res.status = rejected.isEmpty() ? 200 : 400;
        res.set_content(
            QJsonDocument(out).toJson(QJsonDocument::Compact).toStdString(), "application/json");
        return;
    }
    res.status = 404;
}

void NasServer::handle(const httplib::Request &req, httplib::Response &res)
{
    Call call;
    call.method = QString::fromStdString(req.method);
    call.path = QString::fromStdString(req.path);
    const std::string::size_type q = req.target.find('?');
    const std::string rawQuery = q == std::string::npos ? std::string() : req.target.substr(q + 1);
    call.rawQuery = QString::fromStdString(rawQuery);
    call.query = parsePairs(rawQuery);
    if (req.is_multipart_form_data()) {
        for (const auto &[field, part] : req.files) {
            call.files.append(Call::File { QString::fromStdString(part.name),
                QString::fromStdString(part.filename), QString::fromStdString(part.content_type),
                QByteArray::fromStdString(part.content) });
        }
    } else if (req.method == "POST") {
        call.form = parsePairs(req.body);
    }
    call.act = call.query.value(QStringLiteral("act"));
    call.cookie = QByteArray::fromStdString(req.get_header_value("Cookie"));
    call.remotePort = req.remote_port;
    call.sid = call.query.value(QStringLiteral("sid"));
    if (call.sid.isEmpty())
        call.sid = QString::fromLatin1(cookieValue(call.cookie, "KSESSIONID"));
    log(call);
    {
        QMutexLocker lock(&m_mutex);
        const int now = ++m_inFlight[call.act];
        m_maxInFlight[call.act] = std::max(m_maxInFlight.value(call.act), now);
    }
    // Counted out however the request ends.
    const auto finished = qScopeGuard([this, act = call.act] {
        QMutexLocker lock(&m_mutex);
        --m_inFlight[act];
    });

    Faults f;
    bool drop = false, nonJson = false, badStatus = false;
    {
        QMutexLocker lock(&m_mutex);
        f = m_faults;
        if (m_faults.dropNext > 0 && (m_faults.dropAct.isEmpty() || m_faults.dropAct == call.act)) {
            --m_faults.dropNext;
            drop = true;
        } else if (m_faults.nonJsonNext > 0) {
            --m_faults.nonJsonNext;
            nonJson = true;
        } else if (m_faults.statusNext > 0) {
            --m_faults.statusNext;
            badStatus = true;
        }
    }
    if (f.delayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(f.delayMs));
    if (drop) {
        // Headers of a kept-alive connection, a few bytes, then the line goes dead.
        res.set_header("Connection", "Keep-Alive");
        res.set_content_provider(
            256, "application/json", [](size_t, size_t, httplib::DataSink &sink) {
                sink.write("{\"succ", 6);
                return false;
            });
        return;
    }
    if (nonJson) {
        // A page from something in front of the NAS, with a cookie of its own.
        res.set_header("Set-Cookie", "KSESSIONID=portal-page; path=/; HttpOnly");
        res.set_content("<html><body><h1>Service Unavailable</h1></body></html>", "text/html");
        return;
    }
    if (badStatus) {
        res.status = f.status;
        res.set_content("<html><body>error</body></html>", "text/html");
        return;
    }

    Route route;
    {
        QMutexLocker lock(&m_mutex);
        const auto it = m_routes.constFind(call.path + QLatin1Char(' ') + call.act);
        if (it == m_routes.constEnd()) {
            lock.unlock();
            // The portal checks the session before it looks at the act.
            if (call.path != QLatin1String("/portal/apis/login.cgi")
                && !m_state.sessionAccount(call.sid)) {
                res.set_content("{\"success\":0,\"error_code\":5000}", "application/json");
                return;
            }
            res.status = 404;
            res.set_content("{\"success\":0,\"error_code\":4004}", "application/json");
            return;
        }
        route = *it;
    }
    SimReply reply;
    if (route.needsSession) {
        const auto account = m_state.sessionAccount(call.sid);
        if (!account) {
            reply = SimReply::fail(5000);
        } else {
            call.account = *account;
            reply = route.handler(call);
        }
    } else {
        reply = route.handler(call);
    }
    res.status = reply.status;
    for (const auto &[k, v] : reply.headers)
        res.set_header(k.toStdString(), v.toStdString());
    std::string content = !reply.body.isEmpty()
        ? reply.body.toStdString()
        : QJsonDocument(reply.json).toJson(QJsonDocument::Compact).toStdString();
    if (f.trickleMs > 0 && (f.trickleAct.isEmpty() || f.trickleAct == call.act)) {
        // The whole reply, one byte at a time: never silent, never done.
        auto body = std::make_shared<std::string>(std::move(content));
        const int every = f.trickleMs;
        res.set_content_provider(body->size(), reply.contentType.toStdString(),
            [body, every](size_t offset, size_t, httplib::DataSink &sink) {
                std::this_thread::sleep_for(std::chrono::milliseconds(every));
                return sink.write(body->data() + offset, 1);
            });
        return;
    }
    res.set_content(content, reply.contentType.toStdString());
}

void NasServer::log(const Call &call)
{
    QJsonArray files;
    for (const auto &f : call.files)
        files.append(QJsonObject { { QStringLiteral("field"), f.field },
            { QStringLiteral("filename"), f.filename },
            { QStringLiteral("content_type"), f.contentType },
            { QStringLiteral("size"), f.content.size() } });
    QJsonObject entry { { QStringLiteral("time"),
                            QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs) },
        { QStringLiteral("method"), call.method }, { QStringLiteral("path"), call.path },
        { QStringLiteral("act"), call.act }, { QStringLiteral("raw_query"), call.rawQuery },
        { QStringLiteral("query"), mapToJson(call.query) },
        { QStringLiteral("form"), mapToJson(call.form) }, { QStringLiteral("files"), files },
        { QStringLiteral("cookie"), QString::fromLatin1(call.cookie) },
        { QStringLiteral("remote_port"), call.remotePort } };
    QMutexLocker lock(&m_mutex);
    m_log.append(entry);
    if (m_logFile) {
        m_logFile->write(QJsonDocument(entry).toJson(QJsonDocument::Compact) + '\n');
        m_logFile->flush();
    }
}

QList<QJsonObject> NasServer::requestLog() const
{
    QMutexLocker lock(&m_mutex);
    return m_log;
}

QList<QJsonObject> NasServer::requestsFor(const QString &act) const
{
    QList<QJsonObject> out;
    for (const QJsonObject &o : requestLog()) {
        if (o.value(QLatin1String("act")).toString() == act)
            out.append(o);
    }
    return out;
}

void NasServer::clearLog()
{
    QMutexLocker lock(&m_mutex);
    m_log.clear();
    m_maxInFlight.clear();
}

int NasServer::maxInFlight(const QString &act) const
{
    QMutexLocker lock(&m_mutex);
    return m_maxInFlight.value(act);
}

bool NasServer::setLogFile(const QString &path)
{
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return false;
    QMutexLocker lock(&m_mutex);
    m_logFile = std::move(file);
    return true;
}

// ---- portal: sign-in, session and the application depot -------------------

void NasServer::registerPortal()
{
    const QString login = QStringLiteral("/portal/apis/login.cgi");
    on(login, QStringLiteral("login"), false, [this](Call &c) {
        const auto result = m_state.login(
            c.form.value(QStringLiteral("account")), c.form.value(QStringLiteral("password")));
        if (result.errorCode)
            return SimReply::fail(result.errorCode);
        const NasState::Identity id = m_state.identity();
        SimReply r = SimReply::ok({ { QStringLiteral("sid"), result.sid },
            { QStringLiteral("hostid"), id.hostId }, { QStringLiteral("hostname"), id.hostName },
            { QStringLiteral("model"), id.model }, { QStringLiteral("version"), id.kosVersion },
            { QStringLiteral("isAdminGroup"), result.admin } });
        r.contentType = "text/html; charset=UTF-8";
        r.headers.append(
            { "Set-Cookie", "KSESSIONID=" + result.sid.toLatin1() + "; path=/; HttpOnly" });
        return r;
    });
    on(login, QStringLiteral("logout"), false,
        [this](Call &c) { return m_state.logout(c.sid) ? SimReply::ok() : SimReply::fail(5000); });
    on(login, QStringLiteral("revive"), true, [](Call &) { return SimReply::ok(); });

    on(QStringLiteral("/portal/apis/appDepot/appdepot.cgi"), QStringLiteral("check-status"), true,
        [this](Call &c) {
            const NasState::AppInfo app = m_state.app();
            QJsonArray items;
            if (app.installed && c.form.value(QStringLiteral("name")) == QLatin1String("haulhouse"))
                items.append(QJsonObject { { QStringLiteral("name"), QStringLiteral("haulhouse") },
                    { QStringLiteral("display_name"), QStringLiteral("Haulhouse") },
                    { QStringLiteral("enabled"), app.enabled },
                    { QStringLiteral("version"), app.version } });
            return SimReply::ok({ { QStringLiteral("items"), items } });
        });
    on(QStringLiteral("/portal/apis/appDepot/privilege.cgi"), QStringLiteral("chk-app-accessible"),
        true, [this](Call &c) {
            const NasState::AppInfo app = m_state.app();
            const bool ok = app.installed && app.accessible
                && c.form.value(QStringLiteral("app")) == QLatin1String("haulhouse");
            return ok ? SimReply::ok() : SimReply::fail(5010);
        });

    // The preference reply carries no "success" member, as the unit's does.
    on(QStringLiteral("/apps/haulhouse/btdlm.cgi"), QStringLiteral("get-user-pref"), true,
        [this](Call &c) {
            const auto prefs = m_state.preferences(c.account);
            if (!prefs)
                return SimReply::fail(5005);
            SimReply r;
            r.json = *prefs;
            return r;
        });
}

} // namespace nassim
