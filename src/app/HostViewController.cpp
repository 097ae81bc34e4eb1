#include "HostViewController.h"

#include "DefaultFolderViewController.h"
#include "KSTProgressHUDHelper.h"
#include "Utility.h"
#include "api/CgiCtrl.h"
#include "api/Localization.h"
#include "api/NotificationCenter.h"
#include "api/Notifications.h"
#include "api/Work.h"
#include "desktop/LayoutState.h"
#include "rss/RSSFeedViewController.h"
#include "rss/RSSLinkViewController.h"
#include "rss/RSSViewController.h"
#include "search/SearchKeyViewController.h"
#include "search/SearchViewController.h"
#include "servers/DefaultsStore.h"
#include "servers/FavoriteManager.h"
#include "servers/FavoriteObject.h"
#include "tasks/DownloadCategoryViewController.h"
#include "tasks/DownloadViewController.h"
#include "tasks/TaskListController.h"
#include "tasks/TorrentAddViewController.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QSplitter>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace flk {

namespace {
constexpr int kPollIntervalMs = 5000;
constexpr int kShownStaleAfterMs = 20000; // four polls
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
    : DCBaseViewController(parent), m_favorites(favorites), m_index(index)
{
    btnOk()->hide();
    btnCancel()->hide();
    // The sign-in overlay covers the main window.
    HUD()->setViewProvider([this] { return Utility::mainView() ? Utility::mainView() : this; });
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

    // The panes of the frame.
    m_downloadCateView = new DownloadCategoryViewController;
    addLeftPane(PaneCategories, m_downloadCateView);
    m_downloadView = new DownloadViewController;
    addFeaturePage(kFeatureDownloads, m_downloadView);
    m_searchKeyView = new SearchKeyViewController;
    addLeftPane(PaneSearchKeys, m_searchKeyView);
    m_searchView = new SearchViewController;
    addFeaturePage(kFeatureSearch, m_searchView);
    m_rssFeedView = new RSSFeedViewController;
    addLeftPane(PaneFeeds, m_rssFeedView);
    m_rssView = new RSSViewController;
    addFeaturePage(kFeatureRSSFeeds, m_rssView);
    m_rssLinkView = new RSSLinkViewController;
    addFeaturePage(kFeatureRSSItems, m_rssLinkView);
}

HostViewController::~HostViewController()
{
    _stop_Timer();
    // Work still queued ends quickly: a sign-in is cancelled, requests too.
    if (m_loginAttempt)
        m_favorites->cancel_Login(m_loginAttempt);
    if (m_client)
        m_client->_cancel_All_Requests();
}

std::shared_ptr<FavoriteObject> HostViewController::record() const
{
    return m_favorites->get_Favorite_NAS(m_index);
}

QString HostViewController::serverKeyOf(const FavoriteObject &record)
{
    const QString id = record.hostID();
    if (!id.isEmpty())
        return QStringLiteral("server:") + id;
    return QStringLiteral("server:") + record.host() + QLatin1Char(':') + record.port();
}

QString HostViewController::serverKey() const
{
    const auto r = record();
    return r ? serverKeyOf(*r) : QString();
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
}

void HostViewController::restoreLayout(const LayoutState &state)
{
    const QString scope = serverKey();
    if (scope.isEmpty())
        return;
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

QList<DCBaseViewController *> HostViewController::childControllers() const
{
    return findChildren<DCBaseViewController *>();
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

void HostViewController::selectFeature(int feature)
{
    if (feature >= 0 && feature < m_tabView->count())
        m_tabView->setCurrentIndex(feature);
}

void HostViewController::showEvent(QShowEvent *e)
{
    DCBaseViewController::showEvent(e);
    if (!m_registered) {
        m_registered = true;
        auto *center = NotificationCenter::defaultCenter();
        center->addObserver(QString::fromLatin1(kNOTIFY_LOGIN_FAVORITE_FAIL), this,
            [this](const Notification &n) { on_Login_Fail(n); });
        center->addObserver(QString::fromLatin1(kNOTIFY_RE_LOGIN_FAVORITE), this,
            [this](const Notification &n) { on_Re_Login(n); });
        _setup_Notifications();
    }
    m_svMain->setHandleWidth(1);
    m_svLeft->setHandleWidth(8);
    if (m_watchTimer) {
        delete m_watchTimer;
        m_watchTimer = nullptr;
        // Back to the shown pace once the list that showing asks for came
        // (the list may be a watch interval old until then).
        TaskListController *list = m_downloadView->controller();
        auto once = std::make_shared<QMetaObject::Connection>();
        *once = connect(list, &TaskListController::listApplied, this, [list, once] {
            QObject::disconnect(*once);
            list->setStaleAfter(kShownStaleAfterMs);
        });
    }
    check_login();
}

void HostViewController::hideEvent(QHideEvent *e)
{
    DCBaseViewController::hideEvent(e);
    _stop_Timer();
    if (m_state == State::Polling)
        m_state = State::Hidden;
    updateBackgroundWatch();
}

void HostViewController::setBackgroundWatch(bool on)
{
    m_backgroundWatch = on;
    updateBackgroundWatch();
}

bool HostViewController::isBackgroundWatching() const
{
    return m_watchTimer && m_watchTimer->isActive();
}

void HostViewController::updateBackgroundWatch()
{
    TaskListController *list = m_downloadView ? m_downloadView->controller() : nullptr;
    const bool watch = m_backgroundWatch && !isVisible() && list;
    if (!watch) {
        delete m_watchTimer;
        m_watchTimer = nullptr;
        return;
    }
    // A list fetched every backgroundWatchMs is late only after a few
    // missed fetches.
    list->setStaleAfter(backgroundWatchMs * 4);
    if (!m_watchTimer) {
        m_watchTimer = new QTimer(this);
        connect(m_watchTimer, &QTimer::timeout, this, [this] {
            CgiCtrl *client = ctrlCgi();
            if (client && client->logon())
                m_downloadView->controller()->refresh_Items();
        });
    }
    m_watchTimer->start(backgroundWatchMs);
}

void HostViewController::_setup_Notifications()
{
    if (m_downloadView) {
        m_downloadView->setFavObj(record());
        auto *center = NotificationCenter::defaultCenter();
        DownloadViewController *list = m_downloadView;
        DownloadCategoryViewController *categories = m_downloadCateView;
        center->addObserver(
            QString::fromLatin1(kNOTIFY_DOWNLOAD_CATEGORY_CHANGED), list,
            [list](const Notification &n) { list->on_Category_Changed(n); }, categories);
        center->addObserver(
            QString::fromLatin1(kNOTIFY_DOWNLOAD_ENTRY_UPDATED), categories,
            [categories](const Notification &n) { categories->on_Download_Entry_Changed(n); },
            list);
        center->addObserver(QString::fromLatin1(kNOTIFY_DOWNLOAD_REFRESH_ITEMS), list,
            [list](const Notification &) { list->refresh_Items(); });
    }
    // The results page follows its own key list.
    if (m_searchKeyView && m_searchView) {
        SearchViewController *results = m_searchView;
        NotificationCenter::defaultCenter()->addObserver(
            QString::fromLatin1(kNOTIFY_SEARCH_KEY_CHANGED), results,
            [results](const Notification &n) { results->on_Search_Key_Changed(n); },
            m_searchKeyView);
    }
    // The RSS panes: the item page follows the sidebar's feed; the sidebar
    // follows feed changes made on the pages.
    if (m_rssFeedView && m_rssLinkView && m_rssView) {
        auto *center = NotificationCenter::defaultCenter();
        RSSFeedViewController *sidebar = m_rssFeedView;
        RSSLinkViewController *items = m_rssLinkView;
        center->addObserver(
            QString::fromLatin1(kNOTIFY_RSS_FEED_CHANGED), items,
            [items](const Notification &n) { items->on_RSS_Feed_Changed(n); }, sidebar);
        for (QObject *page : { static_cast<QObject *>(m_rssView), static_cast<QObject *>(items) })
            center->addObserver(
                QString::fromLatin1(kNOTIFY_RSS_FEED_LIST_UPDATED), sidebar,
                [sidebar](const Notification &) { sidebar->refresh_Items(); }, page);
    }
    // Panes signal a feature change with {"feature": n}; each registration
    // names its sender so hosts never hear each other's panes.
    auto *center = NotificationCenter::defaultCenter();
    for (DCBaseViewController *pane : childControllers()) {
        if (pane->property("flkFeatureSource").toBool())
            center->addObserver(
                QString::fromLatin1(kNOTIFY_FEATURE_ACTIVED), this,
                [this](const Notification &n) { on_Feature_Changed(n); }, pane);
    }
}

void HostViewController::on_Feature_Changed(const Notification &n)
{
    selectFeature(n.userInfo.value(QStringLiteral("feature")).toInt());
}

void HostViewController::adoptClient(CgiCtrl *client)
{
    if (client)
        client->setParent(nullptr);
    // Deleted on the GUI thread when the last holder (work in flight
    // included) lets go.
    m_client
        = client ? std::shared_ptr<CgiCtrl>(client, [](CgiCtrl *c) { c->deleteLater(); }) : nullptr;
    setCtrlCgi(m_client);
}

void HostViewController::dropClient()
{
    m_client.reset();
    setCtrlCgi(std::shared_ptr<CgiCtrl>());
}

void HostViewController::check_login()
{
    if (m_client && m_client->logon()) {
        // Kept client: only the preferences are asked for again.
        runWork(
            this,
            [client = m_client] {
                Error e;
                client->get_User_Preference(&e);
                return e.is(kCgiErrorDomain, kCgiErrorNoPreference);
            },
            [this](bool noPreferences) {
                if (noPreferences)
                    ToDefaultFolderView();
            });
        m_state = State::Polling;
        _start_Timer();
        return;
    }

    m_state = State::SigningIn;
    HUD()->setIndicatorViewStyle(CommandOverlay::Indicator::Spinner);
    HUD()->setText(localized("TXT_SIGNING_IN"));
    FavoriteManager *favorites = m_favorites;
    const int index = m_index;
    const LoginHandle attempt = favorites->newLoginAttempt();
    m_loginAttempt = attempt;
    struct Outcome {
        // Deletes a client nobody took (this host went meanwhile).
        std::shared_ptr<PendingClient> client = std::make_shared<PendingClient>();
        Error error;
    };
    HUD()->commands()->runCancellable(
        [favorites, index, attempt] {
            Outcome out;
            CgiCtrl *c = favorites->login_Favorite_NAS(index, &out.error, attempt);
            out.client->set(c);
            if (!c)
                return out;
            c->setShowErrorAlert(true);
            c->setDelegate(CgiCtrl::sharedCgiCtrl()->delegate());
            c->get_User_Preference(&out.error);
            return out;
        },
        [this](Outcome out) {
            m_loginAttempt.reset();
            HUD()->setText(localized("LOADING"));
            CgiCtrl *client = out.client->take();
            adoptClient(client);
            if (!client) {
                m_state = State::SignInFailed;
                return;
            }
            m_state = State::Polling;
            _start_Timer();
            if (out.error.is(kCgiErrorDomain, kCgiErrorNoPreference))
                ToDefaultFolderView();
            _deliver_Open_With();
        },
        [this, favorites, attempt] {
            favorites->cancel_Login(attempt);
            m_loginAttempt.reset();
            m_state = State::NotShown;
        });
}

void HostViewController::ToDefaultFolderView()
{
    if (m_defaultFolderSheet)
        return; // one is open already
    auto *sheet = new DefaultFolderViewController(m_client);
    m_defaultFolderSheet = sheet;
    QPointer<HostViewController> self(this);
    // Once the NAS has its preferences, what waited for them goes.
    sheet->setCompletion([self](bool ok, const QVariant &) {
        if (ok && self)
            QTimer::singleShot(0, self, [self] { self->_deliver_Open_With(); });
    });
    KSTSheetViewController::presentSheet(this, sheet);
    emit defaultFolderSheetOpened(sheet);
}

void HostViewController::_deliver_Open_With()
{
    if (!m_client || !m_client->logon())
        return;
    if (!m_openWithRegistered) {
        m_openWithRegistered = true;
        NotificationCenter::defaultCenter()->addObserver(
            QString::fromLatin1(kNOTIFY_OPEN_WITH_TORRENT), this,
            [this](const Notification &n) { on_Open_With(n); });
    }
    DefaultsStore *defaults = m_favorites->defaults();
    const QJsonValue waiting
        = defaults ? defaults->value(QLatin1String(kDefaultsOpenWithKey)) : QJsonValue();
    if (waiting.isArray())
        NotificationCenter::defaultCenter()->post(QString::fromLatin1(kNOTIFY_OPEN_WITH_TORRENT),
            this, { { QStringLiteral("torrents"), waiting.toArray().toVariantList() } });
}

void HostViewController::on_Open_With(const Notification &n)
{
    const auto mine = record();
    if (!mine || !mine->isDefault() || !m_downloadView)
        return;
    const QStringList items = n.userInfo.value(QStringLiteral("torrents")).toStringList();
    DefaultsStore *defaults = m_favorites->defaults();
    // Kept in "open_with" until it went to the NAS.
    if (defaults
        && defaults->value(QLatin1String(kDefaultsOpenWithKey))
            != QJsonArray::fromStringList(items)) {
        defaults->setValue(QLatin1String(kDefaultsOpenWithKey), QJsonArray::fromStringList(items));
        defaults->synchronize();
    }
    // Torrent files go up as files; links (magnet links) go as link text.
    QStringList files, links;
    for (const QString &item : items) {
        if (TorrentAddViewController::isValidLink(item))
            links << item;
        else
            files << item;
    }
    QPointer<HostViewController> self(this);
    m_downloadView->on_Open_With_Items(files, links, [self, items](bool sent) {
        if (!self)
            return;
        if (!sent) {
            // The NAS has no download preferences yet: they come first.
            self->ToDefaultFolderView();
            return;
        }
        DefaultsStore *defaults = self->m_favorites->defaults();
        if (defaults
            && defaults->value(QLatin1String(kDefaultsOpenWithKey))
                == QJsonArray::fromStringList(items)) {
            defaults->removeValue(QLatin1String(kDefaultsOpenWithKey));
            defaults->synchronize();
        }
    });
}

void HostViewController::_start_Timer()
{
    _stop_Timer();
    on_Timer();
    // A QTimer keeps firing while modal dialogs run their own event loops.
    m_timer = new QTimer(this);
    m_timer->setInterval(kPollIntervalMs);
    connect(m_timer, &QTimer::timeout, this, &HostViewController::on_Timer);
    m_timer->start();
}

void HostViewController::_stop_Timer()
{
    if (m_timer) {
        m_timer->stop();
        m_timer->deleteLater();
        m_timer = nullptr;
    }
}

bool HostViewController::isPolling() const
{
    return m_timer && m_timer->isActive();
}

int HostViewController::timerInterval() const
{
    return m_timer ? m_timer->interval() : 0;
}

void HostViewController::on_Timer()
{
    CgiCtrl *client = ctrlCgi();
    if (!client || !client->logon())
        return;
    for (DCBaseViewController *pane : childControllers()) {
        if (pane->visible())
            pane->refresh_Items();
    }
}

bool HostViewController::isMyServer(const Notification &n) const
{
    const auto r = record();
    const QString mine = r ? r->hostID() : QString();
    return !mine.isEmpty() && n.userInfo.value(QStringLiteral("hostID")).toString() == mine;
}

void HostViewController::on_Login_Fail(const Notification &n)
{
    if (!isMyServer(n))
        return;
    _stop_Timer();
    HUD()->show_HUD(
        [client = m_client] {
            if (client)
                client->logout_Server(nullptr);
        },
        this,
        [this] {
            dropClient();
            m_state = State::SignInFailed;
            selectFeature(kFeatureDownloads);
            if (m_downloadView)
                m_downloadView->on_Show_Login_Fail_View();
            emit loginFailViewRequested();
        });
}

void HostViewController::on_Re_Login(const Notification &n)
{
    if (!isMyServer(n))
        return;
    _stop_Timer();
    std::shared_ptr<CgiCtrl> client = std::move(m_client);
    dropClient();
    runWork(
        this,
        [client]() mutable {
            if (client)
                client->logout_Server(nullptr);
        },
        [this] { check_login(); });
}

} // namespace flk
