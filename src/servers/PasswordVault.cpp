// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "PasswordVault.h"

#include "FavoriteObject.h"

#include <QJsonArray>
#include <QJsonValue>
#include <QMutexLocker>

namespace flk {

PasswordVault::PasswordVault(std::unique_ptr<SecretStore> store) : m_store(std::move(store)) { }

bool PasswordVault::isAvailable()
{
    {
        QMutexLocker lock(&m_mutex);
        if (m_available)
            return *m_available;
    }
    // A key nobody writes: "not found" means the store answers.
    QString ignored;
    const SecretStore::Result r
        = m_store->read(QStringLiteral("ferrylink:availability-probe"), &ignored);
    const bool available = r == SecretStore::Result::Ok || r == SecretStore::Result::NotFound;
    QMutexLocker lock(&m_mutex);
    m_available = available;
    return available;
}

std::optional<bool> PasswordVault::knownAvailable() const
{
    QMutexLocker lock(&m_mutex);
    return m_available;
}

QString PasswordVault::keyFor(const FavoriteObject &record)
{
    return QStringLiteral("%1@%2:%3%4")
        .arg(record.account(), record.host(), record.port(),
            record.isCloudID() ? QStringLiteral(" (cloud)") : QString());
}

QString PasswordVault::passwordFor(const FavoriteObject &record)
{
    const QString own = record.password();
    if (!own.isEmpty() || !isAvailable())
        return own;
    QString secret;
    return m_store->read(keyFor(record), &secret) == SecretStore::Result::Ok ? secret : QString();
}

bool PasswordVault::moveIntoStore(FavoriteObject &record)
{
    const QString password = record.password();
    if (password.isEmpty() || !isAvailable())
        return false;
    if (m_store->write(keyFor(record), password) != SecretStore::Result::Ok)
        return false;
    // Only what the store gave back exactly leaves the file.
    QString check;
    if (m_store->read(keyFor(record), &check) != SecretStore::Result::Ok || check != password)
        return false;
    record.setValue(QStringLiteral("password"), QJsonValue());
    record.setValue(QLatin1String(kInKeyringMember), true);
    return true;
}

QStringList PasswordVault::keysInStore(const QJsonValue &favorites)
{
    QStringList keys;
    for (const QJsonValue &v : favorites.toArray()) {
        const FavoriteObject record(v.toObject());
        if (v.isObject() && v.toObject().value(QLatin1String(kInKeyringMember)).toBool())
            keys << keyFor(record);
    }
    return keys;
}

void PasswordVault::forget(const QString &key)
{
    if (isAvailable())
        m_store->remove(key);
}

} // namespace flk
