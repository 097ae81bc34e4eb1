// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "NasScanManager.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSslConfiguration>

namespace flk {

NasScanManager::NasScanManager(ServiceDiscovery *discovery, QObject *parent)
    : QObject(parent),
      m_discovery(discovery ? discovery : new AvahiServiceDiscovery()),
      m_manager(new QNetworkAccessManager(this))
{
    m_discovery->setParent(this);
    m_manager->setCookieJar(nullptr);
    connect(m_discovery, &ServiceDiscovery::serviceResolved, this, &NasScanManager::onResolved);
    connect(m_discovery, &ServiceDiscovery::serviceRemoved, this,
        [this](const QString &name, const QString &) { onRemoved(name); });
}

NasScanManager::~NasScanManager()
{
    stop_Scan_Server();
}

void NasScanManager::start_Scan_Server()
{
    stop_Scan_Server();
    m_scanning = true;
    m_discoveryAvailable = m_discovery->browse(QStringLiteral("_%1._tcp.").arg(bonjourProtocal));
    if (scanUninitServer)
        m_discovery->browse(uninitServiceType());
}

void NasScanManager::stop_Scan_Server()
{
    if (!m_scanning)
        return;
    m_scanning = false;
    m_discovery->stop();
}

bool NasScanManager::truthValue(const QByteArray &text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    while (i < text.size() && text[i] == '0')
        ++i;
    if (i >= text.size())
        return false;
    const char c = text[i];
    return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
}

QVariantMap NasScanManager::serverInformation(const ResolvedService &service)
{
    static const QSet<QByteArray> texts { "hostid", "httpport", "httpsport", "model",
        "serialnumber", "version" };
    static const QSet<QByteArray> flags { "httpenabled", "httpsenabled", "httpsonly", "wol",
        "canSuspend" };
    QVariantMap info;
    for (const auto &[key, value] : service.txt) {
        if (texts.contains(key)) {
            info.insert(QString::fromLatin1(key), QString::fromUtf8(value));
        } else if (flags.contains(key)) {
            info.insert(QString::fromLatin1(key), truthValue(value));
        } else if (key == "netif") {
            QJsonParseError err;
            const QJsonDocument doc = QJsonDocument::fromJson(value, &err);
            if (err.error == QJsonParseError::NoError)
                info.insert(QStringLiteral("netif"), doc.toVariant());
        } else {
            qInfo("LAN discovery: %s = %s", key.constData(), value.constData());
        }
    }
    if (!service.ipv4Addresses.isEmpty())
        info.insert(QStringLiteral("address"), service.ipv4Addresses.last());
    info.insert(QStringLiteral("hostname"), service.name);
    info.insert(QStringLiteral("initial"), service.type == uninitServiceType() ? 0 : 1);
    return info;
}

QString NasScanManager::scanHost(const QVariantMap &info)
{
    const QString address = info.value(QStringLiteral("address")).toString();
    if (info.value(QStringLiteral("httpsenabled")).toBool())
        return QStringLiteral("https://%1:%2")
            .arg(address, info.value(QStringLiteral("httpsport")).toString());
    return QStringLiteral("http://%1:%2")
        .arg(address, info.value(QStringLiteral("httpport")).toString());
}

void NasScanManager::onResolved(const ResolvedService &service)
{
    if (!m_scanning)
        return;
    QVariantMap info = serverInformation(service);
    const uint state = info.value(QStringLiteral("initial")).toInt() == 1 ? Probing : NotSetUp;
    info.insert(QStringLiteral("state"), state);
    if (scanDelegate)
        scanDelegate->server_Added(info);
    if (state != NotSetUp)
        probe(info);
}

void NasScanManager::onRemoved(const QString &name)
{
    if (m_scanning && scanDelegate)
        scanDelegate->server_Removed(name);
}

void NasScanManager::probe(QVariantMap info)
{
    QNetworkRequest request { QUrl(scanHost(info)) };
    QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
    ssl.setPeerVerifyMode(QSslSocket::VerifyNone);
    request.setSslConfiguration(ssl);
    request.setTransferTimeout(probeTimeoutMs);
    request.setHeader(
        QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/x-www-form-urlencoded"));
    QNetworkReply *reply = m_manager->post(request, QByteArray());
    connect(reply, &QNetworkReply::sslErrors, reply,
        [reply](const QList<QSslError> &) { reply->ignoreSslErrors(); });
    QPointer<NasScanManager> self(this);
    connect(reply, &QNetworkReply::finished, this, [self, reply, info]() mutable {
        reply->deleteLater();
        if (!self || !self->m_scanning)
            return;
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        uint state;
        if (reply->error() == QNetworkReply::NoError && status >= 200 && status <= 299)
            state = Reachable;
        else
            state = status == 403 ? Refused : Unreachable;
        info.insert(QStringLiteral("state"), state);
        if (self->scanDelegate)
            self->scanDelegate->server_Updated(info);
    });
}

} // namespace flk
