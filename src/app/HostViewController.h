#pragma once

#include "DCBaseViewController.h"
#include "api/Error.h"
#include "servers/FavoriteManager.h"

#include <QPointer>

class QSplitter;
class QStackedWidget;
class QTimer;

namespace flk {

struct Notification;
class FavoriteManager;
class FavoriteObject;
class LayoutState;
class DownloadCategoryViewController;
class DownloadViewController;
class RSSFeedViewController;
class RSSLinkViewController;
class RSSViewController;
class SearchKeyViewController;
class SearchViewController;

// One saved server's pane: signs in the first time it is shown, polls its
// visible child panes every 5 seconds while shown, and reacts to sign-in
// failure and reconnection for its own server.
class HostViewController : public DCBaseViewController
{
    Q_OBJECT

public:
    enum class State { NotShown, SigningIn, Polling, Hidden, SignInFailed };
    // The three panes of the left column, top to bottom.
    enum LeftPane { PaneCategories = 0, PaneSearchKeys = 1, PaneFeeds = 2 };

    HostViewController(FavoriteManager *favorites, int index, QWidget *parent = nullptr);
    ~HostViewController() override;

    int index() const { return m_index; }
    void setIndex(int i) { m_index = i; }
    State state() const { return m_state; }
    std::shared_ptr<FavoriteObject> record() const;

    void check_login();
    void _start_Timer();
    void _stop_Timer();
    void on_Timer();
    void _setup_Notifications();
    void on_Login_Fail(const Notification &n);
    void on_Re_Login(const Notification &n);
    void on_Feature_Changed(const Notification &n);
    bool isPolling() const;
    // While hidden and signed in, the task list is still fetched now and
    // then (every backgroundWatchMs), so finished tasks and a server that
    // stops answering are noticed on every tab. Off unless turned on.
    void setBackgroundWatch(bool on);
    bool isBackgroundWatching() const;
    int backgroundWatchMs = 30000;
    int timerInterval() const;

    // The child panes of this host.
    QList<DCBaseViewController *> childControllers() const;
    // Adds a pane in one of the frame's places: a left pane, or a feature
    // page on the right (kFeatureDownloads ... kFeatureRSSItems).
    void addLeftPane(LeftPane position, DCBaseViewController *pane);
    void addFeaturePage(uint feature, DCBaseViewController *pane);
    int currentFeature() const;
    void selectFeature(int feature);

    // The key this server's remembered layout and notifications go by: its
    // host id, or its address before the NAS told one.
    QString serverKey() const;
    static QString serverKeyOf(const FavoriteObject &record);
    // The split positions and the task list's columns, to and from the
    // state file (scope: serverKey()).
    void saveLayout(LayoutState &state) const;
    void restoreLayout(const LayoutState &state);

    QSplitter *svMain() const { return m_svMain; }
    QSplitter *svLeft() const { return m_svLeft; }

    // Segue: the default download folder is not set up on the NAS yet.
    void ToDefaultFolderView();
    // Hand-over from the desktop: only the default server's host takes it.
    void on_Open_With(const Notification &n);
    // After a sign-in: listen for hand-overs, and deliver one that waits.
    void _deliver_Open_With();
    // Takes over a signed-in client (its own from now on).
    void adoptClient(CgiCtrl *client);
    DownloadCategoryViewController *downloadCateView() const { return m_downloadCateView; }
    DownloadViewController *downloadView() const { return m_downloadView; }
    RSSFeedViewController *rssFeedView() const { return m_rssFeedView; }
    RSSViewController *rssView() const { return m_rssView; }
    RSSLinkViewController *rssLinkView() const { return m_rssLinkView; }
    SearchKeyViewController *searchKeyView() const { return m_searchKeyView; }
    SearchViewController *searchView() const { return m_searchView; }

signals:
    // The default-folder sheet has been opened (tests follow it).
    void defaultFolderSheetOpened(QWidget *sheet);
    void loginFailViewRequested();

protected:
    void showEvent(QShowEvent *e) override;
    void hideEvent(QHideEvent *e) override;

private:
    void dropClient();
    bool isMyServer(const Notification &n) const;

    FavoriteManager *m_favorites;
    // Shared with work in flight, so a client outlives every action using it.
    std::shared_ptr<CgiCtrl> m_client;
    LoginHandle m_loginAttempt; // the sign-in under way, if any
    int m_index;
    State m_state = State::NotShown;
    QTimer *m_timer = nullptr;
    QTimer *m_watchTimer = nullptr;
    bool m_backgroundWatch = false;
    void updateBackgroundWatch();
    bool m_registered = false;
    bool m_openWithRegistered = false;
    QPointer<QWidget> m_defaultFolderSheet;
    QSplitter *m_svMain;
    QSplitter *m_svLeft;
    QList<QWidget *> m_leftSlots;
    QStackedWidget *m_tabView;
    QList<QWidget *> m_featurePages;
    DownloadCategoryViewController *m_downloadCateView = nullptr;
    DownloadViewController *m_downloadView = nullptr;
    RSSFeedViewController *m_rssFeedView = nullptr;
    RSSViewController *m_rssView = nullptr;
    RSSLinkViewController *m_rssLinkView = nullptr;
    SearchKeyViewController *m_searchKeyView = nullptr;
    SearchViewController *m_searchView = nullptr;
};

} // namespace flk
