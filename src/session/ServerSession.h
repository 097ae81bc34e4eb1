// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "servers/FavoriteManager.h"

#include <QObject>
#include <QStringList>
#include <QVariantMap>

#include <memory>

class QTimer;

namespace flk {

struct Notification;
class CgiCtrl;
class CommandOverlay;
class FavoriteObject;
class FinishedTasksWatcher;
class RSSFeedListController;
class RSSItemListController;
class RSSSidebarController;
class SearchKeyController;
class SearchResultController;
class TaskListController;

// One saved server while its tab exists, without widgets: the connection
// (one object for the session's whole life: a new sign-in signs it out and
// in again, so whatever a sheet holds keeps working), sign-in, re-sign-in
// and the failure view's state, the 5 s poll while shown and the background
// watch while not, the hand-over inbox, and the controllers of the panes,
// wired to each other with typed signals. The frame that shows it draws and
// forwards.
class ServerSession : public QObject
{
    Q_OBJECT

public:
    enum class State { NotShown, SigningIn, Polling, Hidden, SignInFailed };

    ServerSession(FavoriteManager *favorites, int index, QObject *parent = nullptr);
    ~ServerSession() override;

    FavoriteManager *favorites() const { return m_favorites; }
    int index() const { return m_index; }
    void setIndex(int i) { m_index = i; }
    std::shared_ptr<FavoriteObject> record() const;
    State state() const { return m_state; }

    // The connection. The same object from construction to destruction.
    std::shared_ptr<CgiCtrl> client() const { return m_client; }
    bool isSignedIn() const;
    // The overlay the sign-in and the sign-out after a failure run under.
    CommandOverlay *overlay() const { return m_overlay; }

    // The key this server's layout, finished-task cache and notifications go
    // by. Fixed when the session is made (the NAS may correct the record's
    // host id at sign-in; the key stays what the next start will find).
    QString serverKey() const { return m_serverKey; }
    static QString serverKeyOf(const FavoriteObject &record);
    // Where a server's speed history is kept (the state folder).
    static QString speedHistoryPath(const QString &serverKey);
    // Keys older builds stored layouts under, tried when serverKey() has none.
    QStringList legacyServerKeys() const { return m_legacyKeys; }

    TaskListController *taskList() const { return m_taskList; }
    SearchKeyController *searchKeys() const { return m_searchKeys; }
    SearchResultController *searchResults() const { return m_searchResults; }
    RSSSidebarController *rssSidebar() const { return m_rssSidebar; }
    RSSFeedListController *rssFeeds() const { return m_rssFeeds; }
    RSSItemListController *rssItems() const { return m_rssItems; }

    // Whether the server's page is on screen (its tab current and the window
    // neither hidden nor minimised). Shown: signed in if needed and polled
    // every pollIntervalMs; not shown: the poll stops and, when the
    // background watch is on, the task list is fetched every
    // backgroundWatchMs instead.
    void setShown(bool shown);
    bool isShown() const { return m_shown; }
    // The feature page on the right (kFeatureDownloads ... kFeatureRSSItems).
    int currentFeature() const { return m_feature; }
    void selectFeature(int feature);

    void check_login();
    // A client already signed in (the add-server wizard's) becomes this
    // session's connection.
    void adoptClient(CgiCtrl *client);

    void on_Timer();
    bool isPolling() const;
    int timerInterval() const;
    int pollIntervalMs = 5000;
    void setBackgroundWatch(bool on);
    bool isBackgroundWatching() const;
    bool backgroundWatchWanted() const { return m_backgroundWatch; }
    int backgroundWatchMs = 30000;
    // Finished tasks are reported through this watcher (owned by the caller).
    void setFinishedWatcher(FinishedTasksWatcher *watcher);

    void on_Login_Fail(const Notification &n);
    void on_Re_Login(const Notification &n);
    // Hand-overs from the desktop: the default server's session takes them;
    // they wait in "open_with" until they went to the NAS.
    void on_Open_With(const Notification &n);
    void _deliver_Open_With();

    // A notification's click: the task in the "all" category, selected.
    void showTask(const QString &taskKey);
    // The download preferences are to be shown (signed in only).
    void requestPreferences();

signals:
    void stateChanged(flk::ServerSession::State state);
    // The frame shows this feature page.
    void featureSelected(int feature);
    // The category pane shows this row (0: "all").
    void categorySelectRequested(int row);
    // The NAS has no download preferences yet: the default-folder sheet.
    void defaultFolderRequested();
    void loginFailViewRequested();
    void preferencesRequested();
    // The poll ticked (the frame refreshes the sheets it shows).
    void polled();

private:
    bool isMyServer(const Notification &n) const;
    void setState(State s);
    void startTimer();
    void stopTimer();
    void updateWatch();
    void wire();

    FavoriteManager *m_favorites;
    int m_index;
    QString m_serverKey;
    QStringList m_legacyKeys;
    std::shared_ptr<CgiCtrl> m_client;
    LoginHandle m_loginAttempt;
    CommandOverlay *m_overlay;
    State m_state = State::NotShown;
    bool m_shown = false;
    bool m_everShown = false; // a session never shown ignores re-sign-ins
    int m_feature = 0;
    bool m_backgroundWatch = false;
    QTimer *m_timer;
    QTimer *m_watchTimer;
    TaskListController *m_taskList;
    SearchKeyController *m_searchKeys;
    SearchResultController *m_searchResults;
    RSSSidebarController *m_rssSidebar;
    RSSFeedListController *m_rssFeeds;
    RSSItemListController *m_rssItems;
};

} // namespace flk
