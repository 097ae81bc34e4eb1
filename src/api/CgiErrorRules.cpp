// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "CgiErrorRules.h"

#include "CgiOperations.h"
#include "Localization.h"

#include <QCoreApplication>
#include <QtGlobal>

namespace flk {

namespace CgiErrorRules {

const char *textKeyForOperation(int cgiId, int code)
{
    switch (cgiId) {
    case kCgiMultiTorrentUpload:
        return QT_TRID_NOOP("ERROR_CGI_UPLOAD_TORRENT");
    case kCgiTorrentAddUrl:
        return code == kCgiErrorTorrentUrlIgnored ? nullptr
                                                  : QT_TRID_NOOP("ERROR_CGI_ADD_TORRENT_URL");
    case kCgiTorrentAdd:
        if (code == kCgiErrorTorrentAlreadyAdded)
            return QT_TRID_NOOP("ERROR_CGI_TORRENT_ALREADY_ADD");
        if (code == kCgiErrorTorrentInvalid)
            return QT_TRID_NOOP("ERROR_CGI_TORRENT_INVALID");
        return QT_TRID_NOOP("ERROR_CGI_ADD_TORRENT");
    case kCgiTorrentSet:
        return QT_TRID_NOOP("ERROR_CGI_SET_TORRENT");
    case kCgiTorrentRemove:
        return QT_TRID_NOOP("ERROR_CGI_REMOVE_TORRENT");
    case kCgiTorrentStart:
        return QT_TRID_NOOP("ERROR_CGI_START_TORRENT");
    case kCgiTorrentStop:
        return QT_TRID_NOOP("ERROR_CGI_STOP_TORRENT");
    case kCgiTorrentQueue:
        return QT_TRID_NOOP("ERROR_CGI_CHANGE_TORRENT_ORDER");
    case kCgiGetUserPref:
        return code == kCgiErrorNoPreference ? nullptr
                                             : QT_TRID_NOOP("ERROR_CGI_GET_TORRENT_PREFERENCE");
    case kCgiSetPref:
    case kCgiSchedulerSet:
    case kCgiSearchSiteEnable:
    case kCgiRssFeedEdit:
    case kCgiRssFilterEdit:
        return QT_TRID_NOOP("ERROR_CGI_SET_TORRENT_PREFERENCE");
    case kCgiSchedulerGet:
        return QT_TRID_NOOP("ERROR_CGI_GET_TORRENT_SCHEDULE");
    case kCgiDownloadAdd:
        return QT_TRID_NOOP("ERROR_CGI_ADD_DOWNLOAD");
    case kCgiDownloadDelete:
        return QT_TRID_NOOP("ERROR_CGI_REMOVE_DOWNLOAD");
    case kCgiDownloadStart:
        return QT_TRID_NOOP("ERROR_CGI_START_DOWNLOAD");
    case kCgiDownloadStop:
        return QT_TRID_NOOP("ERROR_CGI_STOP_DOWNLOAD");
    case kCgiSearchDelete:
        return QT_TRID_NOOP("ERROR_CGI_DELETE_SEARCH_KEY");
    case kCgiSearchRequest:
        return QT_TRID_NOOP("ERROR_CGI_SEND_SEARCH_REQUEST");
    case kCgiSearchSiteList:
        return QT_TRID_NOOP("ERROR_CGI_GET_SEARCH_SITE_LIST");
    case kCgiSearchEngineAdd:
        return QT_TRID_NOOP("ERROR_CGI_ADD_SEARCH_SITE");
    // Without a text these failures would pass unseen (a failed account test
    // would look like a good one).
    case kCgiSearchEngineDelete:
        return QT_TRID_NOOP("ERROR_CGI_DELETE_SEARCH_SITE");
    case kCgiSearchEngineGet:
        return QT_TRID_NOOP("ERROR_CGI_GET_SEARCH_SITE_ACCOUNT");
    case kCgiSearchEngineSet:
        return QT_TRID_NOOP("ERROR_CGI_SET_SEARCH_SITE_ACCOUNT");
    case kCgiSearchEngineTestAccount:
        return QT_TRID_NOOP("ERROR_CGI_TEST_SEARCH_SITE_ACCOUNT");
    case kCgiRssFeedAdd:
        return QT_TRID_NOOP("ERROR_CGI_ADD_RSS_FEED");
    case kCgiRssFeedDelete:
        return QT_TRID_NOOP("ERROR_CGI_DELETE_RSS_FEED");
    case kCgiRssFeedUpdate:
        return QT_TRID_NOOP("ERROR_CGI_UPDATE_RSS_FEED");
    case kCgiRssFilterList:
        return QT_TRID_NOOP("ERROR_CGI_GET_RSS_FILTER_LIST");
    case kCgiRssFilterAdd:
        return QT_TRID_NOOP("ERROR_CGI_ADD_RSS_FILTER");
    case kCgiRssFilterDelete:
        return QT_TRID_NOOP("ERROR_CGI_DELETE_RSS_FILTER");
    case kCgiGetTree:
        return QT_TRID_NOOP("ERROR_CGI_GET_FOLDER_LIST");
    case kCgiCreateDir:
        return QT_TRID_NOOP("ERROR_CGI_CREATE_FOLDER");
    default:
        return nullptr;
    }
}

const char *errorMessageKey(const Error &error)
{
    if (error.code == kCgiErrorNoReply || error.code == kCgiErrorSessionTimeout)
        return QT_TRID_NOOP("TXT_RE_CONNECT_NAS");
    return textKeyForOperation(error.cgiId(), error.code);
}

bool showErrorMessage(const Error &error)
{
    return !(error.cgiId() == kCgiGetUserPref && error.code == kCgiErrorNoPreference);
}

int alertButtonType(const Error &error)
{
    return (error.code == kCgiErrorNoReply || error.code == kCgiErrorSessionTimeout) ? 2 : 1;
}

QJsonObject response(const QJsonObject &reply, int function)
{
    if (function == kCgiGetUserPref && !reply.contains(QLatin1String("success"))) {
        QJsonObject patched = reply;
        patched.insert(QStringLiteral("success"), true);
        return patched;
    }
    return reply;
}

int loginErrorCodeFromCgiCode(int cgiCode)
{
    switch (cgiCode) {
    case kCgiErrorAuthenticationFail:
        return kLoginErrorAuthentication;
    case kCgiErrorAccountDisabled:
        return kLoginErrorAccountDisabled;
    case kCgiErrorAccountExpired:
        return kLoginErrorAccountExpired;
    case kCgiErrorCancelled:
        return kLoginErrorCancelled;
    default:
        return kLoginErrorConnectFail;
    }
}

const char *loginErrorMessageKey(int loginCode)
{
    switch (loginCode) {
    case kLoginErrorCancelled:
        return nullptr;
    case kLoginErrorAuthentication:
        return QT_TRID_NOOP("ERR_LOGIN_AUTHENTICATION_FAIL");
    case kLoginErrorAccountDisabled:
        return QT_TRID_NOOP("ERR_LOGIN_ACCOUNT_DISABLE");
    case kLoginErrorAccountExpired:
        return QT_TRID_NOOP("ERR_LOGIN_ACCOUNT_EXPIRED");
    case kLoginErrorAppPrivilege:
        return QT_TRID_NOOP("ERR_LOGIN_APP_PRIVILEGE_INVALID");
    case kLoginErrorAppUninstalled:
        return QT_TRID_NOOP("ERR_LOGIN_APP_UNINSTALLED");
    case kLoginErrorAppTooOld:
        return QT_TRID_NOOP("ERR_LOGIN_APP_VERSION_INVALID");
    case kLoginErrorAppDisabled:
        return QT_TRID_NOOP("ERR_LOGIN_APP_DISABLED");
    default:
        return QT_TRID_NOOP("ERR_LOGIN_CONNECT_SERVER_FAIL");
    }
}

QString loginErrorMessage(const Error &error)
{
    const char *key = loginErrorMessageKey(error.code);
    if (!key)
        return {};
    const QString appName = error.userInfo.value(QStringLiteral("app_name")).toString();
    QStringList args;
    switch (error.code) {
    case kLoginErrorAppPrivilege:
    case kLoginErrorAppUninstalled:
    case kLoginErrorAppDisabled:
        args << appName;
        break;
    case kLoginErrorAppTooOld:
        args << appName << error.userInfo.value(QStringLiteral("app_cur_ver")).toString()
             << error.userInfo.value(QStringLiteral("app_min_ver")).toString()
             << QCoreApplication::applicationName();
        break;
    default:
        break;
    }
    return stringWithKSTFormat(localized(key), args);
}

} // namespace CgiErrorRules

std::optional<QJsonObject> AppCgiDelegate::cgiCtrl_response(
    CgiCtrl *, const QJsonObject &reply, int function)
{
    return CgiErrorRules::response(reply, function);
}

std::optional<bool> AppCgiDelegate::cgiCtrl_showErrorMessage(CgiCtrl *, const Error &error)
{
    return CgiErrorRules::showErrorMessage(error);
}

std::optional<QString> AppCgiDelegate::cgiCtrl_errorMessage(CgiCtrl *, const Error &error)
{
    const char *key = CgiErrorRules::errorMessageKey(error);
    return key ? localized(key) : QString();
}

std::optional<int> AppCgiDelegate::cgiCtrl_alertButtonType(CgiCtrl *, const Error &error, int)
{
    return CgiErrorRules::alertButtonType(error);
}

} // namespace flk
