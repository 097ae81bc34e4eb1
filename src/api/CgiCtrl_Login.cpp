// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// Session side of CgiCtrl: signing in and out, the application checks, the
// NAS version comparison and the keep-alive.
#include "CgiCtrl.h"

#include "CgiOperations.h"
#include "JsonUtil.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

namespace flk {

std::optional<CgiCtrl::LoginReply> CgiCtrl::readLoginReply(const QJsonObject &reply)
{
    const QJsonValue sid = reply.value(QLatin1String("sid"));
    if (!sid.isString() || sid.toString().isEmpty())
        return std::nullopt;
    LoginReply r;
    r.sid = sid.toString();
    r.hostID = json::stringValue(reply, u"hostid");
    r.version = json::stringValue(reply, u"version");
    r.administrator = json::boolValue(reply, u"isAdminGroup");
    return r;
}

CgiCtrl::Reply CgiCtrl::login_Server(const QString &server, const QString &user,
    const QString &password, bool webServer, Error *error)
{
    _cancel_All_Requests();
    const QByteArray cookieBefore = cookieHeader();
    Error err;
    Reply reply = _prepare_Request(server, QString::fromLatin1(kCgiPathLogin),
        QStringLiteral("login"), QStringLiteral("POST"),
        QVariantMap {
            { QStringLiteral("account"), user }, { QStringLiteral("password"), password } },
        kCgiLogin, &err);
    // A sign-in reply without a session id as text is no sign-in: the NAS
    // (or whatever answered) did not give a usable reply.
    std::optional<LoginReply> read;
    if (!err.isError()) {
        read = readLoginReply(*reply);
        if (!read) {
            qInfo("[%ld] Cgi failed. error = %ld", long(kCgiLogin), long(kCgiErrorNoReply));
            err = Error(
                kCgiErrorDomain, kCgiErrorNoReply, { { QStringLiteral("cgi_id"), kCgiLogin } });
            setCookie(cookieBefore);
        }
    }
    setError(error, err);
    if (err.isError())
        return std::nullopt;

    // The new session is in: end the one this controller held before.
    logout_Server(nullptr);

    {
        QMutexLocker lock(&m_mutex);
        m_host = server;
        m_sid = read->sid;
        m_account = user;
        m_hostID = read->hostID;
        m_kosVersion = read->version;
    }
    m_administrator = read->administrator;
    m_keyChangeReported = false;
    m_logon = true;
    m_sessionTimeout = false;
    m_isWebServer = webServer;
    return reply;
}

bool CgiCtrl::login_Server_With_CgiCtrl(CgiCtrl *other)
{
    if (!other || !other->logon())
        return false;
    logout_Server(nullptr);
    const QString h = other->host(), s = other->sid(), a = other->account(), id = other->hostID(),
                  v = other->kosVersion();
    const auto otherConfig = other->config();
    {
        QMutexLocker lock(&m_mutex);
        m_host = h;
        m_sid = s;
        m_account = a;
        m_hostID = id;
        m_kosVersion = v;
        // Both controllers now send the same cookie.
        m_config = otherConfig;
    }
    m_administrator = other->administrator();
    m_isWebServer = other->isWebServer();
    m_logon = true;
    m_sessionTimeout = false;
    return true;
}

bool CgiCtrl::logout_Server(Error *error)
{
    return _logout(true, error);
}

bool CgiCtrl::logout_Server()
{
    return _logout(false, nullptr);
}

bool CgiCtrl::_logout(bool sendRequest, Error *error)
{
    if (!logon())
        return false;
    stop_Revive();
    _cancel_All_Requests();
    if (sendRequest)
        send_Request(QString::fromLatin1(kCgiPathLogin), QStringLiteral("logout"), std::nullopt,
            kCgiLogout, error);
    {
        QMutexLocker lock(&m_mutex);
        m_host.clear();
        m_sid.clear();
        m_account.clear();
        m_hostID.clear();
        m_kosVersion.clear();
    }
    m_administrator = false;
    m_logon = false;
    m_sessionTimeout = false;
    m_isWebServer = false;
    setCookie(QByteArray());
    return true;
}

bool CgiCtrl::is_App_Accessible(const QString &name, Error *error)
{
    const Reply reply
        = send_Request(QString::fromLatin1(kCgiPathPrivilege), QStringLiteral("chk-app-accessible"),
            QVariantMap { { QStringLiteral("app"), name } }, kCgiCheckAppAccessible, error);
    return reply && json::boolValue(*reply, u"success");
}

CgiCtrl::Reply CgiCtrl::get_App_Info(const QString &name, Error *error)
{
    const Reply reply
        = send_Request(QString::fromLatin1(kCgiPathAppDepot), QStringLiteral("check-status"),
            QVariantMap { { QStringLiteral("name"), name } }, kCgiCheckAppStatus, error);
    if (!reply)
        return std::nullopt;
    const QJsonArray items = json::arrayValue(*reply, u"items");
    if (items.isEmpty() || !items.first().isObject())
        return std::nullopt;
    return items.first().toObject();
}

bool CgiCtrl::check_Session_Timeout(Error *error)
{
    return send_Request(QString::fromLatin1(kCgiPathLogin), QStringLiteral("revive"), std::nullopt,
        kCgiRevive, error)
        .has_value();
}

bool CgiCtrl::is_KOS_Version_Newer(const QString &version) const
{
    const QString kos = kosVersion();
    if (kos.isEmpty())
        return false;
    // Plain character-by-character comparison of the first five characters.
    return QString::compare(kos.left(5), version, Qt::CaseSensitive) >= 0;
}

void CgiCtrl::start_Revive()
{
    if (!logon())
        return;
    stop_Revive();
    qInfo("start revive");
    m_reviving = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!m_reviving)
                return;
            delete m_reviveTimer.data();
            auto *timer = new QTimer(this);
            timer->setInterval(m_reviveIntervalMs);
            connect(timer, &QTimer::timeout, this, &CgiCtrl::_Keep_Revive);
            timer->start();
            m_reviveTimer = timer;
        },
        Qt::QueuedConnection);
    m_reviveQueue->post([this] { check_Session_Timeout(nullptr); });
}

void CgiCtrl::_Keep_Revive()
{
    if (logon())
        m_reviveQueue->post([this] { check_Session_Timeout(nullptr); });
}

void CgiCtrl::stop_Revive()
{
    if (!m_reviving)
        return;
    qInfo("stop revive");
    m_reviving = false;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_reviving)
                return; // started again meanwhile
            delete m_reviveTimer.data();
        },
        Qt::QueuedConnection);
}

} // namespace flk
