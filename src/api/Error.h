// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QString>
#include <QVariantMap>

namespace flk {

inline constexpr const char *kCgiErrorDomain = "com.kestrel.cgi.error";
inline constexpr const char *kLoginErrorDomain = "com.kestrel.login.error";
// Errors raised by the HTTP transport itself (uploads report these unchanged).
inline constexpr const char *kTransportErrorDomain = "org.qt-project.QtNetwork";

// Request error codes the client tells apart.
enum CgiErrorCode : int {
    kCgiErrorNoReply = -9999,
    kCgiErrorCancelled = -9998,
    kCgiErrorSessionTimeout = 5000,
    kCgiErrorAuthenticationFail = 5001,
    kCgiErrorAccountDisabled = 5002,
    kCgiErrorAccountExpired = 5003,
    kCgiErrorNoPreference = 5005,
    kCgiErrorTorrentAlreadyAdded = 5019,
    kCgiErrorTorrentUrlIgnored = 5040,
    kCgiErrorTorrentInvalid = 5041,
};

// Transport error codes (the values the platform's URL loading uses).
enum TransportErrorCode : int {
    kTransportCancelled = -999,
    kTransportTimedOut = -1001,
    kTransportCannotConnect = -1004,
    kTransportConnectionLost = -1005,
    kTransportBadServerResponse = -1011,
    kTransportFileNotReadable = -1102,
    // The server's public key is not the one pinned at the first sign-in.
    kTransportKeyChanged = -1202,
    kTransportUnknown = -1,
};

// Sign-in error codes (domain kLoginErrorDomain).
enum LoginErrorCode : int {
    kLoginErrorConnectFail = -8000,
    kLoginErrorNetworkUnreachable = -7999,
    kLoginErrorCancelled = -7998,
    kLoginErrorAuthentication = -7997,
    kLoginErrorAccountDisabled = -7996,
    kLoginErrorAccountExpired = -7995,
    kLoginErrorAdminRequired = -7993,
    kLoginErrorOsTooOld = -7992,
    kLoginErrorAppPrivilege = -7991,
    kLoginErrorAppUninstalled = -7990,
    kLoginErrorAppTooOld = -7989,
    kLoginErrorAppDisabled = -7988,
    // Over HTTPS, the server's key is not the one kept at the first sign-in
    // (userInfo "pinned", "observed": SHA-256 as hex); nothing was sent.
    kLoginErrorServerKeyChanged = -7980,
};

// A failure value: domain, integer code and user information. An Error with an
// empty domain means "no error".
struct Error {
    QString domain;
    int code = 0;
    QVariantMap userInfo;

    Error() = default;
    Error(QString d, int c, QVariantMap info = {})
        : domain(std::move(d)), code(c), userInfo(std::move(info))
    { }

    bool isError() const { return !domain.isEmpty(); }
    explicit operator bool() const { return isError(); }
    bool is(const char *d, int c) const { return code == c && domain == QLatin1String(d); }
    // The operation number carried in "cgi_id" (0 when absent).
    int cgiId() const;
    QString toString() const;
    bool operator==(const Error &o) const = default;
};

// Writes e to out when out is given.
inline void setError(Error *out, const Error &e)
{
    if (out)
        *out = e;
}

} // namespace flk
