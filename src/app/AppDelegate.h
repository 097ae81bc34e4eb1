// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "api/CgiErrorRules.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>

class QMainWindow;
class QMenuBar;

namespace flk {

class FavoriteManager;
class FLKMainViewController;
class DefaultsStore;
class DesktopIntegration;
class ServerSession;
class StatisticsWindow;

// The application: start-up, the main window and menu, the menu actions, the
// live-update launch; and, as every API client's delegate, the rules for
// presenting request errors.
class AppDelegate : public QObject, public AppCgiDelegate
{
    Q_OBJECT

public:
    AppDelegate(FavoriteManager *favorites, DefaultsStore *defaults, QObject *parent = nullptr);
    ~AppDelegate() override;

    void applicationDidFinishLaunching();
    bool applicationShouldTerminateAfterLastWindowClosed() const { return true; }
    // Files handed over by the desktop (before or after launch).
    void application_openFiles(const QStringList &paths);

    QMainWindow *mainWindow() const { return m_window; }
    DesktopIntegration *desktop() const { return m_desktop; }
    // Tab of the next or previous server (wrapping).
    void on_Next_Server();
    void on_Previous_Server();
    FLKMainViewController *mainViewController() const { return m_main; }
    bool launched() const { return m_launched; }
    QStringList aryOpenWithFiles;

    void on_Add_NAS();
    void on_Remove_NAS();
    void on_Reconnect_Nas();
    // The current server's speed statistics window.
    void on_Speed_Statistics();
    void on_DB_Click_Action();
    void ToDBClickActionSheet();
    void on_Live_Update();
    void on_About();
    void on_Preferences();
    // Where saved passwords are kept, as the About dialog says it.
    QString passwordStorageText() const;

    // The live-update program and its arguments.
    static QString liveUpdateProgram();
    static QStringList liveUpdateArguments(bool active);
    void launchLiveUpdate(bool active);
    // Tests replace the launcher (program, arguments) -> started.
    std::function<bool(const QString &, const QStringList &)> launcher;
    // Delay before the wizard opens at first start (ms).
    int firstStartWizardDelayMs = 500;
    int emptyListWizardDelayMs = 1000;

private:
    void buildMenus(QMenuBar *bar);

    FavoriteManager *m_favorites;
    QHash<ServerSession *, QPointer<StatisticsWindow>> m_statistics;
    DefaultsStore *m_defaults;
    QMainWindow *m_window = nullptr;
    FLKMainViewController *m_main = nullptr;
    bool m_launched = false;
    DesktopIntegration *m_desktop = nullptr;
};

// Marks a mnemonic on every item of the menu bar and its menus, each unique
// within its menu.
void assignMenuMnemonics(QMenuBar *bar);

} // namespace flk
