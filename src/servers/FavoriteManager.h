// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "FavoriteObject.h"
#include "api/Error.h"

#include <QJsonValue>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QVariantMap>

#include <atomic>
#include <memory>

namespace flk {

class CgiCtrl;
class DefaultsStore;
class PasswordVault;

// One sign-in: its own cancel flag and its own client while it runs, so
// sign-ins to several servers (and the add-server wizard's) at once never
// end or cancel each other.
class LoginAttempt
{
public:
    bool isRunning() const { return m_running; }
    bool isCancelled() const { return m_cancelled; }
    // The client being signed in (null before it is made and after the end).
    CgiCtrl *client() const;
    // Asks this sign-in to stop: a request it waits for ends now; one that
    // has not started stops before it makes its client.
    void cancel();

private:
    friend class FavoriteManager;
    void setClient(CgiCtrl *c);

    mutable QMutex m_mutex;
    CgiCtrl *m_client = nullptr;
    std::atomic<bool> m_running { false }, m_cancelled { false };
};
using LoginHandle = std::shared_ptr<LoginAttempt>;

// The saved NAS servers (at most three, enforced by the shell), in the order
// they were added, and the sign-in to each of them.
class FavoriteManager : public QObject
{
    Q_OBJECT

public:
    using Favorite = std::shared_ptr<FavoriteObject>;

    // A store over the given defaults (not owned); loads the list at once.
    explicit FavoriteManager(DefaultsStore *defaults, QObject *parent = nullptr);
    // The one store of the application, over the standard defaults file.
    static FavoriteManager *sharedFavoriteManager();
    // The saved servers of a defaults value (entries that are not records
    // are skipped).
    static QList<Favorite> recordsFrom(const QJsonValue &stored);

    QList<Favorite> favorites() const;
    int count() const;
    DefaultsStore *defaults() const { return m_defaults; }
    Favorite get_Favorite_NAS(int index) const;
    // Signs in with a new record built from host, port, account, password,
    // use_https and is_cloud_id; keeps it only when that worked. Returns the
    // signed-in client (the caller owns it) or null. attempt: the caller's
    // handle on this sign-in (a fresh one when empty).
    CgiCtrl *add_Favorite_NAS(
        const QVariantMap &info, Error *error, const LoginHandle &attempt = {});
    bool remove_Favorite_NAS(int index);
    // A null value removes the key. Saves; an invalid index does nothing.
    void update_Favorite_NAS(int index, const QString &key, const QJsonValue &value);
    // reuse: sign in on this client (signed out first if it was signed in)
    // instead of a new one; on failure it is left signed out, not deleted.
    CgiCtrl *login_Favorite_NAS(
        int index, Error *error, const LoginHandle &attempt = {}, CgiCtrl *reuse = nullptr);
    // A handle for a sign-in about to start (cancellable before it runs).
    LoginHandle newLoginAttempt();
    // Cancels the current sign-in (the latest one still running).
    void cancel_Login();
    void cancel_Login(const LoginHandle &attempt);

    // Removal as the shell does it: when the default server goes, the first
    // remaining one becomes the default.
    bool removeServer(int index);
    // The double-click setting: index becomes the one default server.
    void setDefaultServer(int index);
    // Index of the first record marked default, or -1.
    int defaultIndex() const;

    // Saved passwords in the desktop keyring: with a vault set, sign-ins
    // take a record's password from it when the record holds none, new
    // servers' passwords go there, and removed servers' are forgotten.
    void setPasswordVault(std::shared_ptr<PasswordVault> vault);
    std::shared_ptr<PasswordVault> passwordVault() const;
    // Moves the passwords still in the defaults file into the vault (those
    // the vault refuses stay). Returns how many moved. Worker thread.
    int migratePasswords();
    // Where saved passwords are kept, for the user.
    enum class PasswordStorage { DefaultsFile, Keyring, NotKnownYet };
    PasswordStorage passwordStorage() const;

    // Requirements checked after signing in.
    QString appName() const;
    void setAppName(const QString &v);
    QString appPackage() const;
    void setAppPackage(const QString &v);
    QString appMinVersion() const;
    void setAppMinVersion(const QString &v);
    QString minVersion() const;
    void setMinVersion(const QString &v);
    bool needAdministrator() const { return m_needAdministrator; }
    void setNeedAdministrator(bool v) { m_needAdministrator = v; }

    // Views of the current sign-in: whether one runs, whether it was asked
    // to stop, its client.
    bool bIsLogining() const;
    bool bCancelLogin() const;
    CgiCtrl *loginingCgiCtrl() const;
    // Sign-ins running now.
    int runningLoginCount() const;

    // The relay under which a cloud ID resolves: $FERRYLINK_CLOUD_RELAY_DOMAIN,
    // else the defaults key "cloud_relay_domain", else the built-in one.
    QString cloudRelayDomain() const;
    // The base URL a record signs in at ("%@://%@:%@").
    QString serverAddress(const FavoriteObject &record) const;

    // Numeric-aware ordering of version texts: digit runs compare as numbers.
    static int compareVersions(const QString &a, const QString &b);

    // Internal steps of the sign-in.
    CgiCtrl *_login_Favorite_NAS(
        const Favorite &record, Error *error, LoginAttempt &attempt, CgiCtrl *reuse);
    static Error _get_Error_From_Cgi_Error_Code(const Error &cgiError);
    Error _check_Login_Server_Requirements(CgiCtrl *client, const LoginAttempt &attempt);
    void _show_Login_Alert(const Error &error, const Favorite &record = nullptr);
    // The key-changed question: trust the new key (kept, then sign in
    // again) or not (the sign-in fails).
    void _ask_Trust_New_Key(const Error &error, const Favorite &record);

private:
    bool _save();
    LoginHandle currentAttempt() const;
    void begin(const LoginHandle &attempt);
    void end(const LoginHandle &attempt);

    QString passwordFor(const FavoriteObject &record) const;
    void keepPasswordInVault(const Favorite &record);

    DefaultsStore *m_defaults;
    std::shared_ptr<PasswordVault> m_vault;
    mutable QMutex m_mutex; // the list, the requirement texts and the sign-ins
    QList<Favorite> m_favorites;
    QString m_appName, m_appPackage, m_appMinVersion, m_minVersion;
    std::atomic<bool> m_needAdministrator { false };
    QList<LoginHandle> m_running; // in the order they started
};

} // namespace flk
