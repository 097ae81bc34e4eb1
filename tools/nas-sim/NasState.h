// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "NasRss.h"
#include "NasSearch.h"
#include "NasSettings.h"
#include "NasTasks.h"

#include <QHash>
#include <QJsonObject>
#include <QMutex>
#include <QString>

#include <optional>

namespace nassim {

// The simulated unit's state: accounts, sessions and the download
// application. No HTTP here; the front maps requests onto these calls.
class NasState
{
public:
    struct Account {
        QString password;
        bool admin = false;
        enum Status { Active, Disabled, Expired } status = Active;
    };
    struct AppInfo {
        bool installed = true;
        bool enabled = true;
        bool accessible = true;
        QString version = QStringLiteral("2.3.1");
    };
    struct Identity {
        QString hostId = QStringLiteral("KS0011C32A7E");
        QString hostName = QStringLiteral("nas-sim");
        QString model = QStringLiteral("KS-N4");
        QString kosVersion = QStringLiteral("3.5.2.RBE1");
    };
    struct LoginResult {
        int errorCode = 0; // 0 on success
        QString sid;
        bool admin = false;
    };

    NasState();

    LoginResult login(const QString &account, const QString &password);
    bool logout(const QString &sid);
    // The account signed in with sid, if the session is live.
    std::optional<QString> sessionAccount(const QString &sid) const;
    void expireAllSessions();
    int sessionCount() const;

    void setAccount(const QString &name, const Account &account);
    bool isAdministrator(const QString &account) const;
    Identity identity() const;
    void setIdentity(const Identity &id);
    AppInfo app() const;
    void setApp(const AppInfo &app);

    // The download service's preferences of an account; none until set.
    std::optional<QJsonObject> preferences(const QString &account) const;
    void setPreferences(const QString &account, const QJsonObject &prefs);
    void clearPreferences(const QString &account);
    static QJsonObject defaultPreferences(const QString &folder);

    NasTasks &tasks() { return m_tasks; }
    NasSettings &settings() { return m_settings; }
    NasRss &rss() { return m_rss; }
    NasSearch &search() { return m_search; }

private:
    mutable QMutex m_mutex;
    QHash<QString, Account> m_accounts;
    QHash<QString, QString> m_sessions; // sid -> account
    QHash<QString, QJsonObject> m_preferences; // account -> record
    NasTasks m_tasks;
    NasSettings m_settings;
    NasRss m_rss;
    NasSearch m_search;
    Identity m_identity;
    AppInfo m_app;
    quint64 m_sidCounter = 0;
};

} // namespace nassim
