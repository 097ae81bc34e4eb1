// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "CgiCtrl.h"

#include "AlertPresenter.h"
#include "CgiOperations.h"
#include "JsonUtil.h"
#include "Localization.h"
#include "NotificationCenter.h"
#include "Notifications.h"
#include "TransportErrors.h"
#include "UploadBody.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QHttpMultiPart>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QNetworkReply>
#include <QSemaphore>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QThread>
#include <QTimer>
#include <QUrl>

namespace flk {

struct CgiCtrl::Request {
    QString url;
    QString method;
    QVariantMap params;
    int function = 0;

    QSemaphore semaphore;
    std::atomic<bool> done { false };
    Reply reply;
    Error error;
    // Set when a worker waits: the body is parsed there, not on the GUI thread.
    bool parseOnWaiter = false;
    std::optional<QByteArray> rawBody;
    CgiCtrl::BodyParser bodyParser; // the caller's, else Qt's parser

    // The Set-Cookie of the reply, adopted once the body proved usable.
    QByteArray receivedCookie;

    // GUI thread only:
    QPointer<QNetworkReply> netReply;
    int attempt = 0;
    bool cancelRequested = false;
    bool deadlineHit = false;
    bool keyMismatch = false;
    QEventLoop *loop = nullptr;
};

namespace {

thread_local CgiCtrl::BodyParser t_bodyParser;
std::atomic<bool> s_guiWaitAllowed { false };

void assertGuiWaitAllowed()
{
    Q_ASSERT_X(s_guiWaitAllowed, "CgiCtrl",
        "the GUI thread waited for a NAS reply; run the work through runWork or a "
        "CommandOverlay");
}

QThread *guiThread()
{
    return QCoreApplication::instance() ? QCoreApplication::instance()->thread() : nullptr;
}

bool onGuiThread()
{
    return QThread::currentThread() == guiThread();
}

QByteArray encode(const QString &s)
{
    return QUrl::toPercentEncoding(s);
}

} // namespace

// ---- construction ---------------------------------------------------------

CgiCtrl::CgiCtrl(QObject *parent)
    : QObject(parent),
      m_config(std::make_shared<Config>()),
      m_reviveQueue(SerialWorkQueue::create())
{
    // The controller, its transport and its timers belong to the GUI thread
    // whichever thread creates it.
    if (!parent && guiThread() && thread() != guiThread())
        moveToThread(guiThread());
    setup_Manager();
}

CgiCtrl::~CgiCtrl()
{
    // Release every waiting caller before the object goes away; keep doing so
    // until the keep-alive worker, which may be starting a request right now,
    // has finished.
    {
        QMutexLocker lock(&m_queueMutex);
        m_destroying = true;
    }
    for (;;) {
        QList<std::shared_ptr<Request>> pending;
        {
            QMutexLocker lock(&m_queueMutex);
            pending = m_requests;
            m_requests.clear();
        }
        for (const auto &req : pending) {
            req->cancelRequested = true;
            if (req->netReply) {
                req->netReply->disconnect(this);
                req->netReply->abort();
            }
            req->error = Error(kCgiErrorDomain, kCgiErrorCancelled);
            req->reply.reset();
            _complete(req);
        }
        if (m_reviveQueue->idle())
            break;
        QThread::msleep(5);
    }
    delete m_reviveTimer.data();
}

void CgiCtrl::setGuiThreadWaitAllowed(bool allowed)
{
    s_guiWaitAllowed = allowed;
}

bool CgiCtrl::guiThreadWaitAllowed()
{
    return s_guiWaitAllowed;
}

CgiCtrl *CgiCtrl::sharedCgiCtrl()
{
    static CgiCtrl *shared = new CgiCtrl();
    return shared;
}

void CgiCtrl::setup_Manager()
{
    if (!onGuiThread())
        return; // made on the GUI thread when the first request starts
    delete m_manager;
    m_manager = new QNetworkAccessManager(this);
    m_manager->setCookieJar(nullptr);
}

QNetworkAccessManager *CgiCtrl::manager()
{
    if (!m_manager)
        setup_Manager();
    return m_manager;
}

// ---- properties -----------------------------------------------------------

#define FLK_STRING_PROPERTY(getter, setter, member)                                                \
    QString CgiCtrl::getter() const                                                                \
    {                                                                                              \
        QMutexLocker lock(&m_mutex);                                                               \
        return member;                                                                             \
    }                                                                                              \
    void CgiCtrl::setter(const QString &v)                                                         \
    {                                                                                              \
        QMutexLocker lock(&m_mutex);                                                               \
        member = v;                                                                                \
    }

FLK_STRING_PROPERTY(host, setHost, m_host)
FLK_STRING_PROPERTY(sid, setSid, m_sid)
FLK_STRING_PROPERTY(hostID, setHostID, m_hostID)
FLK_STRING_PROPERTY(account, setAccount, m_account)
FLK_STRING_PROPERTY(kosVersion, setKosVersion, m_kosVersion)
#undef FLK_STRING_PROPERTY

CgiCtrl::BlockAlert CgiCtrl::blockAlert() const
{
    QMutexLocker lock(&m_mutex);
    return m_blockAlert;
}

void CgiCtrl::setBlockAlert(BlockAlert b)
{
    QMutexLocker lock(&m_mutex);
    m_blockAlert = std::move(b);
}

std::shared_ptr<CgiCtrl::Config> CgiCtrl::config() const
{
    QMutexLocker lock(&m_mutex);
    return m_config;
}

QByteArray CgiCtrl::cookieHeader() const
{
    const auto c = config();
    QMutexLocker lock(&c->mutex);
    return c->cookie;
}

void CgiCtrl::setCookie(const QByteArray &cookie)
{
    const auto c = config();
    QMutexLocker lock(&c->mutex);
    c->cookie = cookie;
}

QByteArray CgiCtrl::cookiePairs(const QByteArray &setCookie)
{
    QByteArray out;
    for (const QNetworkCookie &cookie : QNetworkCookie::parseCookies(setCookie)) {
        if (cookie.name().isEmpty())
            continue;
        if (!out.isEmpty())
            out += "; ";
        out += cookie.name() + '=' + cookie.value();
    }
    return out;
}

// ---- trust on first use ---------------------------------------------------

void CgiCtrl::setPinnedKey(const QByteArray &sha256)
{
    const auto c = config();
    QMutexLocker lock(&c->mutex);
    c->pinnedKey = sha256;
}

QByteArray CgiCtrl::pinnedKey() const
{
    const auto c = config();
    QMutexLocker lock(&c->mutex);
    return c->pinnedKey;
}

QByteArray CgiCtrl::observedKey() const
{
    const auto c = config();
    QMutexLocker lock(&c->mutex);
    return c->observedKey;
}

QByteArray CgiCtrl::publicKeyHash(const QSslCertificate &certificate)
{
    if (certificate.isNull())
        return {};
    return QCryptographicHash::hash(certificate.publicKey().toDer(), QCryptographicHash::Sha256);
}

QString CgiCtrl::fingerprintText(const QByteArray &sha256)
{
    return QString::fromLatin1(sha256.toHex(':').toUpper());
}

void CgiCtrl::watchPeerKey(QNetworkReply *reply, std::function<void()> mismatch)
{
    const auto c = config();
    // Direct: the handshake is done and nothing of the request is sent yet.
    connect(
        reply, &QNetworkReply::encrypted, reply,
        [c, reply, mismatch] {
            const QByteArray seen = publicKeyHash(reply->sslConfiguration().peerCertificate());
            QByteArray pinned;
            {
                QMutexLocker lock(&c->mutex);
                c->observedKey = seen;
                pinned = c->pinnedKey;
            }
            if (!pinned.isEmpty() && seen != pinned) {
                mismatch();
                reply->abort();
            }
        },
        Qt::DirectConnection);
}

// ---- URL and body ---------------------------------------------------------

QString CgiCtrl::parameterText(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = v.toDouble();
        if (d == static_cast<double>(static_cast<qint64>(d)))
            return QString::number(static_cast<qint64>(d));
        return QString::number(d, 'g', 17);
    }
    default:
        return v.toString();
    }
}

QByteArray CgiCtrl::formBody(const QVariantMap &params)
{
    QByteArray body;
    for (auto it = params.cbegin(); it != params.cend(); ++it) { // sorted by key
        if (!body.isEmpty())
            body += '&';
        body += encode(it.key()) + '=' + encode(parameterText(it.value()));
    }
    return body;
}

QString CgiCtrl::generate_Cgi_URL(const QString &host, const QString &path, const QString &action,
    const std::optional<QVariantMap> &params) const
{
    QString url;
    if (isWebServer()) {
        url = host + path + QLatin1Char('/') + QString::fromLatin1(encode(action));
        if (params)
            url += QLatin1Char('?');
    } else {
        url = host + path + QStringLiteral("?act=") + QString::fromLatin1(encode(action));
        const QString s = sid();
        if (!s.isEmpty())
            url += QStringLiteral("&sid=") + QString::fromLatin1(encode(s));
        if (params)
            url += QLatin1Char('&');
    }
    if (params) {
        for (auto it = params->cbegin(); it != params->cend(); ++it) {
            url += QString::fromLatin1(encode(it.key())) + QLatin1Char('=')
                + QString::fromLatin1(encode(parameterText(it.value()))) + QLatin1Char('&');
        }
    }
    return url;
}

// ---- sending --------------------------------------------------------------

CgiCtrl::ScopedBodyParser::ScopedBodyParser(BodyParser parser)
    : m_previous(std::exchange(t_bodyParser, std::move(parser)))
{ }

CgiCtrl::ScopedBodyParser::~ScopedBodyParser()
{
    t_bodyParser = std::move(m_previous);
}

CgiCtrl::Reply CgiCtrl::send_Request(const QString &path, const QString &action,
    const std::optional<QVariantMap> &post, int function, Error *error)
{
    return _prepare_Request(host(), path, action, QStringLiteral("POST"), post, function, error);
}

CgiCtrl::Reply CgiCtrl::send_Request_Get(const QString &path, const QString &action,
    const std::optional<QVariantMap> &get, int function, Error *error)
{
    return _prepare_Request(host(), path, action, QStringLiteral("GET"), get, function, error);
}

CgiCtrl::Reply CgiCtrl::send_Request_URL(const QString &url, const QString &method,
    const QVariantMap &params, int function, Error *error)
{
    return _send_Request(url, method, params, function, error);
}

CgiCtrl::Reply CgiCtrl::_prepare_Request(const QString &host, const QString &path,
    const QString &action, const QString &method, std::optional<QVariantMap> params, int function,
    Error *error)
{
    const bool isPost = method == QLatin1String("POST");
    CgiCtrlDelegate *d = delegate();
    if (isPost && d) {
        if (auto replaced
            = d->cgiCtrl_post(this, params.value_or(QVariantMap()), path, action, function))
            params = std::move(replaced);
    }
    QString url;
    if (d) {
        if (auto custom = d->cgiCtrl_cgiURL(this, host, path, action, sid(), function))
            url = *custom;
        else
            url = generate_Cgi_URL(host, path, action, isPost ? std::nullopt : params);
    } else {
        url = generate_Cgi_URL(host, path, action, isPost ? std::nullopt : params);
    }
    if (url.isEmpty())
        return std::nullopt;
    return _send_Request(
        url, method, isPost ? params.value_or(QVariantMap()) : QVariantMap(), function, error);
}

void CgiCtrl::_run_On_Gui(std::function<void()> fn)
{
    if (onGuiThread())
        fn();
    else
        QMetaObject::invokeMethod(this, std::move(fn), Qt::QueuedConnection);
}

CgiCtrl::Reply CgiCtrl::_send_Request(const QString &url, const QString &method,
    const QVariantMap &params, int function, Error *error)
{
    auto req = std::make_shared<Request>();
    req->url = url;
    req->method = method;
    req->params = params;
    req->function = function;
    {
        QMutexLocker lock(&m_queueMutex);
        if (m_destroying)
            req->cancelRequested = true;
        m_requests.append(req);
    }
    req->parseOnWaiter = !onGuiThread();
    req->bodyParser = t_bodyParser;
    if (req->cancelRequested) {
        req->error = Error(kCgiErrorDomain, kCgiErrorCancelled);
        _complete(req);
    } else if (onGuiThread())
        _start_Attempt(req);
    else
        QMetaObject::invokeMethod(
            this, [this, req] { _start_Attempt(req); }, Qt::QueuedConnection);
    _wait(req);
    if (req->rawBody)
        _parse_Body(req);

    Error result = req->error;
    if (!result.isError())
        result = _get_Error_Code(function, req->reply);
    if (result.isError() && showErrorAlert() && function != kCgiLogout)
        _handle_Error_Code(result);
    // The server's key changed under a session: nothing more goes to it; the
    // host signs in again, which asks the user about the new key (once).
    if (result.is(kTransportErrorDomain, kTransportKeyChanged) && showErrorAlert() && logon()
        && !m_keyChangeReported.exchange(true)) {
        stop_Revive();
        const QString id = hostID();
        QMetaObject::invokeMethod(
            this,
            [this, id] {
                NotificationCenter::defaultCenter()->post(
                    QString::fromLatin1(kNOTIFY_RE_LOGIN_FAVORITE), this,
                    { { QStringLiteral("hostID"), id } });
            },
            Qt::QueuedConnection);
    }
    setError(error, result);
    return req->reply;
}

void CgiCtrl::_wait(const std::shared_ptr<Request> &req)
{
    if (!onGuiThread()) {
        req->semaphore.acquire();
        return;
    }
    // On the GUI thread the replies arrive through this very event loop: keep
    // it turning (timers and other GUI work go on) until ours is in.
    assertGuiWaitAllowed();
    if (req->done)
        return;
    QEventLoop loop;
    req->loop = &loop;
    while (!req->done)
        loop.exec();
    req->loop = nullptr;
}

void CgiCtrl::_start_Attempt(const std::shared_ptr<Request> &req)
{
    if (req->cancelRequested) {
        qInfo("[%ld] Cgi failed. error = %ld", long(req->function), long(kTransportCancelled));
        req->error = Error(kCgiErrorDomain, kCgiErrorCancelled);
        _complete(req);
        return;
    }
    QNetworkRequest nr(QUrl::fromEncoded(req->url.toUtf8(), QUrl::TolerantMode));
    configureRequest(nr, m_transferTimeoutMs);
    const QByteArray cookie = cookieHeader();
    if (!cookie.isEmpty())
        nr.setRawHeader("Cookie", cookie);

    QNetworkReply *reply = nullptr;
    if (req->method == QLatin1String("POST")) {
        nr.setHeader(QNetworkRequest::ContentTypeHeader,
            QByteArrayLiteral("application/x-www-form-urlencoded"));
        reply = manager()->post(nr, formBody(req->params));
    } else {
        reply = manager()->get(nr);
    }
    req->netReply = reply;
    reply->setProperty("cgi", req->function);
    ignoreCertificateErrors(reply);
    watchPeerKey(reply, [req] { req->keyMismatch = true; });
    connect(
        reply, &QNetworkReply::finished, this, [this, req, reply] { _on_Finished(req, reply); });
    // However slowly the reply still comes in, it ends at its deadline. The
    // timer goes with the reply, and holds the request only weakly: a
    // decoded reply is released as soon as its caller lets go of it.
    std::weak_ptr<Request> weak = req;
    armDeadline(reply, int(m_requestDeadlineMs), [weak, reply] {
        const std::shared_ptr<Request> r = weak.lock();
        if (!r || r->done || r->netReply != reply)
            return;
        r->deadlineHit = true;
        reply->abort();
    });
}

void CgiCtrl::armDeadline(QNetworkReply *reply, int ms, std::function<void()> expired)
{
    auto *timer = new QTimer(reply);
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, reply, std::move(expired));
    timer->start(ms);
}

void CgiCtrl::_on_Finished(const std::shared_ptr<Request> &req, QNetworkReply *reply)
{
    reply->deleteLater();
    if (req->netReply != reply || req->done)
        return;
    req->netReply = nullptr;

    QByteArray raw;
    int transportCode = checkReply(reply, req->cancelRequested, &raw);
    if (req->keyMismatch) {
        // Nothing was sent to a server whose key is not the pinned one.
        qInfo("[%ld] Cgi failed. error = %ld", long(req->function), long(kTransportKeyChanged));
        req->error = Error(kTransportErrorDomain, kTransportKeyChanged,
            { { QStringLiteral("pinned"), QString::fromLatin1(pinnedKey().toHex()) },
                { QStringLiteral("observed"), QString::fromLatin1(observedKey().toHex()) } });
        _complete(req);
        return;
    }
    if (req->deadlineHit && transportCode != 0)
        transportCode = kTransportTimedOut;
    if (transportCode == 0) {
        // Adopted only once the body proves to be a reply (see _parse_Body).
        req->receivedCookie = reply->rawHeader("Set-Cookie");
        req->rawBody = std::move(raw);
        // A waiting worker parses the body itself; a GUI-thread caller
        // gets it parsed here.
        if (!req->parseOnWaiter)
            _parse_Body(req);
        _complete(req);
        return;
    }

    qInfo("[%ld] Cgi failed. error = %ld", long(req->function), long(transportCode));
    if (transportCode == kTransportCancelled) {
        req->error = Error(kCgiErrorDomain, kCgiErrorCancelled);
    } else if (req->attempt == 0 && !req->deadlineHit
        && (transportCode == kTransportTimedOut || transportCode == kTransportConnectionLost)
        && reply->rawHeader("Connection").toLower().contains("keep-alive")) {
        // The keep-alive connection went away under us: one more attempt.
        req->attempt = 1;
        _start_Attempt(req);
        return;
    }
    _complete(req);
}

void CgiCtrl::_parse_Body(const std::shared_ptr<Request> &req)
{
    QJsonObject body;
    int code = 0;
    if (req->bodyParser) {
        std::optional<QJsonObject> parsed = req->bodyParser(*req->rawBody);
        code = parsed ? 0 : kCannotDecodeContent;
        if (parsed)
            body = std::move(*parsed);
    } else {
        code = parseBody(*req->rawBody, &body);
    }
    req->rawBody.reset();
    if (code != 0) {
        qInfo("[%ld] Cgi failed. error = %ld", long(req->function), long(code));
        req->reply.reset();
        return;
    }
    qInfo("[%ld] Cgi finished.", long(req->function));
    // A usable reply: its cookie (the name=value pairs) is the session's now.
    if (!req->receivedCookie.isEmpty()) {
        const QByteArray pairs = cookiePairs(req->receivedCookie);
        if (!pairs.isEmpty())
            setCookie(pairs);
        req->receivedCookie.clear();
    }
    req->reply = body;
    if (CgiCtrlDelegate *d = delegate()) {
        if (auto replaced = d->cgiCtrl_response(this, body, req->function))
            req->reply = std::move(replaced);
    }
}

void CgiCtrl::_complete(const std::shared_ptr<Request> &req)
{
    {
        QMutexLocker lock(&m_queueMutex);
        m_requests.removeOne(req);
    }
    req->done = true;
    if (req->loop)
        req->loop->quit();
    req->semaphore.release();
}

void CgiCtrl::_cancel_Request(const std::shared_ptr<Request> &req)
{
    if (req->done)
        return;
    req->cancelRequested = true;
    if (req->netReply)
        req->netReply->abort(); // finishes through _on_Finished as cancelled
    // Not started yet: _start_Attempt sees the flag and finishes it.
}

void CgiCtrl::cancel_Cgi(int function)
{
    std::shared_ptr<Request> target;
    {
        QMutexLocker lock(&m_queueMutex);
        for (const auto &r : std::as_const(m_requests)) {
            if (r->function == function && !r->done) {
                target = r;
                break;
            }
        }
    }
    if (target)
        _run_On_Gui([this, target] { _cancel_Request(target); });
}

void CgiCtrl::_cancel_All_Requests()
{
    QList<std::shared_ptr<Request>> all;
    {
        QMutexLocker lock(&m_queueMutex);
        all = m_requests;
    }
    for (const auto &r : all)
        _run_On_Gui([this, r] { _cancel_Request(r); });
}

int CgiCtrl::pendingRequestCount() const
{
    QMutexLocker lock(&m_queueMutex);
    return int(m_requests.size());
}

// ---- uploads --------------------------------------------------------------

CgiCtrl::Reply CgiCtrl::upload_Files(const QString &path, const QString &action,
    const std::optional<QVariantMap> &query, const QStringList &files, Error *error)
{
    // The files are read here, on the caller's thread (a worker in the
    // application), and only regular files of a torrent's size: a FIFO or a
    // device never reaches the GUI thread.
    QList<UploadFile> contents;
    QStringList names;
    for (const QString &p : files) {
        QString why;
        std::optional<UploadFile> f = readUploadFile(p, kMaxUploadFileBytes, &why);
        if (!f) {
            setError(error,
                Error(kTransportErrorDomain, kTransportFileNotReadable,
                    { { QStringLiteral("path"), p }, { QStringLiteral("description"), why } }));
            return std::nullopt;
        }
        names << QFileInfo(p).fileName();
        contents.append(std::move(*f));
    }
    QByteArray boundary;
    QByteArray body = multipartBody(contents, &boundary);
    contents.clear();

    const QString url = generate_Cgi_URL(host(), path, action, query);
    struct Upload {
        QSemaphore semaphore;
        std::atomic<bool> done { false };
        Reply reply;
        Error error;
        QEventLoop *loop = nullptr;
    };
    auto up = std::make_shared<Upload>();
    const int timeout = m_transferTimeoutMs;
    const int deadline = m_uploadDeadlineMs;
    QPointer<CgiCtrl> self(this);

    auto start = [up, url, timeout, deadline, self, body = std::move(body), boundary,
                     names]() mutable {
        // A client of its own for this one request: no cookie, the session
        // travels in the URL.
        auto *nam = new QNetworkAccessManager();
        nam->setCookieJar(nullptr);
        QNetworkRequest nr(QUrl::fromEncoded(url.toUtf8(), QUrl::TolerantMode));
        configureRequest(nr, timeout);
        nr.setHeader(QNetworkRequest::ContentTypeHeader,
            QByteArray("multipart/form-data; boundary=" + boundary));
        nr.setHeader(QNetworkRequest::ContentLengthHeader, body.size());
        // Streamed from a body that cannot be rewound: an upload the NAS
        // dropped is reported, never sent again on its own.
        nr.setAttribute(QNetworkRequest::DoNotBufferUploadDataAttribute, true);
        auto *device = new OneShotBody(std::move(body));
        QNetworkReply *reply = nam->post(nr, device);
        device->setParent(reply);
        ignoreCertificateErrors(reply);
        auto keyCheck = std::make_shared<int>(0);
        if (self)
            self->watchPeerKey(reply, [keyCheck] { *keyCheck = kTransportKeyChanged; });
        auto deadlineHit = std::make_shared<bool>(false);
        armDeadline(reply, deadline, [reply, deadlineHit] {
            *deadlineHit = true;
            reply->abort();
        });
        QObject::connect(
            reply, &QNetworkReply::finished, nam, [up, reply, nam, names, deadlineHit, keyCheck] {
                QJsonObject parsed;
                int code = *keyCheck ? *keyCheck : decodeReply(reply, false, &parsed);
                if (*deadlineHit && code != 0)
                    code = kTransportTimedOut;
                if (code == 0) {
                    up->reply = parsed;
                } else {
                    QString description = reply->errorString();
                    const int status
                        = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
                    if (status >= 300)
                        description
                            = QStringLiteral("HTTP %1 %2")
                                  .arg(status)
                                  .arg(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute)
                                           .toString());
                    else if (code == kCannotDecodeContent)
                        description = localized("TXT_NOT_A_NAS_REPLY");
                    else if (code == kTransportTimedOut)
                        description = localized("TXT_REQUEST_TIMED_OUT");
                    else if (code == kTransportKeyChanged)
                        description = localized("TXT_SERVER_KEY_CHANGED");
                    up->error = Error(kTransportErrorDomain, code,
                        { { QStringLiteral("description"), description },
                            { QStringLiteral("files"), names } });
                }
                reply->deleteLater();
                nam->deleteLater();
                up->done = true;
                if (up->loop)
                    up->loop->quit();
                up->semaphore.release();
            });
    };

    if (onGuiThread()) {
        assertGuiWaitAllowed();
        start();
        if (!up->done) {
            QEventLoop loop;
            up->loop = &loop;
            while (!up->done)
                loop.exec();
            up->loop = nullptr;
        }
    } else {
        QMetaObject::invokeMethod(this, std::move(start), Qt::QueuedConnection);
        up->semaphore.acquire();
    }
    setError(error, up->error);
    return up->reply;
}

// ---- evaluation -----------------------------------------------------------

Error CgiCtrl::_get_Error_Code(int function, const Reply &response)
{
    m_sessionTimeout = false;
    QVariantMap info { { QStringLiteral("cgi_id"), function } };
    if (CgiCtrlDelegate *d = delegate()) {
        if (auto e = d->cgiCtrl_errorCode(this, response, function); e && e->isError()) {
            m_sessionTimeout = e->code == kCgiErrorSessionTimeout;
            info.insert(e->userInfo);
            return Error(kCgiErrorDomain, e->code, info);
        }
    }
    if (!response)
        return Error(kCgiErrorDomain, kCgiErrorNoReply, info);
    if (json::intValue(*response, u"success") == 1)
        return Error();
    const int code = int(json::intValue(*response, u"error_code"));
    m_sessionTimeout = code == kCgiErrorSessionTimeout;
    return Error(kCgiErrorDomain, code, info);
}

// ---- presenting errors ----------------------------------------------------

void CgiCtrl::_report_Upload_Failure(const Error &error, const QStringList &files)
{
    if (!showErrorAlert() || error.domain != QLatin1String(kTransportErrorDomain)
        || error.code == kTransportFileNotReadable || error.code == kTransportCancelled)
        return;
    QStringList names;
    for (const QString &f : files)
        names << QFileInfo(f).fileName();
    const QString message = stringWithKSTFormat(localized("ERROR_UPLOAD_FILES"),
        { names.join(QStringLiteral(", ")),
            error.userInfo.value(QStringLiteral("description")).toString() });
    {
        // Files that did not go are never dropped unsaid: while another alert
        // shows, they wait for it to close.
        QMutexLocker lock(&m_mutex);
        m_pendingUploadFailures << message;
    }
    _show_Pending_Upload_Failures();
}

void CgiCtrl::_show_Pending_Upload_Failures()
{
    bool expected = false;
    if (!m_alertShowing.compare_exchange_strong(expected, true))
        return; // shown when the alert that is open closes
    QStringList messages;
    {
        QMutexLocker lock(&m_mutex);
        messages.swap(m_pendingUploadFailures);
    }
    if (messages.isEmpty()) {
        m_alertShowing = false;
        return;
    }
    QPointer<CgiCtrl> self(this);
    QMetaObject::invokeMethod(
        this,
        [self, message = messages.join(QStringLiteral("\n\n"))] {
            AlertRequest request;
            request.title = localized("ERROR");
            request.message = message;
            request.buttons = { localized("OK") };
            request.style = AlertRequest::Warning;
            request.server = self ? self->serverName() : QString();
            auto closed = [self](int) {
                if (!self)
                    return;
                self->m_alertShowing = false;
                self->_show_Pending_Upload_Failures();
            };
            if (AlertPresenter *p = AlertPresenter::current())
                p->present(request, closed);
            else
                closed(-1);
        },
        Qt::QueuedConnection);
}

void CgiCtrl::_handle_Error_Code(const Error &error, const QString &detail)
{
    if (error.domain != QLatin1String(kCgiErrorDomain))
        return;
    CgiCtrlDelegate *d = delegate();
    QString message;
    if (d && d->cgiCtrl_showErrorMessage(this, error).value_or(false)) {
        message = d->cgiCtrl_errorMessage(this, error).value_or(QString());
        if (message.isEmpty()) {
            if (sessionTimeout())
                message = localized("ERR_CGI_SESSION_TIMEOUT");
            if (error.code == kCgiErrorNoReply)
                message = localized("ERR_LOGIN_CONNECT_SERVER_FAIL");
        }
    }
    if (error.code == kCgiErrorNoReply || sessionTimeout())
        stop_Revive();
    if (message.isEmpty())
        return;
    if (!detail.isEmpty())
        message += QStringLiteral("\n\n") + detail;
    bool expected = false;
    if (!m_alertShowing.compare_exchange_strong(expected, true))
        return; // one alert at a time; this one is dropped

    int alertID = kAlertPlain;
    if (error.code == kCgiErrorNoReply)
        alertID = kAlertNoReply;
    else if (sessionTimeout())
        alertID = kAlertSessionTimeout;
    else if (d) {
        alertID = d->cgiCtrl_alertID(this, error).value_or(kAlertPlain);
        if (alertID < kAlertFirstCustom)
            alertID = kAlertPlain;
    }
    const bool yesNo = d && d->cgiCtrl_alertButtonType(this, error, alertID).value_or(1) == 2;
    // The NAS's own answer, for whoever needs to look it up.
    const QString reason = error.code > 0 && error.code != kCgiErrorSessionTimeout
        ? stringWithKSTFormat(localized("ERROR_NAS_CODE"), { QString::number(error.code) })
        : QString();
    _present_Alert(message, alertID, yesNo, reason);
}

QString CgiCtrl::serverName() const
{
    QMutexLocker lock(&m_mutex);
    return m_serverName;
}

void CgiCtrl::setServerName(const QString &name)
{
    QMutexLocker lock(&m_mutex);
    m_serverName = name;
}

void CgiCtrl::_present_Alert(const QString &message, int alertID, bool yesNo, const QString &reason)
{
    const QString hostAtError = hostID();
    const QString server = serverName();
    QPointer<CgiCtrl> self(this);
    QMetaObject::invokeMethod(
        this,
        [self, message, alertID, yesNo, hostAtError, server, reason] {
            AlertRequest request;
            request.title = localized("ERROR");
            request.message = message;
            request.detail = reason;
            request.server = server;
            if (yesNo) {
                request.buttons = { localized("YES"), localized("NO") };
                request.style = AlertRequest::Informational;
            } else {
                request.buttons = { localized("OK") };
                request.style = AlertRequest::Warning;
            }
            auto closed = [self, alertID, hostAtError](int button) {
                if (!self)
                    return;
                if (auto block = self->blockAlert())
                    block(alertID, true);
                QString hostID = self->hostID();
                if (hostID.isEmpty())
                    hostID = hostAtError;
                NotificationCenter::defaultCenter()->post(
                    QString::fromLatin1(
                        button == 0 ? kNOTIFY_RE_LOGIN_FAVORITE : kNOTIFY_LOGIN_FAVORITE_FAIL),
                    self, { { QStringLiteral("hostID"), hostID } });
                if (!self)
                    return;
                self->m_alertShowing = false;
                self->_show_Pending_Upload_Failures();
            };
            if (AlertPresenter *p = AlertPresenter::current()) {
                p->present(request, closed);
            } else {
                qWarning("%s: %s", qPrintable(request.title), qPrintable(request.message));
                closed(-1);
            }
        },
        Qt::QueuedConnection);
}

} // namespace flk
