// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "TransportErrors.h"

#include "Error.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QNetworkReply>
#include <QSslConfiguration>

namespace flk {

namespace {

constexpr int kCannotFindHost = -1003;

bool acceptableContentType(const QByteArray &header)
{
    if (header.isEmpty())
        return true;
    const QByteArray mime = header.split(';').first().trimmed().toLower();
    return mime == "application/json" || mime == "text/json" || mime == "text/javascript"
        || mime == "text/html" || mime == "text/plain";
}

int transportCode(QNetworkReply::NetworkError e, bool cancelled)
{
    switch (e) {
    case QNetworkReply::OperationCanceledError:
        // Aborted by us, or by the transfer time-out.
        return cancelled ? kTransportCancelled : kTransportTimedOut;
    case QNetworkReply::TimeoutError:
        return kTransportTimedOut;
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
        return kTransportConnectionLost;
    case QNetworkReply::ConnectionRefusedError:
        return kTransportCannotConnect;
    case QNetworkReply::HostNotFoundError:
        return kCannotFindHost;
    default:
        if (e >= QNetworkReply::ContentAccessDenied)
            return kTransportBadServerResponse;
        return kTransportUnknown;
    }
}

} // namespace

void configureRequest(QNetworkRequest &request, int transferTimeoutMs)
{
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setRawHeader(
        "Accept", "application/json, text/json, text/javascript, text/html, text/plain");
    QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
    ssl.setPeerVerifyMode(QSslSocket::VerifyNone);
    request.setSslConfiguration(ssl);
    request.setTransferTimeout(transferTimeoutMs);
}

void ignoreCertificateErrors(QNetworkReply *reply)
{
    QObject::connect(reply, &QNetworkReply::sslErrors, reply,
        [reply](const QList<QSslError> &) { reply->ignoreSslErrors(); });
}

int checkReply(QNetworkReply *reply, bool cancelled, QByteArray *raw)
{
    if (reply->error() != QNetworkReply::NoError)
        return transportCode(reply->error(), cancelled);
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status < 200 || status > 299)
        return kTransportBadServerResponse;
    if (!acceptableContentType(reply->header(QNetworkRequest::ContentTypeHeader).toByteArray()))
        return kCannotDecodeContent;
    *raw = reply->readAll();
    return 0;
}

int parseBody(const QByteArray &raw, QJsonObject *body)
{
    QJsonParseError parseError;
    // A UTF-8 byte-order mark is not part of the JSON.
    const QJsonDocument doc
        = QJsonDocument::fromJson(raw.startsWith("\xEF\xBB\xBF") ? raw.mid(3) : raw, &parseError);
    if (parseError.error != QJsonParseError::NoError || !doc.isObject())
        return kCannotDecodeContent;
    *body = doc.object();
    return 0;
}

int decodeReply(QNetworkReply *reply, bool cancelled, QJsonObject *body)
{
    QByteArray raw;
    const int code = checkReply(reply, cancelled, &raw);
    return code ? code : parseBody(raw, body);
}

} // namespace flk
