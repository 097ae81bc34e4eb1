// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "FavoriteManager.h"

#include "DefaultsStore.h"
#include "PasswordVault.h"
#include "ReachabilityMonitor.h"
#include "api/CgiCtrl.h"
#include "api/Work.h"

#include <QJsonArray>

namespace flk {

FavoriteManager::FavoriteManager(DefaultsStore *defaults, QObject *parent)
    : QObject(parent), m_defaults(defaults)
{
    m_favorites = recordsFrom(m_defaults->value(QLatin1String(kDefaultsFavoritesKey)));
    ReachabilityMonitor::shared()->start();
}

QList<FavoriteManager::Favorite> FavoriteManager::recordsFrom(const QJsonValue &stored)
{
    QList<Favorite> out;
    if (!stored.isUndefined() && !stored.isArray())
        qWarning("Ferrylink: the saved servers are not a list; starting without servers");
    for (const QJsonValue &v : stored.toArray()) {
        if (v.isObject())
            out.append(std::make_shared<FavoriteObject>(v.toObject()));
        else
            qWarning("Ferrylink: skipping a saved server that is not a record");
    }
    return out;
}

FavoriteManager *FavoriteManager::sharedFavoriteManager()
{
    static FavoriteManager *shared = new FavoriteManager(DefaultsStore::standardDefaults());
    return shared;
}

QList<FavoriteManager::Favorite> FavoriteManager::favorites() const
{
    QMutexLocker lock(&m_mutex);
    return m_favorites;
}

int FavoriteManager::count() const
{
    QMutexLocker lock(&m_mutex);
    return int(m_favorites.size());
}

FavoriteManager::Favorite FavoriteManager::get_Favorite_NAS(int index) const
{
    QMutexLocker lock(&m_mutex);
    if (index < 0 || index >= m_favorites.size())
        return nullptr;
    return m_favorites.at(index);
}

bool FavoriteManager::_save()
{
    QJsonArray array;
    {
        QMutexLocker lock(&m_mutex);
        for (const Favorite &f : std::as_const(m_favorites))
            array.append(f->record());
    }
    m_defaults->setValue(QLatin1String(kDefaultsFavoritesKey), array);
    return m_defaults->synchronize();
}

CgiCtrl *FavoriteManager::add_Favorite_NAS(
    const QVariantMap &info, Error *error, const LoginHandle &given)
{
    const LoginHandle attempt = given ? given : newLoginAttempt();
    auto record = std::make_shared<FavoriteObject>();
    record->setHost(info.value(QStringLiteral("host")).toString());
    record->setIsCloudID(FavoriteObject::truthValue(
        QJsonValue::fromVariant(info.value(QStringLiteral("is_cloud_id")))));
    record->setAccount(info.value(QStringLiteral("account")).toString());
    record->setPassword(info.value(QStringLiteral("password")).toString());
    record->setEnableHttps(FavoriteObject::truthValue(
        QJsonValue::fromVariant(info.value(QStringLiteral("use_https")))));
    record->setPort(info.value(QStringLiteral("port")).toString());

    Error err;
    begin(attempt);
    CgiCtrl *client = _login_Favorite_NAS(record, &err, *attempt, nullptr);
    end(attempt);
    setError(error, err);
    if (!err.isError()) {
        keepPasswordInVault(record);
        {
            QMutexLocker lock(&m_mutex);
            m_favorites.append(record);
        }
        _save();
    } else {
        _show_Login_Alert(err);
    }
    return client;
}

bool FavoriteManager::remove_Favorite_NAS(int index)
{
    {
        QMutexLocker lock(&m_mutex);
        if (index < 0 || index >= m_favorites.size())
            return false;
        m_favorites.removeAt(index);
    }
    _save();
    return true;
}

void FavoriteManager::update_Favorite_NAS(int index, const QString &key, const QJsonValue &value)
{
    const Favorite f = get_Favorite_NAS(index);
    if (!f)
        return;
    f->setValue(key, value);
    _save();
}

bool FavoriteManager::removeServer(int index)
{
    const Favorite f = get_Favorite_NAS(index);
    if (!f)
        return false;
    // Its password leaves the keyring too (on a worker: the keyring may be
    // slow to answer).
    if (const std::shared_ptr<PasswordVault> vault = passwordVault()) {
        const QString key = PasswordVault::keyFor(*f);
        runWork(
            this, [vault, key] { vault->forget(key); }, [] {});
    }
    const bool wasDefault = f->isDefault();
    remove_Favorite_NAS(index);
    if (wasDefault && count() > 0)
        update_Favorite_NAS(0, QStringLiteral("default"), true);
    return true;
}

void FavoriteManager::setDefaultServer(int index)
{
    const int n = count();
    for (int i = 0; i < n; ++i)
        update_Favorite_NAS(i, QStringLiteral("default"), i == index ? 1 : 0);
}

int FavoriteManager::defaultIndex() const
{
    const QList<Favorite> all = favorites();
    for (int i = 0; i < all.size(); ++i) {
        if (all[i]->isDefault())
            return i;
    }
    return -1;
}

#define FLK_LOCKED_TEXT(getter, setter, member)                                                    \
    QString FavoriteManager::getter() const                                                        \
    {                                                                                              \
        QMutexLocker lock(&m_mutex);                                                               \
        return member;                                                                             \
    }                                                                                              \
    void FavoriteManager::setter(const QString &v)                                                 \
    {                                                                                              \
        QMutexLocker lock(&m_mutex);                                                               \
        member = v;                                                                                \
    }

FLK_LOCKED_TEXT(appName, setAppName, m_appName)
FLK_LOCKED_TEXT(appPackage, setAppPackage, m_appPackage)
FLK_LOCKED_TEXT(appMinVersion, setAppMinVersion, m_appMinVersion)
FLK_LOCKED_TEXT(minVersion, setMinVersion, m_minVersion)
#undef FLK_LOCKED_TEXT

// ---- sign-in attempts ---------------------------------------------------------

CgiCtrl *LoginAttempt::client() const
{
    QMutexLocker lock(&m_mutex);
    return m_client;
}

void LoginAttempt::setClient(CgiCtrl *c)
{
    QMutexLocker lock(&m_mutex);
    m_client = c;
}

void LoginAttempt::cancel()
{
    m_cancelled = true;
    // Whatever request the sign-in waits for ends now; the sign-in sees the
    // flag after it and reports the cancellation.
    QMutexLocker lock(&m_mutex);
    if (m_client)
        m_client->_cancel_All_Requests();
}

LoginHandle FavoriteManager::newLoginAttempt()
{
    return std::make_shared<LoginAttempt>();
}

void FavoriteManager::begin(const LoginHandle &attempt)
{
    attempt->m_running = true;
    QMutexLocker lock(&m_mutex);
    m_running.append(attempt);
}

void FavoriteManager::end(const LoginHandle &attempt)
{
    attempt->setClient(nullptr);
    // Not running before the cancel flag clears: whoever sees the flag
    // cleared also sees the attempt ended.
    attempt->m_running = false;
    attempt->m_cancelled = false;
    QMutexLocker lock(&m_mutex);
    m_running.removeAll(attempt);
}

LoginHandle FavoriteManager::currentAttempt() const
{
    QMutexLocker lock(&m_mutex);
    return m_running.isEmpty() ? nullptr : m_running.last();
}

bool FavoriteManager::bIsLogining() const
{
    return runningLoginCount() > 0;
}

bool FavoriteManager::bCancelLogin() const
{
    const LoginHandle current = currentAttempt();
    return current && current->isCancelled();
}

CgiCtrl *FavoriteManager::loginingCgiCtrl() const
{
    const LoginHandle current = currentAttempt();
    return current ? current->client() : nullptr;
}

int FavoriteManager::runningLoginCount() const
{
    QMutexLocker lock(&m_mutex);
    return int(m_running.size());
}

void FavoriteManager::cancel_Login()
{
    if (const LoginHandle current = currentAttempt())
        current->cancel();
}

void FavoriteManager::cancel_Login(const LoginHandle &attempt)
{
    if (attempt)
        attempt->cancel();
}

void FavoriteManager::setPasswordVault(std::shared_ptr<PasswordVault> vault)
{
    QMutexLocker lock(&m_mutex);
    m_vault = std::move(vault);
}

std::shared_ptr<PasswordVault> FavoriteManager::passwordVault() const
{
    QMutexLocker lock(&m_mutex);
    return m_vault;
}

FavoriteManager::PasswordStorage FavoriteManager::passwordStorage() const
{
    const std::shared_ptr<PasswordVault> vault = passwordVault();
    if (!vault)
        return PasswordStorage::DefaultsFile;
    const std::optional<bool> available = vault->knownAvailable();
    if (!available)
        return PasswordStorage::NotKnownYet;
    return *available ? PasswordStorage::Keyring : PasswordStorage::DefaultsFile;
}

QString FavoriteManager::passwordFor(const FavoriteObject &record) const
{
    const std::shared_ptr<PasswordVault> vault = passwordVault();
    return vault ? vault->passwordFor(record) : record.password();
}

void FavoriteManager::keepPasswordInVault(const Favorite &record)
{
    if (const std::shared_ptr<PasswordVault> vault = passwordVault())
        vault->moveIntoStore(*record);
}

int FavoriteManager::migratePasswords()
{
    const std::shared_ptr<PasswordVault> vault = passwordVault();
    if (!vault || !vault->isAvailable())
        return 0;
    int moved = 0;
    for (const Favorite &f : favorites()) {
        if (vault->moveIntoStore(*f))
            ++moved;
    }
    if (moved > 0)
        _save();
    return moved;
}

} // namespace flk
