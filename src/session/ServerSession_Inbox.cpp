// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// The session's hand-over inbox (files and links the desktop gave Ferrylink,
// kept in the defaults until they went to the NAS) and the desktop's
// requests for a task or the preferences.
#include "ServerSession.h"

#include "api/NotificationCenter.h"
#include "api/Notifications.h"
#include "models/TaskIntake.h"
#include "servers/DefaultsStore.h"
#include "servers/FavoriteObject.h"
#include "tasks/TaskListController.h"

#include <QJsonArray>
#include <QPointer>

namespace flk {

// ---- the hand-over inbox ----------------------------------------------------

void ServerSession::_deliver_Open_With()
{
    if (!isSignedIn())
        return;
    DefaultsStore *defaults = m_favorites->defaults();
    const QJsonValue waiting
        = defaults ? defaults->value(QLatin1String(kDefaultsOpenWithKey)) : QJsonValue();
    if (waiting.isArray() && !waiting.toArray().isEmpty())
        on_Open_With(Notification { QString::fromLatin1(kNOTIFY_OPEN_WITH_TORRENT), this,
            { { QStringLiteral("torrents"), waiting.toArray().toVariantList() } } });
}

void ServerSession::on_Open_With(const Notification &n)
{
    const auto mine = record();
    if (!mine || !mine->isDefault())
        return;
    const QStringList items = n.userInfo.value(QStringLiteral("torrents")).toStringList();
    if (items.isEmpty())
        return;
    DefaultsStore *defaults = m_favorites->defaults();
    // Kept in "open_with" until it went to the NAS; what waits there
    // already stays (a second hand-over before the first went is added).
    QStringList keep = defaults ? QJsonValue(defaults->value(QLatin1String(kDefaultsOpenWithKey)))
                                      .toVariant()
                                      .toStringList()
                                : QStringList();
    for (const QString &item : items) {
        if (!keep.contains(item))
            keep << item;
    }
    if (defaults
        && defaults->value(QLatin1String(kDefaultsOpenWithKey))
            != QJsonArray::fromStringList(keep)) {
        defaults->setValue(QLatin1String(kDefaultsOpenWithKey), QJsonArray::fromStringList(keep));
        defaults->synchronize();
    }
    // Before the sign-in is done they wait; it delivers them.
    if (!isSignedIn() || m_state == State::SigningIn)
        return;
    const TaskIntake::Items parts = TaskIntake::handedOverItems(keep);
    QPointer<ServerSession> self(this);
    m_taskList->on_Open_With_Items(parts.files, parts.links, [self, keep](bool sent) {
        if (!self)
            return;
        if (!sent) {
            // The NAS has no download preferences yet: they come first.
            emit self->defaultFolderRequested();
            return;
        }
        DefaultsStore *defaults = self->m_favorites->defaults();
        if (!defaults)
            return;
        // Only what went is taken out; a hand-over that came meanwhile stays.
        QStringList left = QJsonValue(defaults->value(QLatin1String(kDefaultsOpenWithKey)))
                               .toVariant()
                               .toStringList();
        for (const QString &item : keep)
            left.removeAll(item);
        if (left.isEmpty())
            defaults->removeValue(QLatin1String(kDefaultsOpenWithKey));
        else
            defaults->setValue(
                QLatin1String(kDefaultsOpenWithKey), QJsonArray::fromStringList(left));
        defaults->synchronize();
    });
}

// ---- requests from the desktop ----------------------------------------------

void ServerSession::showTask(const QString &taskKey)
{
    emit categorySelectRequested(0);
    selectFeature(kFeatureDownloads);
    m_taskList->selectTask(taskKey);
}

void ServerSession::requestPreferences()
{
    if (isSignedIn())
        emit preferencesRequested();
}

} // namespace flk
