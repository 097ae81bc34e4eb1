// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "ServiceDiscovery.h"

#include <QObject>
#include <QPointer>
#include <QVariantMap>

class QNetworkAccessManager;

namespace flk {

// Receives what the scan finds, on the GUI thread. Every operation is optional.
class NasScanDelegate
{
public:
    virtual ~NasScanDelegate() = default;
    virtual void server_Added(const QVariantMap &) { }
    virtual void server_Updated(const QVariantMap &) { }
    virtual void server_Removed(const QString &) { }
};

// Finds NAS units on the LAN by mDNS, turns each service's TXT record into a
// server-information map, and probes each unit's web interface once.
class NasScanManager : public QObject
{
    Q_OBJECT

public:
    enum State : uint { Probing = 0, NotSetUp = 2, Reachable = 3, Unreachable = 4, Refused = 5 };

    // discovery: the platform backend (owned); null makes an Avahi one.
    explicit NasScanManager(ServiceDiscovery *discovery = nullptr, QObject *parent = nullptr);
    ~NasScanManager() override;

    QString bonjourProtocal = QStringLiteral("KESTREL_DC");
    bool scanUninitServer = false;
    NasScanDelegate *scanDelegate = nullptr;
    int probeTimeoutMs = 10000;

    void start_Scan_Server();
    void stop_Scan_Server();
    bool isScanning() const { return m_scanning; }
    // Whether the desktop's discovery service took the last scan (false
    // when no mDNS daemon runs: then nothing can be found).
    bool isDiscoveryAvailable() const { return m_discoveryAvailable; }

    static QString uninitServiceType() { return QStringLiteral("_KESTREL_INIT._tcp."); }
    // The map of one resolved service (without `state`).
    static QVariantMap serverInformation(const ResolvedService &service);
    // The probe address of a server-information map.
    static QString scanHost(const QVariantMap &info);
    // Truth value of TXT text: after spaces, a sign and zeros, it starts
    // with Y, y, T, t or 1 to 9.
    static bool truthValue(const QByteArray &text);

private:
    void onResolved(const ResolvedService &service);
    void onRemoved(const QString &name);
    void probe(QVariantMap info);

    ServiceDiscovery *m_discovery;
    QNetworkAccessManager *m_manager;
    bool m_scanning = false;
    bool m_discoveryAvailable = true;
};

} // namespace flk
