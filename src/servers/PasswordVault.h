// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QJsonValue>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace flk {

class FavoriteObject;

// Where secrets can be kept: the desktop keyring, or a stand-in. Calls
// block until the store answers, so they are made on workers only.
class SecretStore
{
public:
    enum class Result { Ok, NotFound, Unavailable, Failed };
    virtual ~SecretStore() = default;
    virtual Result read(const QString &key, QString *secret) = 0;
    virtual Result write(const QString &key, const QString &secret) = 0;
    virtual Result remove(const QString &key) = 0;
    // What the store is, for the user ("the desktop keyring").
    virtual QString name() const = 0;
};

// The saved servers' passwords in a secret store. A record whose password
// moved there keeps no "password" member and is marked "password_in_keyring";
// older builds read such a record as one without a password.
class PasswordVault
{
public:
    explicit PasswordVault(std::unique_ptr<SecretStore> store);

    // Whether the store answers (asked once, then remembered). Worker thread.
    bool isAvailable();
    // Known after isAvailable() was asked; none before.
    std::optional<bool> knownAvailable() const;
    QString storeName() const { return m_store->name(); }

    // The key of a saved server: its account, address, port and kind.
    static QString keyFor(const FavoriteObject &record);

    // The password for a record: the record's own, else the store's, else
    // empty. Worker thread.
    QString passwordFor(const FavoriteObject &record);
    // Moves a record's password into the store; the record then holds none.
    // False (record unchanged) when the store is unavailable or refused.
    bool moveIntoStore(FavoriteObject &record);
    // Forgets a removed server's password.
    void forget(const QString &key);
    // The store keys of the records in a saved-server list whose password
    // moved to the store.
    static QStringList keysInStore(const QJsonValue &favorites);

    static constexpr const char *kInKeyringMember = "password_in_keyring";

private:
    std::unique_ptr<SecretStore> m_store;
    mutable QMutex m_mutex;
    std::optional<bool> m_available;
};

// The desktop keyring (Secret Service, KWallet) through QtKeychain, under
// the service name "Ferrylink".
std::unique_ptr<SecretStore> makeKeychainStore();

} // namespace flk
