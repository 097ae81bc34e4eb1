// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "CgiCtrl.h"

#include "CgiEncoding.h"
#include "CgiOperations.h"
#include "JsonUtil.h"
#include "Localization.h"
#include "NotificationCenter.h"
#include "Notifications.h"
#include "TransportErrors.h"
#include "UploadBody.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QThread>
#include <QTimer>

namespace flk {

// One request to the NAS: the transport's exchange and how it is judged.
struct CgiCtrl::Request : CgiTransport::Exchange {
    int function = 0;
    Reply reply;
    Error error;
    CgiCtrl::BodyParser bodyParser; // the caller's, else Qt's parser
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

} // namespace

// ---- construction ---------------------------------------------------------

CgiCtrl::CgiCtrl(QObject *parent)
    : QObject(parent),
      m_config(std::make_shared<Config>()),
      m_reviveQueue(SerialWorkQueue::create())
{
    // The controller and its timers belong to the GUI thread whichever
    // thread creates it; its transport works on the network thread.
    if (!parent && guiThread() && thread() != guiThread())
        moveToThread(guiThread());
}

CgiCtrl::~CgiCtrl()
{
    // Release every waiting caller before the object goes away: nothing
    // starts any more, and what runs ends as cancelled. Then wait for the
    // keep-alive worker, which may be finishing a request right now.
    {
        QMutexLocker lock(&m_queueMutex);
        m_destroying = true;
    }
    m_transport.shutdown();
    while (!m_reviveQueue->idle())
        QThread::msleep(5);
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
    m_transport.resetManager();
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
    return cgi::cookiePairs(setCookie);
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
    return CgiTransport::publicKeyHash(certificate);
}

QString CgiCtrl::fingerprintText(const QByteArray &sha256)
{
    return QString::fromLatin1(sha256.toHex(':').toUpper());
}

// ---- URL and body ---------------------------------------------------------

QString CgiCtrl::parameterText(const QVariant &v)
{
    return cgi::parameterText(v);
}

QByteArray CgiCtrl::formBody(const QVariantMap &params)
{
    return cgi::formBody(params);
}

QString CgiCtrl::generate_Cgi_URL(const QString &host, const QString &path, const QString &action,
    const std::optional<QVariantMap> &params) const
{
    return cgi::requestUrl(host, path, action, sid(), isWebServer(), params);
}

// ---- requests -------------------------------------------------------------

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

CgiCtrl::Reply CgiCtrl::_send_Request(const QString &url, const QString &method,
    const QVariantMap &params, int function, Error *error)
{
    auto req = std::make_shared<Request>();
    req->url = url;
    req->function = function;
    if (method == QLatin1String("POST")) {
        req->post = true;
        req->body = cgi::formBody(params);
        req->contentType = QByteArrayLiteral("application/x-www-form-urlencoded");
    }
    req->cookie = cookieHeader();
    req->keys = config();
    req->bodyParser = t_bodyParser;
    _exchange(req);

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

void CgiCtrl::_exchange(const std::shared_ptr<Request> &req)
{
    bool refused = false;
    {
        QMutexLocker lock(&m_queueMutex);
        refused = m_destroying;
        if (!refused)
            m_requests.append(req);
    }
    if (onGuiThread())
        assertGuiWaitAllowed();
    if (refused) {
        req->error = Error(kCgiErrorDomain, kCgiErrorCancelled);
        return;
    }
    m_transport.start(req);
    CgiTransport::wait(*req);
    {
        QMutexLocker lock(&m_queueMutex);
        m_requests.removeOne(req);
    }
    // Judged here, on the waiting thread: a big body is decoded where its
    // caller is, never on the network thread.
    if (req->transportCode == 0) {
        _parse_Body(req);
        return;
    }
    qInfo("[%ld] Cgi failed. error = %ld", long(req->function), long(req->transportCode));
    if (req->transportCode == kTransportKeyChanged) {
        // Nothing was sent to a server whose key is not the pinned one.
        req->error = Error(kTransportErrorDomain, kTransportKeyChanged,
            { { QStringLiteral("pinned"), QString::fromLatin1(pinnedKey().toHex()) },
                { QStringLiteral("observed"), QString::fromLatin1(observedKey().toHex()) } });
    } else if (req->transportCode == kTransportCancelled) {
        req->error = Error(kCgiErrorDomain, kCgiErrorCancelled);
    }
}

void CgiCtrl::_parse_Body(const std::shared_ptr<Request> &req)
{
    QJsonObject body;
    int code = 0;
    if (req->bodyParser) {
        std::optional<QJsonObject> parsed = req->bodyParser(req->raw);
        code = parsed ? 0 : kCannotDecodeContent;
        if (parsed)
            body = std::move(*parsed);
    } else {
        code = parseBody(req->raw, &body);
    }
    req->raw = QByteArray();
    if (code != 0) {
        qInfo("[%ld] Cgi failed. error = %ld", long(req->function), long(code));
        req->reply.reset();
        return;
    }
    qInfo("[%ld] Cgi finished.", long(req->function));
    // A usable reply: its cookie (the name=value pairs) is the session's now.
    if (!req->setCookie.isEmpty()) {
        const QByteArray pairs = cookiePairs(req->setCookie);
        if (!pairs.isEmpty())
            setCookie(pairs);
        req->setCookie.clear();
    }
    req->reply = body;
    if (CgiCtrlDelegate *d = delegate()) {
        if (auto replaced = d->cgiCtrl_response(this, body, req->function))
            req->reply = std::move(replaced);
    }
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
        m_transport.cancel(target);
}

void CgiCtrl::_cancel_All_Requests()
{
    QList<std::shared_ptr<Request>> all;
    {
        QMutexLocker lock(&m_queueMutex);
        all = m_requests;
    }
    for (const auto &r : all)
        m_transport.cancel(r);
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
    // device never reaches the network thread.
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
    auto req = std::make_shared<Request>();
    QByteArray boundary;
    req->body = multipartBody(contents, &boundary);
    contents.clear();
    req->contentType = "multipart/form-data; boundary=" + boundary;
    req->url = generate_Cgi_URL(host(), path, action, query);
    req->post = true;
    req->upload = true; // no cookie: the session travels in the URL
    req->keys = config();
    m_transport.start(req);
    if (onGuiThread())
        assertGuiWaitAllowed();
    CgiTransport::wait(*req);

    QJsonObject parsed;
    int code = req->transportCode;
    if (code == 0)
        code = parseBody(req->raw, &parsed);
    req->raw.clear();
    if (code == 0)
        return parsed;
    QString description = req->errorString;
    if (req->httpStatus >= 300)
        description = QStringLiteral("HTTP %1 %2").arg(req->httpStatus).arg(req->httpReason);
    else if (code == kCannotDecodeContent)
        description = localized("TXT_NOT_A_NAS_REPLY");
    else if (code == kTransportTimedOut)
        description = localized("TXT_REQUEST_TIMED_OUT");
    else if (code == kTransportKeyChanged)
        description = localized("TXT_SERVER_KEY_CHANGED");
    setError(error,
        Error(kTransportErrorDomain, code,
            { { QStringLiteral("description"), description },
                { QStringLiteral("files"), names } }));
    return std::nullopt;
}

} // namespace flk
