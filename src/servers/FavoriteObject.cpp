// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "FavoriteObject.h"

namespace flk {

QJsonObject FavoriteObject::record() const
{
    QMutexLocker lock(&m_mutex);
    return m_record;
}

QJsonValue FavoriteObject::value(const QString &key) const
{
    QMutexLocker lock(&m_mutex);
    return m_record.value(key);
}

void FavoriteObject::setValue(const QString &key, const QJsonValue &value)
{
    QMutexLocker lock(&m_mutex);
    if (value.isNull() || value.isUndefined())
        m_record.remove(key);
    else
        m_record.insert(key, value);
}

QString FavoriteObject::text(const char *key) const
{
    const QJsonValue v = value(QLatin1String(key));
    if (v.isString())
        return v.toString();
    if (v.isDouble()) // a hand-edited file may hold a number
        return QString::number(v.toInteger());
    return QString();
}

void FavoriteObject::setText(const char *key, const QString &v)
{
    if (!v.isNull())
        setValue(QLatin1String(key), v);
}

void FavoriteObject::setHost(const QString &v)
{
    setText("host", v);
}
void FavoriteObject::setAccount(const QString &v)
{
    setText("account", v);
}
void FavoriteObject::setPassword(const QString &v)
{
    setText("password", v);
}
void FavoriteObject::setPort(const QString &v)
{
    setText("port", v);
}
void FavoriteObject::setEnableHttps(bool v)
{
    setValue(QStringLiteral("use_https"), v);
}
void FavoriteObject::setIsCloudID(bool v)
{
    setValue(QStringLiteral("is_cloud_id"), v);
}

QString FavoriteObject::host() const
{
    return text("host");
}
QString FavoriteObject::account() const
{
    return text("account");
}
QString FavoriteObject::password() const
{
    return text("password");
}
QString FavoriteObject::port() const
{
    return text("port");
}
QString FavoriteObject::hostID() const
{
    return text("host_id");
}
QString FavoriteObject::firmwareVersion() const
{
    return text("firmware_version");
}
QString FavoriteObject::serverModel() const
{
    return text("server_model");
}

QString FavoriteObject::serverName() const
{
    const QString s = text("server_name");
    return s.isNull() ? QStringLiteral("") : s;
}

bool FavoriteObject::truthValue(const QJsonValue &v)
{
    if (v.isBool())
        return v.toBool();
    if (v.isDouble())
        return v.toDouble() != 0;
    if (v.isString()) {
        const QString s = v.toString().trimmed().toLower();
        return s == QLatin1String("true") || s == QLatin1String("yes") || s.toLongLong() != 0;
    }
    return false;
}

bool FavoriteObject::enableHttps() const
{
    return truthValue(value(QStringLiteral("use_https")));
}
bool FavoriteObject::isCloudID() const
{
    return truthValue(value(QStringLiteral("is_cloud_id")));
}
bool FavoriteObject::isDefault() const
{
    return truthValue(value(QStringLiteral("default")));
}

} // namespace flk
