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

    QList<Favorite> favorites() const;
    int count() const;
    DefaultsStore *defaults() const { return m_defaults; }
    Favorite get_Favorite_NAS(int index) const;
    // Signs in with a new record built from host, port, account, password,
    // use_https and is_cloud_id; keeps it only when that worked. Returns the
    // signed-in client (the caller owns it) or null.
    CgiCtrl *add_Favorite_NAS(const QVariantMap &info, Error *error);
    bool remove_Favorite_NAS(int index);
    // A null value removes the key. Saves; an invalid index does nothing.
    void update_Favorite_NAS(int index, const QString &key, const QJsonValue &value);
    CgiCtrl *login_Favorite_NAS(int index, Error *error);
    void cancel_Login();

    // Removal as the shell does it: when the default server goes, the first
    // remaining one becomes the default.
    bool removeServer(int index);
    // The double-click setting: index becomes the one default server.
    void setDefaultServer(int index);
    // Index of the first record marked default, or -1.
    int defaultIndex() const;

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

    bool bIsLogining() const { return m_isLogining; }
    bool bCancelLogin() const { return m_cancelLogin; }
    CgiCtrl *loginingCgiCtrl() const;

    // The relay under which a cloud ID resolves: $FERRYLINK_CLOUD_RELAY_DOMAIN,
    // else the defaults key "cloud_relay_domain", else the built-in one.
    QString cloudRelayDomain() const;
    // The base URL a record signs in at ("%@://%@:%@").
    QString serverAddress(const FavoriteObject &record) const;

    // Numeric-aware ordering of version texts: digit runs compare as numbers.
    static int compareVersions(const QString &a, const QString &b);

    // Internal steps of the sign-in.
    CgiCtrl *_login_Favorite_NAS(const Favorite &record, Error *error);
    static Error _get_Error_From_Cgi_Error_Code(const Error &cgiError);
    Error _check_Login_Server_Requirements(CgiCtrl *client);
    void _show_Login_Alert(const Error &error);

private:
    bool _save();
    void setLoginingCgiCtrl(CgiCtrl *c);
    bool cancelled() const { return m_cancelLogin; }

    DefaultsStore *m_defaults;
    mutable QMutex m_mutex; // the list, the requirement texts and loginingCgiCtrl
    QList<Favorite> m_favorites;
    QString m_appName, m_appPackage, m_appMinVersion, m_minVersion;
    std::atomic<bool> m_needAdministrator { false };
    std::atomic<bool> m_isLogining { false }, m_cancelLogin { false };
    CgiCtrl *m_loginingCgiCtrl = nullptr; // set only while a sign-in runs
};

} // namespace flk
