// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QByteArray>
#include <QString>
#include <QVariantMap>

#include <optional>

namespace flk::cgi {

// Values of form bodies and queries: numbers as decimal, booleans "1"/"0".
QString parameterText(const QVariant &v);
// The form body of a POST ("application/x-www-form-urlencoded"), keys sorted.
QByteArray formBody(const QVariantMap &params);
// The request's URL. Every key and value of the query is percent-encoded;
// unreserved text stays as it is. A web server takes the action as the last
// path component; the NAS's CGI takes it and the session id in the query.
QString requestUrl(const QString &host, const QString &path, const QString &action,
    const QString &sid, bool webServer, const std::optional<QVariantMap> &params);
// The "Cookie" header from a Set-Cookie value: the name=value pairs only.
QByteArray cookiePairs(const QByteArray &setCookie);

} // namespace flk::cgi
