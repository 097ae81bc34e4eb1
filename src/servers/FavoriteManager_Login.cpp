// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// Signing in to a saved server: address, fresh client, requirement checks,
// sign-in errors and their alert.
#include "FavoriteManager.h"

#include "DefaultsStore.h"
#include "ReachabilityMonitor.h"
#include "api/AlertPresenter.h"
#include "api/CgiCtrl.h"
#include "api/CgiErrorRules.h"
#include "api/JsonUtil.h"
#include "api/Localization.h"
#include "api/NotificationCenter.h"
#include "api/Notifications.h"

namespace flk {

namespace {
constexpr const char *kBuiltInRelayDomain = "kestrelcloud.net";

Error loginError(int code, const QVariantMap &info = {})
{
    return Error(kLoginErrorDomain, code, info);
}
} // namespace

QString FavoriteManager::cloudRelayDomain() const
{
    const QString env = qEnvironmentVariable("FERRYLINK_CLOUD_RELAY_DOMAIN");
    if (!env.isEmpty())
        return env;
    const QString stored = m_defaults->value(QLatin1String(kDefaultsCloudRelayKey)).toString();
    return stored.isEmpty() ? QString::fromLatin1(kBuiltInRelayDomain) : stored;
}

QString FavoriteManager::serverAddress(const FavoriteObject &record) const
{
    QString hostName = record.host();
    if (record.isCloudID())
        hostName += QLatin1Char('.') + cloudRelayDomain();
    else if (hostName.contains(QLatin1Char(':')) && !hostName.startsWith(QLatin1Char('[')))
        hostName = QLatin1Char('[') + hostName + QLatin1Char(']'); // an IPv6 literal
    return QStringLiteral("%1://%2:%3")
        .arg(record.enableHttps() ? QStringLiteral("https") : QStringLiteral("http"), hostName,
            record.port());
}

int FavoriteManager::compareVersions(const QString &a, const QString &b)
{
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype ei = i, ej = j;
            while (ei < a.size() && a[ei].isDigit())
                ++ei;
            while (ej < b.size() && b[ej].isDigit())
                ++ej;
            // Compare the runs as numbers without overflow: skip leading zeros,
            // then the longer run is larger, else compare digit by digit.
            QStringView ra = QStringView(a).mid(i, ei - i), rb = QStringView(b).mid(j, ej - j);
            while (ra.size() > 1 && ra.front() == QLatin1Char('0'))
                ra = ra.mid(1);
            while (rb.size() > 1 && rb.front() == QLatin1Char('0'))
                rb = rb.mid(1);
            if (ra.size() != rb.size())
                return ra.size() < rb.size() ? -1 : 1;
            if (const int c = ra.compare(rb); c != 0)
                return c < 0 ? -1 : 1;
            i = ei;
            j = ej;
            continue;
        }
        if (a[i] != b[j])
            return a[i] < b[j] ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return 0;
}

CgiCtrl *FavoriteManager::login_Favorite_NAS(
    int index, Error *error, const LoginHandle &given, CgiCtrl *reuse)
{
    const Favorite record = get_Favorite_NAS(index);
    if (!record) {
        setError(error, loginError(kLoginErrorConnectFail));
        return nullptr;
    }
    const LoginHandle attempt = given ? given : newLoginAttempt();
    Error err;
    begin(attempt);
    CgiCtrl *client = _login_Favorite_NAS(record, &err, *attempt, reuse);
    end(attempt);
    setError(error, err);
    if (err.isError())
        _show_Login_Alert(err, record);
    return client;
}

CgiCtrl *FavoriteManager::_login_Favorite_NAS(
    const Favorite &record, Error *error, LoginAttempt &attempt, CgiCtrl *reuse)
{
    // The attempt's flags are cleared by the caller when it ends.
    auto cancelled = [&attempt] { return attempt.isCancelled(); };

    if (ReachabilityMonitor::shared()->status() == ReachabilityMonitor::NotReachable) {
        setError(error, loginError(kLoginErrorNetworkUnreachable));
        return nullptr;
    }
    if (cancelled()) {
        setError(error, loginError(kLoginErrorCancelled));
        return nullptr;
    }

    CgiCtrl *client = reuse ? reuse : new CgiCtrl();
    if (reuse)
        reuse->logout_Server(nullptr);
    client->setDelegate(CgiCtrl::sharedCgiCtrl()->delegate());
    client->setShowErrorAlert(false);
    // Over HTTPS the server must show the key kept at the first sign-in.
    const bool https = record->enableHttps();
    const QByteArray pinned
        = QByteArray::fromHex(record->value(QLatin1String(kPinnedKeyMember)).toString().toLatin1());
    client->setPinnedKey(https ? pinned : QByteArray());
    attempt.setClient(client);

    Error cgiError;
    CgiCtrl::Reply reply;
    // A cancel that came while the client was made finds no request to end.
    if (!cancelled())
        reply = client->login_Server(
            serverAddress(*record), record->account(), passwordFor(*record), false, &cgiError);
    // From the first reply on, this session is held to the key that signed
    // it in: the checks below and everything after go to that server only.
    if (https && pinned.isEmpty() && !cgiError.isError())
        client->setPinnedKey(client->observedKey());
    Error err;
    if (cgiError.is(kTransportErrorDomain, kTransportKeyChanged))
        err = loginError(kLoginErrorServerKeyChanged,
            { { QStringLiteral("pinned"), QString::fromLatin1(pinned.toHex()) },
                { QStringLiteral("observed"), QString::fromLatin1(client->observedKey().toHex()) },
                { QStringLiteral("server"),
                    record->value(QStringLiteral("server_name")).toString().isEmpty()
                        ? record->host()
                        : record->value(QStringLiteral("server_name")).toString() } });
    else if (cgiError.isError())
        err = _get_Error_From_Cgi_Error_Code(cgiError);
    else if (cancelled())
        err = loginError(kLoginErrorCancelled);
    else
        err = _check_Login_Server_Requirements(client, attempt);

    if (err.isError()) {
        const QString hostID = record->hostID();
        if (!hostID.isEmpty())
            err.userInfo.insert(QStringLiteral("hostID"), hostID);
        client->logout_Server(nullptr);
        attempt.setClient(nullptr);
        if (!reuse) {
            client->setDelegate(nullptr);
            client->deleteLater();
        }
        setError(error, err);
        return nullptr;
    }

    // Trust on first use: the key of the first HTTPS sign-in is kept.
    if (https && pinned.isEmpty() && !client->observedKey().isEmpty()) {
        record->setValue(
            QLatin1String(kPinnedKeyMember), QString::fromLatin1(client->observedKey().toHex()));
        _save();
    }
    record->setValue(QStringLiteral("host_id"), client->hostID());
    record->setValue(QStringLiteral("server_name"), json::stringValue(*reply, u"hostname"));
    record->setValue(QStringLiteral("server_model"), json::stringValue(*reply, u"model"));
    record->setValue(QStringLiteral("firmware_version"), json::stringValue(*reply, u"version"));
    setError(error, Error());
    return client;
}

Error FavoriteManager::_get_Error_From_Cgi_Error_Code(const Error &cgiError)
{
    return loginError(CgiErrorRules::loginErrorCodeFromCgiCode(cgiError.code));
}

Error FavoriteManager::_check_Login_Server_Requirements(
    CgiCtrl *client, const LoginAttempt &attempt)
{
    auto cancelled = [&attempt] { return attempt.isCancelled(); };
    if (needAdministrator() && !client->administrator())
        return loginError(kLoginErrorAdminRequired);
    const QString minKos = minVersion();
    if (!minKos.isEmpty()) {
        if (QString::compare(client->kosVersion().left(5), minKos, Qt::CaseSensitive) < 0)
            return loginError(kLoginErrorOsTooOld);
        return Error();
    }
    QVariantMap info { { QStringLiteral("app_name"), appName() } };
    Error e;
    const CgiCtrl::Reply app = client->get_App_Info(appPackage(), &e);
    // A cancelled request is no verdict on the NAS: report the cancellation.
    if (cancelled())
        return loginError(kLoginErrorCancelled);
    if (!app)
        return loginError(kLoginErrorAppUninstalled, info);
    if (!json::boolValue(*app, u"enabled"))
        return loginError(kLoginErrorAppDisabled, info);
    const QString minApp = appMinVersion();
    const QString installed = json::stringValue(*app, u"version");
    if (!minApp.isEmpty() && compareVersions(installed, minApp) < 0) {
        info.insert(QStringLiteral("app_min_ver"), minApp);
        info.insert(QStringLiteral("app_cur_ver"), installed);
        return loginError(kLoginErrorAppTooOld, info);
    }
    const bool accessible = client->is_App_Accessible(appPackage(), &e);
    if (cancelled())
        return loginError(kLoginErrorCancelled);
    return accessible ? Error() : loginError(kLoginErrorAppPrivilege, info);
}

void FavoriteManager::_show_Login_Alert(const Error &error, const Favorite &record)
{
    if (error.domain != QLatin1String(kLoginErrorDomain) || error.code == kLoginErrorCancelled)
        return;
    if (error.code == kLoginErrorServerKeyChanged && record) {
        _ask_Trust_New_Key(error, record);
        return;
    }
    const QString message = CgiErrorRules::loginErrorMessage(error);
    const QString hostID = error.userInfo.value(QStringLiteral("hostID")).toString();
    QPointer<FavoriteManager> self(this);
    QMetaObject::invokeMethod(
        this,
        [self, message, hostID] {
            AlertRequest request;
            request.title = localized("ERROR");
            request.message = message;
            request.buttons = { localized("OK") };
            request.style = AlertRequest::Warning;
            auto closed = [self, hostID](int) {
                NotificationCenter::defaultCenter()->post(
                    QString::fromLatin1(kNOTIFY_LOGIN_FAVORITE_FAIL), self.data(),
                    { { QStringLiteral("hostID"), hostID } });
            };
            if (AlertPresenter *p = AlertPresenter::current())
                p->present(request, closed);
            else {
                qWarning("%s: %s", qPrintable(request.title), qPrintable(request.message));
                closed(-1);
            }
        },
        Qt::QueuedConnection);
}

void FavoriteManager::_ask_Trust_New_Key(const Error &error, const Favorite &record)
{
    const QString observed = error.userInfo.value(QStringLiteral("observed")).toString();
    const QString message = stringWithKSTFormat(localized("ERR_LOGIN_SERVER_KEY_CHANGED"),
        { error.userInfo.value(QStringLiteral("server")).toString(),
            CgiCtrl::fingerprintText(QByteArray::fromHex(
                error.userInfo.value(QStringLiteral("pinned")).toString().toLatin1())),
            CgiCtrl::fingerprintText(QByteArray::fromHex(observed.toLatin1())) });
    const QString hostID = error.userInfo.value(QStringLiteral("hostID")).toString();
    QPointer<FavoriteManager> self(this);
    QMetaObject::invokeMethod(
        this,
        [self, message, hostID, observed, record] {
            AlertRequest request;
            request.title = localized("SERVER_KEY_CHANGED_TITLE");
            request.message = message;
            request.buttons = { localized("TRUST_NEW_KEY"), localized("CANCEL") };
            request.style = AlertRequest::Warning;
            auto closed = [self, hostID, observed, record](int button) {
                if (!self)
                    return;
                const bool trust = button == 0 && !observed.isEmpty();
                if (trust) {
                    // From now on this key is the server's; sign in again.
                    record->setValue(QLatin1String(kPinnedKeyMember), observed);
                    self->_save();
                }
                NotificationCenter::defaultCenter()->post(
                    QString::fromLatin1(
                        trust ? kNOTIFY_RE_LOGIN_FAVORITE : kNOTIFY_LOGIN_FAVORITE_FAIL),
                    self.data(), { { QStringLiteral("hostID"), hostID } });
            };
            if (AlertPresenter *p = AlertPresenter::current())
                p->present(request, closed);
            else
                closed(-1);
        },
        Qt::QueuedConnection);
}

} // namespace flk
