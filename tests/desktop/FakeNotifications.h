// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QVariantMap>

// A session bus of the test's own (dbus-daemon on a socket in a temporary
// folder), so nothing reaches the desktop the tests run on.
class PrivateBus
{
public:
    PrivateBus()
    {
        m_address = QStringLiteral("unix:path=") + m_dir.filePath(QStringLiteral("bus"));
        m_daemon.start(QStringLiteral("dbus-daemon"),
            { QStringLiteral("--session"), QStringLiteral("--nofork"),
                QStringLiteral("--nopidfile"), QStringLiteral("--address=") + m_address,
                QStringLiteral("--print-address=1") });
        if (!m_daemon.waitForStarted(5000) || !m_daemon.waitForReadyRead(5000))
            return;
        m_ok = true;
    }
    ~PrivateBus()
    {
        m_daemon.terminate();
        m_daemon.waitForFinished(3000);
    }
    bool ok() const { return m_ok; }
    QString address() const { return m_address; }
    // A new connection of its own name.
    QDBusConnection connect(const QString &name) const
    {
        return QDBusConnection::connectToBus(m_address, name);
    }

private:
    QTemporaryDir m_dir;
    QString m_address;
    QProcess m_daemon;
    bool m_ok = false;
};

struct NotifyCall {
    QString appName, icon, summary, body;
    QStringList actions;
    QVariantMap hints;
};

// Stands in for the desktop's notification service: records each Notify
// and can click one (emits ActionInvoked, as a desktop does).
class FakeNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    explicit FakeNotifications(QDBusConnection bus) : m_bus(bus)
    {
        m_registered = m_bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                           QDBusConnection::ExportAllSlots)
            && m_bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
    }
    bool registered() const { return m_registered; }
    QList<NotifyCall> calls;

    void click(uint id, const QString &action = QStringLiteral("default"))
    {
        QDBusMessage signal
            = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/Notifications"),
                QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("ActionInvoked"));
        signal << id << action;
        m_bus.send(signal);
    }

public slots:
    uint Notify(const QString &appName, uint replacesId, const QString &icon,
        const QString &summary, const QString &body, const QStringList &actions,
        const QVariantMap &hints, int timeout)
    {
        Q_UNUSED(replacesId);
        Q_UNUSED(timeout);
        calls.append({ appName, icon, summary, body, actions, hints });
        return uint(calls.size());
    }

private:
    QDBusConnection m_bus;
    bool m_registered = false;
};
