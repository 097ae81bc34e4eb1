// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "Installation.h"
#include "PurgehandClient.h"
#include "servers/PasswordVault.h"

#include <QObject>
#include <QSet>
#include <QStringList>

#include <functional>
#include <memory>

class QProcess;

namespace sweepdeck {

// One uninstallation, without widgets: the package check, starting the
// helper (the authorisation), and the removal run in its stages with their
// progress values. Installed files go through the helper; the user's own
// cache and settings are removed here, as the user. A removal that fails is
// remembered (a path already gone is not a failure) and the run goes on.
class UninstallRun : public QObject
{
    Q_OBJECT

public:
    enum class State { Idle, Checking, Authorising, Running, Finished };
    Q_ENUM(State)

    UninstallRun(
        const Installation &installation, const UninstallKeys &keys, QObject *parent = nullptr);

    void setRemovePreferences(bool on) { m_removePreferences = on; }
    bool removePreferences() const { return m_removePreferences; }
    // Tests start the helper directly (as the same user: it grants nothing).
    void setUsePkexec(bool on) { m_usePkexec = on; }
    void setPkexecProgram(const QString &program) { m_client->setPkexecProgram(program); }
    // The program asked which package owns a file ("dpkg-query -S").
    void setPackageQueryProgram(const QString &program) { m_packageQuery = program; }
    // Where the saved servers' passwords are (the desktop keyring unless a
    // test gives another store).
    using StoreFactory = std::function<std::unique_ptr<flk::SecretStore>()>;
    void setSecretStoreFactory(StoreFactory factory) { m_storeFactory = std::move(factory); }

    State state() const { return m_state; }
    int progress() const { return m_progress; }
    // "path: reason" for each removal that failed.
    QStringList failures() const { return m_failures; }
    // How many files, folders and keyring entries this run removed.
    int removedCount() const { return m_removed; }
    // Packages that own installed files (those files were left alone).
    QStringList packages() const { return m_packages; }
    const Installation &installation() const { return m_installation; }
    const UninstallKeys &keys() const { return m_keys; }

    // The uninstall button.
    void start();

signals:
    void stateChanged(sweepdeck::UninstallRun::State state);
    // The authorisation ended without a run (Dismissed: the user cancelled
    // the dialog, not news; Refused or Failed: tell the user).
    void authorisationEnded(sweepdeck::PurgehandClient::Start outcome, const QString &detail);
    void progressChanged(int progress);
    void finished(bool complete);

private:
    struct Stage {
        int progress;
        std::function<void(std::function<void()> next)> work;
    };
    void setState(State s);
    void queryPackages();
    void onPackages(const QByteArray &output);
    void authorise();
    void buildStages();
    void runStage(int index);
    // Through the helper, one after another; folders: kept when not empty.
    void removeInstalled(const QStringList &paths, bool folders, std::function<void()> next);
    void removeUserFile(const QString &path);
    // The keyring entries of the saved servers in the settings file, removed
    // on a worker (the keyring is asked synchronously there); then next.
    void removeKeyringEntries(const QString &defaultsFile, std::function<void()> next);
    // Removes the entries of folder whose names match patterns (files and
    // links only), then the folder when nothing else is left in it: what
    // Ferrylink made goes by name, anything else in it stays.
    void removeOwnEntries(const QString &folder, const QStringList &patterns,
        const QList<QPair<QString, QStringList>> &subfolders = {});

    Installation m_installation;
    UninstallKeys m_keys;
    PurgehandClient *m_client;
    QProcess *m_query = nullptr;
    QString m_packageQuery = QStringLiteral("dpkg-query");
    State m_state = State::Idle;
    bool m_removePreferences = false;
    bool m_usePkexec = true;
    bool m_helperWanted = false;
    int m_progress = 0;
    int m_removed = 0;
    QSet<QString> m_owned;
    QStringList m_packages, m_failures;
    QList<Stage> m_stages;
    StoreFactory m_storeFactory;
};

} // namespace sweepdeck
