// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "DesktopNotifier.h"

#include "api/Localization.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace flk {

namespace {
constexpr int kExpireMs = -1; // the service's default
const QString kDefaultAction = QStringLiteral("default");
} // namespace

DesktopNotifier::DesktopNotifier(QDBusConnection bus, QObject *parent)
    : QObject(parent), m_bus(std::move(bus))
{
    if (!m_bus.isConnected())
        return;
    const QString service = QString::fromLatin1(kService);
    const QString path = QString::fromLatin1(kPath);
    const QString iface = QString::fromLatin1(kInterface);
    m_bus.connect(service, path, iface, QStringLiteral("ActionInvoked"), this,
        SLOT(onActionInvoked(uint, QString)));
    m_bus.connect(service, path, iface, QStringLiteral("NotificationClosed"), this,
        SLOT(onClosed(uint, uint)));
}

bool DesktopNotifier::notify(const QString &summary, const QString &body, const Target &target)
{
    if (!m_enabled || !m_bus.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(kService),
        QString::fromLatin1(kPath), QString::fromLatin1(kInterface), QStringLiteral("Notify"));
    QVariantMap hints;
    if (!m_desktopEntry.isEmpty())
        hints.insert(QStringLiteral("desktop-entry"), m_desktopEntry);
    // The default action is what a click on the notification does.
    const QStringList actions { kDefaultAction, localized("NOTIFY_ACTION_SHOW") };
    call << m_appName << uint(0) << m_icon << summary << body << actions << hints << int(kExpireMs);
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
        [this, target](QDBusPendingCallWatcher *w) {
            w->deleteLater();
            const QDBusPendingReply<uint> reply = *w;
            if (reply.isError()) {
                emit delivered(0);
                return;
            }
            m_targets.insert(reply.value(), target);
            emit delivered(reply.value());
        });
    return true;
}

void DesktopNotifier::onActionInvoked(uint id, const QString &actionKey)
{
    const auto it = m_targets.constFind(id);
    if (it == m_targets.cend() || actionKey != kDefaultAction)
        return;
    const Target t = *it;
    emit activated(t.hostID, t.taskKey);
}

void DesktopNotifier::onClosed(uint id, uint)
{
    m_targets.remove(id);
}

} // namespace flk
