// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// The request layer's error rules and their alerts: how a reply is judged,
// which errors are shown, one alert at a time, and upload failures that wait
// for the alert before them.
#include "CgiCtrl.h"

#include "AlertPresenter.h"
#include "CgiOperations.h"
#include "JsonUtil.h"
#include "Localization.h"
#include "NotificationCenter.h"
#include "Notifications.h"
#include "TransportErrors.h"

#include <QFileInfo>

namespace flk {

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
