// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "CgiEncoding.h"

#include <QNetworkCookie>
#include <QUrl>

namespace flk::cgi {

namespace {
QByteArray encode(const QString &s)
{
    return QUrl::toPercentEncoding(s);
}
} // namespace

QString parameterText(const QVariant &v)
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

QByteArray formBody(const QVariantMap &params)
{
    QByteArray body;
    for (auto it = params.cbegin(); it != params.cend(); ++it) { // sorted by key
        if (!body.isEmpty())
            body += '&';
        body += encode(it.key()) + '=' + encode(parameterText(it.value()));
    }
    return body;
}

QString requestUrl(const QString &host, const QString &path, const QString &action,
    const QString &sid, bool webServer, const std::optional<QVariantMap> &params)
{
    QString url;
    if (webServer) {
        url = host + path + QLatin1Char('/') + QString::fromLatin1(encode(action));
        if (params)
            url += QLatin1Char('?');
    } else {
        url = host + path + QStringLiteral("?act=") + QString::fromLatin1(encode(action));
        if (!sid.isEmpty())
            url += QStringLiteral("&sid=") + QString::fromLatin1(encode(sid));
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

QByteArray cookiePairs(const QByteArray &setCookie)
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

} // namespace flk::cgi
