// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>

namespace flk {

// One resolved mDNS service.
struct ResolvedService {
    QString name; // instance name
    QString type; // such as "_KESTREL_DC._tcp."
    QList<QPair<QByteArray, QByteArray>> txt;
    QStringList ipv4Addresses; // in the order resolved
};

// The platform's service discovery behind a small interface, so the scan
// logic can be driven without a daemon. Signals arrive on the GUI thread.
class ServiceDiscovery : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    // Starts browsing a type ("_X._tcp."); false (and a log line) when the
    // platform's discovery is not available.
    virtual bool browse(const QString &type) = 0;
    virtual void stop() = 0;

signals:
    void serviceResolved(const flk::ResolvedService &service);
    void serviceRemoved(const QString &name, const QString &type);
};

// Avahi client on its own threaded poll.
class AvahiServiceDiscovery : public ServiceDiscovery
{
    Q_OBJECT

public:
    explicit AvahiServiceDiscovery(QObject *parent = nullptr);
    ~AvahiServiceDiscovery() override;
    bool browse(const QString &type) override;
    void stop() override;

    struct Private;

private:
    Private *d;
};

} // namespace flk
