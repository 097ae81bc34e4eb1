// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "HostViewController.h"
#include "api/JsonUtil.h"
#include "rss/RSSSidebarController.h"

#include "api/CgiCtrl.h"
#include "api/Notifications.h"
#include "desktop/LayoutState.h"
#include "preferences/ui/DefaultFolderViewController.h"
#include "preferences/ui/PreferenceViewController.h"
#include "rss/ui/RSSFeedViewController.h"
#include "rss/ui/RSSLinkViewController.h"
#include "rss/ui/RSSViewController.h"
#include "search/ui/SearchKeyViewController.h"
#include "search/ui/SearchViewController.h"
#include "tasks/TaskListController.h"
#include "tasks/ui/DownloadCategoryViewController.h"
#include "tasks/ui/DownloadViewController.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QSplitter>
#include <QStackedWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace flk {

namespace {
constexpr int kLeftMinWidth = 200;
constexpr int kRightMinWidth = 120;
constexpr int kLeftPaneMinHeight = 100;

QWidget *slotWidget(QWidget *parent, int minWidth, int minHeight)
{
    auto *w = new QWidget(parent);
    auto *layout = new QVBoxLayout(w);
    layout->setContentsMargins(0, 0, 0, 0);
    w->setMinimumSize(minWidth, minHeight);
    // Lists sit on the palette's base colour, light or dark.
    w->setBackgroundRole(QPalette::Base);
    w->setAutoFillBackground(true);
    return w;
}
} // namespace

HostViewController::HostViewController(FavoriteManager *favorites, int index, QWidget *parent)
    : DCBaseViewController(parent), m_session(new ServerSession(favorites, index, this))
{
    btnOk()->hide();
    btnCancel()->hide();
    // The sign-in overlay covers the main window.
    bindOverlay(m_session->overlay(), OverlayOver::MainWindow);
    setCtrlCgi(m_session->client());
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    m_svMain = new QSplitter(Qt::Horizontal, this);
    m_svMain->setChildrenCollapsible(false);
    m_svLeft = new QSplitter(Qt::Vertical, m_svMain);
    m_svLeft->setChildrenCollapsible(false);
    m_svLeft->setMinimumWidth(kLeftMinWidth);
    for (int i = 0; i < 3; ++i) {
        QWidget *slot = slotWidget(m_svLeft, 0, kLeftPaneMinHeight);
        m_svLeft->addWidget(slot);
        m_leftSlots << slot;
    }
    // The top and bottom panes keep their heights; the middle one takes the rest.
    m_svLeft->setStretchFactor(0, 0);
    m_svLeft->setStretchFactor(1, 1);
    m_svLeft->setStretchFactor(2, 0);
    m_svLeft->setSizes({ 180, 240, 180 });

    m_tabView = new QStackedWidget(m_svMain);
    m_tabView->setMinimumWidth(kRightMinWidth);
    for (int i = 0; i < 4; ++i) {
        QWidget *page = slotWidget(m_tabView, 0, 0);
        page->setObjectName(QString::number(i));
        m_tabView->addWidget(page);
        m_featurePages << page;
    }
    m_svMain->addWidget(m_svLeft);
    m_svMain->addWidget(m_tabView);
    // The left pane keeps its width when the window resizes.
    m_svMain->setStretchFactor(0, 0);
    m_svMain->setStretchFactor(1, 1);
    m_svMain->setSizes({ 220, 700 });
    layout->addWidget(m_svMain);

    // The panes, each over its controller in the session.
    ServerSession *s = m_session;
    m_downloadCateView = new DownloadCategoryViewController;
    addLeftPane(PaneCategories, m_downloadCateView);
    m_downloadView = new DownloadViewController(s->taskList());
    addFeaturePage(kFeatureDownloads, m_downloadView);
    m_searchKeyView = new SearchKeyViewController(s->searchKeys());
    addLeftPane(PaneSearchKeys, m_searchKeyView);
    m_searchView = new SearchViewController(s->searchResults());
    addFeaturePage(kFeatureSearch, m_searchView);
    m_rssFeedView = new RSSFeedViewController(s->rssSidebar());
    addLeftPane(PaneFeeds, m_rssFeedView);
    m_rssView = new RSSViewController(s->rssFeeds());
    addFeaturePage(kFeatureRSSFeeds, m_rssView);
    m_rssLinkView = new RSSLinkViewController(s->rssItems());
    addFeaturePage(kFeatureRSSItems, m_rssLinkView);
    m_downloadView->setFavObj(s->record());
    m_panes = { m_downloadCateView, m_downloadView, m_searchKeyView, m_searchView, m_rssFeedView,
        m_rssView, m_rssLinkView };

    // The category pane is a plain list over the task list's counts.
    connect(m_downloadCateView, &DownloadCategoryViewController::categoryChanged, s->taskList(),
        &TaskListController::setCategory);
    connect(m_downloadCateView, &DownloadCategoryViewController::featureActivated, s,
        [s](uint f) { s->selectFeature(int(f)); });
    connect(s->taskList(), &TaskListController::countsChanged, m_downloadCateView,
        &DownloadCategoryViewController::setCounts);

    connect(s, &ServerSession::featureSelected, m_tabView, &QStackedWidget::setCurrentIndex);
    connect(s, &ServerSession::featureSelected, this, &HostViewController::markCurrentPane);
    // The item page names its feed.
    connect(s->rssSidebar(), &RSSSidebarController::feedChanged, this, [this, s] {
        m_rssLinkView->setPageTitle(json::stringValue(s->rssSidebar()->selectedFeed(), u"title"));
    });
    // The sidebar is one list to the keyboard: moving in a block with the
    // keys shows that block's page, as a click does.
    for (QAbstractItemView *view : sidebarViews()) {
        connect(view->selectionModel(), &QItemSelectionModel::currentChanged, view,
            [view](const QModelIndex &current) {
                if (current.isValid() && view->hasFocus())
                    emit view->clicked(current);
            });
    }
    markCurrentPane(m_tabView->currentIndex());
    connect(s, &ServerSession::categorySelectRequested, m_downloadCateView,
        &DownloadCategoryViewController::selectCategory);
    connect(
        s, &ServerSession::defaultFolderRequested, this, &HostViewController::ToDefaultFolderView);
    connect(s, &ServerSession::preferencesRequested, this, &HostViewController::ToPreferenceView);
    connect(s, &ServerSession::loginFailViewRequested, this,
        &HostViewController::loginFailViewRequested);
    connect(s, &ServerSession::polled, this, &HostViewController::refreshOpenSheets);
}

QList<QAbstractItemView *> HostViewController::sidebarViews() const
{
    return { m_downloadCateView->listView(), m_searchKeyView->keyTable(),
        m_rssFeedView->feedTable() };
}

void HostViewController::markCurrentPane(int feature)
{
    // One current item in the whole sidebar: the block of the page on show
    // draws its selection as usual, the others as not current.
    const int current = feature == kFeatureDownloads ? 0 : feature == kFeatureSearch ? 1 : 2;
    const QList<QAbstractItemView *> views = sidebarViews();
    for (int i = 0; i < views.size(); ++i) {
        QPalette p
            = views[i]->parentWidget() ? views[i]->parentWidget()->palette() : views[i]->palette();
        if (i != current) {
            for (auto group : { QPalette::Active, QPalette::Inactive }) {
                p.setColor(group, QPalette::Highlight, p.color(group, QPalette::AlternateBase));
                p.setColor(group, QPalette::HighlightedText, p.color(group, QPalette::Text));
            }
        }
        views[i]->setPalette(p);
        views[i]->setProperty("currentBlock", i == current);
    }
}

HostViewController::~HostViewController()
{
    // The screens go before the session whose controllers they draw.
    delete m_svMain;
    m_svMain = nullptr;
}

void HostViewController::adoptClient(CgiCtrl *client)
{
    m_session->adoptClient(client);
    setCtrlCgi(m_session->client());
}

void HostViewController::saveLayout(LayoutState &state) const
{
    const QString scope = serverKey();
    if (scope.isEmpty())
        return;
    state.setSizes(scope, QStringLiteral("splitMain"), m_svMain->sizes());
    state.setSizes(scope, QStringLiteral("splitLeft"), m_svLeft->sizes());
    state.setSizes(scope, QStringLiteral("splitTasks"), m_downloadView->splitView()->sizes());
    state.setBytes(scope, QStringLiteral("taskColumns"), m_downloadView->saveListState());
    // What older builds stored under another key is superseded now.
    for (const QString &old : m_session->legacyServerKeys())
        state.removeScope(old);
}

void HostViewController::restoreLayout(const LayoutState &state)
{
    // The server's key, else a key an older build saved the layout under.
    QString scope;
    for (const QString &key : QStringList { serverKey() } + m_session->legacyServerKeys()) {
        if (!key.isEmpty() && !state.sizes(key, QStringLiteral("splitMain")).isEmpty()) {
            scope = key;
            break;
        }
    }
    if (scope.isEmpty())
        scope = serverKey();
    // Each part on its own: a part that is missing or odd keeps its default.
    const auto apply = [&](QSplitter *split, const char *key) {
        const QList<int> sizes = state.sizes(scope, QString::fromLatin1(key));
        if (sizes.size() == split->count())
            split->setSizes(sizes);
    };
    apply(m_svMain, "splitMain");
    apply(m_svLeft, "splitLeft");
    apply(m_downloadView->splitView(), "splitTasks");
    const QByteArray columns = state.bytes(scope, QStringLiteral("taskColumns"));
    if (!columns.isEmpty())
        m_downloadView->restoreListState(columns);
}

void HostViewController::addLeftPane(LeftPane position, DCBaseViewController *pane)
{
    m_leftSlots.value(position)->layout()->addWidget(pane);
    pane->setParentController(this);
}

void HostViewController::addFeaturePage(uint feature, DCBaseViewController *pane)
{
    m_featurePages.value(int(feature))->layout()->addWidget(pane);
    pane->setParentController(this);
}

int HostViewController::currentFeature() const
{
    return m_tabView->currentIndex();
}

void HostViewController::showEvent(QShowEvent *e)
{
    DCBaseViewController::showEvent(e);
    m_svMain->setHandleWidth(1);
    m_svLeft->setHandleWidth(8);
    // Minimising hides the window without hiding this tab: the window's
    // state changes are watched too.
    if (window() != m_watchedWindow) {
        if (m_watchedWindow)
            m_watchedWindow->removeEventFilter(this);
        m_watchedWindow = window();
        m_watchedWindow->installEventFilter(this);
    }
    updateShown();
}

void HostViewController::hideEvent(QHideEvent *e)
{
    DCBaseViewController::hideEvent(e);
    updateShown();
}

bool HostViewController::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == m_watchedWindow && e->type() == QEvent::WindowStateChange)
        QTimer::singleShot(0, this, &HostViewController::updateShown);
    return DCBaseViewController::eventFilter(watched, e);
}

void HostViewController::updateShown()
{
    m_session->setShown(isVisible() && !window()->isMinimized());
}

void HostViewController::refreshOpenSheets()
{
    // The panes are polled by the session; sheets of this frame that list
    // something follow the same pace.
    for (DCBaseViewController *pane : findChildren<DCBaseViewController *>()) {
        if (!m_panes.contains(pane) && pane->visible())
            pane->refresh_Items();
    }
}

void HostViewController::ToDefaultFolderView()
{
    if (m_defaultFolderSheet)
        return; // one is open already
    auto *sheet = new DefaultFolderViewController(m_session->client());
    m_defaultFolderSheet = sheet;
    QPointer<ServerSession> session(m_session);
    // Once the NAS has its preferences, what waited for them goes.
    sheet->setCompletion([session](bool ok, const QVariant &) {
        if (ok && session)
            QTimer::singleShot(0, session, [session] { session->_deliver_Open_With(); });
    });
    KSTSheetViewController::presentSheet(this, sheet);
    emit defaultFolderSheetOpened(sheet);
}

void HostViewController::ToPreferenceView()
{
    if (m_session->isSignedIn())
        emit preferencesOpened(PreferenceViewController::present(this, m_session->client()));
}

} // namespace flk
