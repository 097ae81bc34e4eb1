// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

namespace nassim {

// The unit's shared-folder tree, weekly schedule and search sites.
class NasSettings
{
public:
    NasSettings();

    // Folders: a folder's id is its path ("/Download/Movies").
    QJsonArray shareFolders() const;
    std::optional<QJsonArray> subfolders(const QString &path) const;
    // Error code 0 on success.
    int createFolder(const QString &parent, const QString &name);
    bool folderExists(const QString &path) const;

    // Schedule in reply form (days as arrays of 24 integers).
    QJsonObject schedule() const;
    // From the set request's form (days as "v,v,...,v"); 0 or an error code.
    int setSchedule(const QMap<QString, QString> &form);

    struct Site {
        QString name, url, version;
        bool enable = true, accountSupport = false, custom = false;
        QString account, password;
    };
    QJsonArray sites() const;
    bool enableSite(const QString &name, bool enable);
    // Adds a plug-in by its file name ("name.dlm"); 0 or an error code.
    int addSite(const QString &fileName, const QByteArray &content);
    bool deleteSite(const QString &name);
    std::optional<QJsonObject> siteInfo(const QString &name) const;
    bool setSiteAccount(const QString &name, const QString &account, const QString &password);
    bool testSiteAccount(const QString &name, const QString &account, const QString &password);

private:
    mutable QMutex m_mutex;
    QSet<QString> m_folders; // every folder path
    QStringList m_shares; // top level, in order
    bool m_scheduleOn = false;
    int m_maxDown = 0, m_maxUp = 0;
    QMap<QString, QList<int>> m_days;
    QList<Site> m_sites;
};

} // namespace nassim
