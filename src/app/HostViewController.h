// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "session/ServerSession.h"
#include "ui/DCBaseViewController.h"

#include <QPointer>
#include <QSet>

class QSplitter;
class QStackedWidget;

class QAbstractItemView;

namespace flk {

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

// The frame of one saved server's tab: the three sidebar blocks over the
// feature pages, drawn over the server's session (which signs in, polls,
// keeps the connection and wires the panes). The frame tells the session
// when it is on screen and shows the sheets the session asks for.
class HostViewController : public DCBaseViewController
{
    Q_OBJECT

public:
    using State = ServerSession::State;
    // The three panes of the left column, top to bottom.
    enum LeftPane { PaneCategories = 0, PaneSearchKeys = 1, PaneFeeds = 2 };

    HostViewController(FavoriteManager *favorites, int index, QWidget *parent = nullptr);
    ~HostViewController() override;

    ServerSession *session() const { return m_session; }
    int index() const { return m_session->index(); }
    void setIndex(int i) { m_session->setIndex(i); }
    State state() const { return m_session->state(); }
    std::shared_ptr<FavoriteObject> record() const { return m_session->record(); }
    QString serverKey() const { return m_session->serverKey(); }
    // Takes over a signed-in client (the add-server wizard's).
    void adoptClient(CgiCtrl *client);

    // Adds a pane in one of the frame's places: a left pane, or a feature
    // page on the right (kFeatureDownloads ... kFeatureRSSItems).
    void addLeftPane(LeftPane position, DCBaseViewController *pane);
    void addFeaturePage(uint feature, DCBaseViewController *pane);
    int currentFeature() const;
    void selectFeature(int feature) { m_session->selectFeature(feature); }

    // The split positions and the task list's columns, to and from the
    // state file (scope: the session's server key).
    void saveLayout(LayoutState &state) const;
    void restoreLayout(const LayoutState &state);

    QSplitter *svMain() const { return m_svMain; }
    QSplitter *svLeft() const { return m_svLeft; }

    // Segue: the default download folder is not set up on the NAS yet.
    void ToDefaultFolderView();
    // Segue: the download preferences sheet.
    void ToPreferenceView();

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
    void preferencesOpened(QWidget *sheet);
    void loginFailViewRequested();

protected:
    void showEvent(QShowEvent *e) override;
    void hideEvent(QHideEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    QList<QAbstractItemView *> sidebarViews() const;
    void markCurrentPane(int feature);
    void updateShown();
    void refreshOpenSheets();

    ServerSession *m_session;
    QPointer<QWidget> m_watchedWindow;
    QPointer<QWidget> m_defaultFolderSheet;
    QSplitter *m_svMain;
    QSplitter *m_svLeft;
    QList<QWidget *> m_leftSlots;
    QStackedWidget *m_tabView;
    QList<QWidget *> m_featurePages;
    QSet<DCBaseViewController *> m_panes; // polled through the session
    DownloadCategoryViewController *m_downloadCateView = nullptr;
    DownloadViewController *m_downloadView = nullptr;
    RSSFeedViewController *m_rssFeedView = nullptr;
    RSSViewController *m_rssView = nullptr;
    RSSLinkViewController *m_rssLinkView = nullptr;
    SearchKeyViewController *m_searchKeyView = nullptr;
    SearchViewController *m_searchView = nullptr;
};

} // namespace flk
