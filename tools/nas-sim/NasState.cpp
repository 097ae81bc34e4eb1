// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "NasState.h"

#include <QDateTime>

#include <QRandomGenerator>

namespace nassim {

NasState::NasState() : m_rss(QDateTime::currentSecsSinceEpoch())
{
    m_accounts.insert(QStringLiteral("admin"), { QStringLiteral("admin"), true, Account::Active });
    m_accounts.insert(QStringLiteral("guest"), { QStringLiteral("guest"), false, Account::Active });
    m_accounts.insert(
        QStringLiteral("disabled"), { QStringLiteral("disabled"), false, Account::Disabled });
    m_accounts.insert(
        QStringLiteral("expired"), { QStringLiteral("expired"), false, Account::Expired });
    m_preferences.insert(QStringLiteral("admin"), defaultPreferences(QStringLiteral("/Download")));
}

QJsonObject NasState::defaultPreferences(const QString &folder)
{
    return QJsonObject { { QStringLiteral("max_dl_number"), 5 },
        { QStringLiteral("enable_share_ratio"), false }, { QStringLiteral("share_ratio"), 100 },
        { QStringLiteral("enable_auto_remove"), false },
        { QStringLiteral("default_dl_dir"), folder },
        { QStringLiteral("incomplete_dir"), folder + QStringLiteral("/.incomplete") },
        { QStringLiteral("enable_watch"), false }, { QStringLiteral("watch_dir"), folder },
        { QStringLiteral("ignore_other_user"), false }, { QStringLiteral("enable_apns"), false },
        { QStringLiteral("enable_guide"), true }, { QStringLiteral("port"), 6881 },
        { QStringLiteral("enable_encryption"), true }, { QStringLiteral("enable_dht"), true },
        { QStringLiteral("enable_max_dl_rate"), false }, { QStringLiteral("max_dl_rate"), 0 },
        { QStringLiteral("enable_max_up_rate"), false }, { QStringLiteral("max_up_rate"), 0 },
        { QStringLiteral("max_conn"), 200 }, { QStringLiteral("max_conn_per_peer"), 50 },
        { QStringLiteral("enable_http_ftp_speed_limit"), false },
        { QStringLiteral("http_ftp_speed_limit"), 0 } };
}

std::optional<QJsonObject> NasState::preferences(const QString &account) const
{
    QMutexLocker lock(&m_mutex);
    const auto it = m_preferences.constFind(account);
    if (it == m_preferences.constEnd())
        return std::nullopt;
    return *it;
}

void NasState::setPreferences(const QString &account, const QJsonObject &prefs)
{
    QMutexLocker lock(&m_mutex);
    m_preferences.insert(account, prefs);
}

void NasState::clearPreferences(const QString &account)
{
    QMutexLocker lock(&m_mutex);
    m_preferences.remove(account);
}

NasState::LoginResult NasState::login(const QString &account, const QString &password)
{
    QMutexLocker lock(&m_mutex);
    const auto it = m_accounts.constFind(account);
    if (it == m_accounts.constEnd() || it->password != password)
        return { 5001, {}, false };
    if (it->status == Account::Disabled)
        return { 5002, {}, false };
    if (it->status == Account::Expired)
        return { 5003, {}, false };
    const QString sid = QStringLiteral("%1%2")
                            .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'))
                            .arg(++m_sidCounter);
    m_sessions.insert(sid, account);
    return { 0, sid, it->admin };
}

bool NasState::logout(const QString &sid)
{
    QMutexLocker lock(&m_mutex);
    return m_sessions.remove(sid) > 0;
}

std::optional<QString> NasState::sessionAccount(const QString &sid) const
{
    QMutexLocker lock(&m_mutex);
    const auto it = m_sessions.constFind(sid);
    if (sid.isEmpty() || it == m_sessions.constEnd())
        return std::nullopt;
    return *it;
}

void NasState::expireAllSessions()
{
    QMutexLocker lock(&m_mutex);
    m_sessions.clear();
}

int NasState::sessionCount() const
{
    QMutexLocker lock(&m_mutex);
    return int(m_sessions.size());
}

void NasState::setAccount(const QString &name, const Account &account)
{
    QMutexLocker lock(&m_mutex);
    m_accounts.insert(name, account);
}

bool NasState::isAdministrator(const QString &account) const
{
    QMutexLocker lock(&m_mutex);
    return m_accounts.value(account).admin;
}

NasState::Identity NasState::identity() const
{
    QMutexLocker lock(&m_mutex);
    return m_identity;
}

void NasState::setIdentity(const Identity &id)
{
    QMutexLocker lock(&m_mutex);
    m_identity = id;
}

NasState::AppInfo NasState::app() const
{
    QMutexLocker lock(&m_mutex);
    return m_app;
}

void NasState::setApp(const AppInfo &app)
{
    QMutexLocker lock(&m_mutex);
    m_app = app;
}

} // namespace nassim
