// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QDBusConnection>
#include <QHash>
#include <QObject>
#include <QString>

namespace flk {

// Desktop notifications through the freedesktop notification service on
// the session bus. Calls are asynchronous and fire-and-forget: without a
// bus or a service nothing waits and nothing fails. A notification that is
// clicked (its default action) comes back as activated() with what it was
// about.
class DesktopNotifier : public QObject
{
    Q_OBJECT

public:
    static constexpr const char *kService = "org.freedesktop.Notifications";
    static constexpr const char *kPath = "/org/freedesktop/Notifications";
    static constexpr const char *kInterface = "org.freedesktop.Notifications";

    // What a notification points at: a server and, optionally, a task.
    struct Target {
        QString hostID;
        QString taskKey;
    };

    explicit DesktopNotifier(
        QDBusConnection bus = QDBusConnection::sessionBus(), QObject *parent = nullptr);

    // The desktop file's name (without ".desktop"), sent as a hint so the
    // desktop shows the application's name and icon.
    void setDesktopEntry(const QString &id) { m_desktopEntry = id; }
    void setAppName(const QString &name) { m_appName = name; }
    void setIconName(const QString &name) { m_icon = name; }

    // Off: notify() sends nothing.
    void setEnabled(bool on) { m_enabled = on; }
    bool isEnabled() const { return m_enabled; }

    // Sends one notification (when enabled and a bus is there). Returns
    // whether a call went out.
    bool notify(const QString &summary, const QString &body, const Target &target);

    // Notifications sent and not yet closed (tests).
    int openCount() const { return int(m_targets.size()); }

signals:
    void activated(const QString &hostID, const QString &taskKey);
    // The service answered a call (tests): the id it gave, 0 on an error.
    void delivered(uint id);

private slots:
    void onActionInvoked(uint id, const QString &actionKey);
    void onClosed(uint id, uint reason);

private:
    QDBusConnection m_bus;
    QString m_appName = QStringLiteral("Ferrylink");
    QString m_desktopEntry;
    QString m_icon;
    bool m_enabled = true;
    QHash<uint, Target> m_targets;
};

} // namespace flk
