// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QMutex>
#include <QString>

namespace flk {

// The record member that keeps the server's public-key hash (hex SHA-256)
// from its first HTTPS sign-in.
inline constexpr const char *kPinnedKeyMember = "tls_key_sha256";

// One saved server: a string-keyed record stored as it is in the defaults
// file. Shared by reference between the store and its readers; every access
// is locked, so the sign-in may write it from a worker thread while the GUI
// reads it.
class FavoriteObject
{
public:
    FavoriteObject() = default;
    explicit FavoriteObject(const QJsonObject &record) : m_record(record) { }

    QJsonObject record() const;
    QJsonValue value(const QString &key) const;
    // A null or undefined value removes the key.
    void setValue(const QString &key, const QJsonValue &value);

    // Setters that leave the key unchanged when given a null string.
    void setHost(const QString &v);
    void setAccount(const QString &v);
    void setPassword(const QString &v);
    void setPort(const QString &v);
    void setEnableHttps(bool v);
    void setIsCloudID(bool v);

    // Values, or null strings when absent.
    QString host() const;
    QString account() const;
    QString password() const;
    QString port() const;
    QString hostID() const;
    QString firmwareVersion() const;
    QString serverModel() const;
    // "" when absent.
    QString serverName() const;
    bool enableHttps() const;
    bool isCloudID() const;
    bool isDefault() const;

    // The truth value of a stored value (numbers, booleans, numeric text).
    static bool truthValue(const QJsonValue &v);

private:
    QString text(const char *key) const;
    void setText(const char *key, const QString &v);

    mutable QMutex m_mutex;
    QJsonObject m_record;
};

} // namespace flk
