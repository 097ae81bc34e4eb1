// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "ServerSession.h"

#include "api/CgiCtrl.h"
#include "api/CommandOverlay.h"
#include "api/Localization.h"
#include "api/NotificationCenter.h"
#include "api/Notifications.h"
#include "api/Work.h"
#include "desktop/FinishedTasksWatcher.h"
#include "desktop/LayoutState.h"
#include "models/SpeedHistory.h"
#include "rss/RSSFeedListController.h"
#include "rss/RSSItemListController.h"
#include "rss/RSSSidebarController.h"
#include "search/SearchKeyController.h"
#include "search/SearchResultController.h"
#include "servers/DefaultsStore.h"
#include "servers/FavoriteObject.h"
#include "tasks/TaskListController.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QJsonArray>
#include <QPointer>
#include <QTimer>

namespace flk {

namespace {
constexpr int kShownStaleAfterMs = 20000; // four polls
} // namespace

ServerSession::ServerSession(FavoriteManager *favorites, int index, QObject *parent)
    : QObject(parent),
      m_favorites(favorites),
      m_index(index),
      m_overlay(new CommandOverlay(this)),
      m_timer(new QTimer(this)),
      m_watchTimer(new QTimer(this)),
      m_taskList(new TaskListController(this)),
      m_searchKeys(new SearchKeyController(this)),
      m_searchResults(new SearchResultController(this)),
      m_rssSidebar(new RSSSidebarController(this)),
      m_rssFeeds(new RSSFeedListController(this)),
      m_rssItems(new RSSItemListController(this))
{
    // Deleted on the GUI thread when the last holder (work in flight
    // included) lets go.
    auto *client = new CgiCtrl();
    client->setDelegate(CgiCtrl::sharedCgiCtrl()->delegate());
    m_client = std::shared_ptr<CgiCtrl>(client, [](CgiCtrl *c) { c->deleteLater(); });

    if (const auto r = record()) {
        m_serverKey = serverKeyOf(*r);
        if (!r->hostID().isEmpty())
            m_legacyKeys << QStringLiteral("server:") + r->hostID();
    }
    m_taskList->setFavObj(record());
    // The speed history of the last day, kept per server in the state folder.
    m_taskList->speedHistory()->keepIn(speedHistoryPath(m_serverKey));

    m_timer->setInterval(pollIntervalMs);
    connect(m_timer, &QTimer::timeout, this, &ServerSession::on_Timer);
    connect(m_watchTimer, &QTimer::timeout, this, [this] {
        if (isSignedIn())
            m_taskList->refresh_Items();
    });
    wire();
}

ServerSession::~ServerSession()
{
    // Work still queued ends quickly: a sign-in is cancelled, requests too.
    if (m_loginAttempt)
        m_favorites->cancel_Login(m_loginAttempt);
    m_client->_cancel_All_Requests();
}

QString ServerSession::speedHistoryPath(const QString &serverKey)
{
    const QByteArray name
        = QCryptographicHash::hash(serverKey.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QFileInfo(LayoutState::standardPath()).absolutePath() + QStringLiteral("/speeds/")
        + QString::fromLatin1(name) + QStringLiteral(".bin");
}

void ServerSession::wire()
{
    const auto source = [this] { return m_client; };
    m_taskList->setClientSource(source);
    for (PaneController *c : std::initializer_list<PaneController *> {
             m_searchKeys, m_searchResults, m_rssSidebar, m_rssFeeds, m_rssItems })
        c->setClientSource(source);

    // The panes of one server follow each other.
    connect(m_searchKeys, &SearchKeyController::keyChanged, m_searchResults,
        &SearchResultController::on_Search_Key_Changed);
    connect(m_searchKeys, &SearchKeyController::featureActivated, this,
        [this](uint f) { selectFeature(int(f)); });
    connect(m_rssSidebar, &RSSSidebarController::feedChanged, m_rssItems,
        &RSSItemListController::on_RSS_Feed_Changed);
    connect(m_rssSidebar, &RSSSidebarController::featureActivated, this,
        [this](uint f) { selectFeature(int(f)); });
    connect(m_rssFeeds, &RSSFeedListController::feedListUpdated, m_rssSidebar,
        &RSSSidebarController::refresh_Items);
    connect(m_rssItems, &RSSItemListController::feedListUpdated, m_rssSidebar,
        &RSSSidebarController::refresh_Items);
    connect(m_taskList, &TaskListController::preferenceSheetRequested, this,
        &ServerSession::requestPreferences);
    connect(m_searchResults, &SearchResultController::preferenceRequested, this,
        &ServerSession::requestPreferences);

    // What the application and the other servers say.
    auto *center = NotificationCenter::defaultCenter();
    center->addObserver(QString::fromLatin1(kNOTIFY_LOGIN_FAVORITE_FAIL), this,
        [this](const Notification &n) { on_Login_Fail(n); });
    center->addObserver(QString::fromLatin1(kNOTIFY_RE_LOGIN_FAVORITE), this,
        [this](const Notification &n) { on_Re_Login(n); });
    center->addObserver(
        QString::fromLatin1(kNOTIFY_DOWNLOAD_REFRESH_ITEMS), this, [this](const Notification &) {
            if (isSignedIn())
                m_taskList->refresh_Items();
        });
    center->addObserver(QString::fromLatin1(kNOTIFY_OPEN_WITH_TORRENT), this,
        [this](const Notification &n) { on_Open_With(n); });
}

std::shared_ptr<FavoriteObject> ServerSession::record() const
{
    return m_favorites->get_Favorite_NAS(m_index);
}

QString ServerSession::serverKeyOf(const FavoriteObject &record)
{
    // The address as saved: known before any sign-in, unchanged by one.
    return QStringLiteral("server:") + record.host() + QLatin1Char(':') + record.port();
}

bool ServerSession::isSignedIn() const
{
    return m_client->logon();
}

void ServerSession::setState(State s)
{
    if (m_state == s)
        return;
    m_state = s;
    emit stateChanged(s);
}

void ServerSession::selectFeature(int feature)
{
    if (feature < int(kFeatureDownloads) || feature > int(kFeatureRSSItems))
        return;
    m_feature = feature;
    emit featureSelected(feature);
}

// ---- shown, polled, watched -------------------------------------------------

void ServerSession::setShown(bool shown)
{
    if (shown == m_shown)
        return;
    m_shown = shown;
    m_everShown = m_everShown || shown;
    if (!shown) {
        stopTimer();
        if (m_state == State::Polling)
            setState(State::Hidden);
        updateWatch();
        return;
    }
    const bool wasWatching = m_watchTimer->isActive();
    m_watchTimer->stop();
    if (wasWatching) {
        // Back to the shown pace once the list that showing asks for came
        // (the list may be a watch interval old until then).
        auto once = std::make_shared<QMetaObject::Connection>();
        *once = connect(m_taskList, &TaskListController::listApplied, this, [this, once] {
            QObject::disconnect(*once);
            if (m_shown)
                m_taskList->setStaleAfter(kShownStaleAfterMs);
        });
    } else {
        m_taskList->setStaleAfter(kShownStaleAfterMs);
    }
    check_login();
}

void ServerSession::startTimer()
{
    m_timer->setInterval(pollIntervalMs);
    on_Timer();
    // A QTimer keeps firing while modal dialogs run their own event loops.
    m_timer->start();
}

void ServerSession::stopTimer()
{
    m_timer->stop();
}

bool ServerSession::isPolling() const
{
    return m_timer->isActive();
}

int ServerSession::timerInterval() const
{
    return m_timer->isActive() ? m_timer->interval() : 0;
}

void ServerSession::on_Timer()
{
    if (!isSignedIn())
        return;
    // The three sidebar blocks are always on screen; of the pages, the
    // current one.
    m_searchKeys->refresh_Items();
    m_rssSidebar->refresh_Items();
    switch (m_feature) {
    case kFeatureDownloads:
        m_taskList->refresh_Items();
        break;
    case kFeatureSearch:
        m_searchResults->refresh_Items();
        break;
    case kFeatureRSSFeeds:
        m_rssFeeds->refresh_Items();
        break;
    case kFeatureRSSItems:
        m_rssItems->refresh_Items();
        break;
    default:
        break;
    }
    emit polled();
}

void ServerSession::setBackgroundWatch(bool on)
{
    m_backgroundWatch = on;
    updateWatch();
}

bool ServerSession::isBackgroundWatching() const
{
    return m_watchTimer->isActive();
}

void ServerSession::updateWatch()
{
    if (m_shown)
        return;
    const bool signedInBefore = m_state == State::Polling || m_state == State::Hidden;
    if (!m_backgroundWatch || !signedInBefore) {
        m_watchTimer->stop();
        // Nobody asks for the list: its age says nothing about the NAS.
        m_taskList->setStaleAfter(0);
        return;
    }
    // A list fetched every backgroundWatchMs is late only after a few
    // missed fetches.
    m_taskList->setStaleAfter(backgroundWatchMs * 4);
    m_watchTimer->start(backgroundWatchMs);
}

void ServerSession::setFinishedWatcher(FinishedTasksWatcher *watcher)
{
    m_taskList->setFinishedWatcher(watcher);
}

// ---- signing in -------------------------------------------------------------

void ServerSession::adoptClient(CgiCtrl *client)
{
    if (!client)
        return;
    client->setParent(nullptr);
    client->setShowErrorAlert(true);
    m_client = std::shared_ptr<CgiCtrl>(client, [](CgiCtrl *c) { c->deleteLater(); });
}

void ServerSession::check_login()
{
    if (m_state == State::SigningIn)
        return;
    if (isSignedIn()) {
        // Signed in already: only the preferences are asked for again.
        runWork(
            this,
            [client = m_client] {
                Error e;
                client->get_User_Preference(&e);
                return e.is(kCgiErrorDomain, kCgiErrorNoPreference);
            },
            [this](bool noPreferences) {
                if (noPreferences)
                    emit defaultFolderRequested();
            });
        setState(m_shown ? State::Polling : State::Hidden);
        if (m_shown)
            startTimer();
        _deliver_Open_With();
        return;
    }

    setState(State::SigningIn);
    m_overlay->setIndicator(CommandOverlay::Indicator::Spinner);
    m_overlay->setText(localized("TXT_SIGNING_IN"));
    FavoriteManager *favorites = m_favorites;
    const int index = m_index;
    const LoginHandle attempt = favorites->newLoginAttempt();
    m_loginAttempt = attempt;
    struct Outcome {
        bool signedIn = false;
        Error error;
    };
    const bool started = m_overlay->runCancellable(
        [favorites, index, attempt, client = m_client] {
            Outcome out;
            out.signedIn = favorites->login_Favorite_NAS(index, &out.error, attempt, client.get())
                != nullptr;
            if (!out.signedIn)
                return out;
            client->setShowErrorAlert(true);
            client->get_User_Preference(&out.error);
            return out;
        },
        [this](Outcome out) {
            m_loginAttempt.reset();
            m_overlay->setText(localized("LOADING"));
            if (!out.signedIn) {
                setState(State::SignInFailed);
                return;
            }
            // Its alerts say which server they are about.
            if (const auto r = record())
                m_client->setServerName(r->serverName());
            setState(m_shown ? State::Polling : State::Hidden);
            if (m_shown)
                startTimer();
            else
                updateWatch();
            if (out.error.is(kCgiErrorDomain, kCgiErrorNoPreference))
                emit defaultFolderRequested();
            _deliver_Open_With();
        },
        [this, favorites, attempt] {
            favorites->cancel_Login(attempt);
            m_loginAttempt.reset();
            setState(State::NotShown);
        });
    if (!started) {
        // Another command holds the overlay: try again when it is done.
        m_loginAttempt.reset();
        setState(State::NotShown);
        QPointer<ServerSession> self(this);
        auto once = std::make_shared<QMetaObject::Connection>();
        *once = connect(m_overlay, &CommandOverlay::showingChanged, this, [self, once](bool on) {
            if (on || !self)
                return;
            QObject::disconnect(*once);
            if (self->m_shown)
                self->check_login();
        });
    }
}

bool ServerSession::isMyServer(const Notification &n) const
{
    const auto r = record();
    const QString mine = r ? r->hostID() : QString();
    return !mine.isEmpty() && n.userInfo.value(QStringLiteral("hostID")).toString() == mine;
}

void ServerSession::on_Login_Fail(const Notification &n)
{
    if (!isMyServer(n) || !m_everShown)
        return;
    stopTimer();
    m_watchTimer->stop();
    m_overlay->run([client = m_client] { client->logout_Server(nullptr); },
        [this] {
            setState(State::SignInFailed);
            selectFeature(kFeatureDownloads);
            m_taskList->on_Show_Login_Fail_View();
            emit loginFailViewRequested();
        });
}

void ServerSession::on_Re_Login(const Notification &n)
{
    if (!isMyServer(n) || !m_everShown || m_state == State::SigningIn)
        return;
    stopTimer();
    m_watchTimer->stop();
    // The same connection signs out and in again: sheets and panes holding
    // it keep working once the new session is in.
    runWork(
        this, [client = m_client] { client->logout_Server(nullptr); },
        [this] {
            setState(State::NotShown);
            if (m_shown)
                check_login();
        });
}

} // namespace flk
