// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "DesktopIntegration.h"

#include "FLKMainViewController.h"
#include "HostViewController.h"
#include "api/Localization.h"
#include "api/Notifications.h"
#include "desktop/DesktopNotifier.h"
#include "desktop/FinishedTasksWatcher.h"
#include "desktop/LayoutState.h"
#include "servers/DefaultsStore.h"
#include "servers/FavoriteObject.h"
#include "tasks/TaskListController.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMainWindow>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTabWidget>

namespace flk {

namespace {
// Names listed in one "finished while away" notification; the rest are
// counted.
constexpr int kMaxNamesListed = 5;

bool boolSetting(DefaultsStore *d, const char *key, bool fallback)
{
    const QJsonValue v = d->value(QLatin1String(key));
    return v.isBool() ? v.toBool() : fallback;
}
} // namespace

DesktopIntegration::DesktopIntegration(QMainWindow *window, FLKMainViewController *main,
    DefaultsStore *defaults, std::unique_ptr<DesktopNotifier> notifier,
    std::unique_ptr<LayoutState> layout, QObject *parent)
    : QObject(parent),
      m_window(window),
      m_main(main),
      m_defaults(defaults),
      m_layout(std::move(layout))
{
    setNotifier(std::move(notifier));

    m_actNotifications = new QAction(localized("MITEM_NOTIFICATIONS"), this);
    m_actNotifications->setCheckable(true);
    m_actNotifications->setChecked(boolSetting(m_defaults, kDefaultsNotificationsKey, true));
    m_notifier->setEnabled(m_actNotifications->isChecked());
    connect(
        m_actNotifications, &QAction::toggled, this, &DesktopIntegration::setNotificationsEnabled);

    m_actTray = new QAction(localized("MITEM_TRAY_ICON"), this);
    m_actTray->setCheckable(true);
    // Where no notification area exists the icon could not be a way back.
    m_actTray->setEnabled(QSystemTrayIcon::isSystemTrayAvailable());
    connect(m_actTray, &QAction::toggled, this, &DesktopIntegration::setTrayIconShown);
    m_actTray->setChecked(boolSetting(m_defaults, kDefaultsTrayIconKey, false));

    m_window->installEventFilter(this);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &DesktopIntegration::saveLayout);
}

DesktopIntegration::~DesktopIntegration() = default;

void DesktopIntegration::setNotifier(std::unique_ptr<DesktopNotifier> notifier)
{
    const bool enabled = m_notifier ? m_notifier->isEnabled() : true;
    m_notifier = std::move(notifier);
    m_notifier->setDesktopEntry(QString::fromLatin1(kDesktopId));
    m_notifier->setIconName(QString::fromLatin1(kDesktopId));
    m_notifier->setAppName(QStringLiteral("Ferrylink"));
    m_notifier->setEnabled(enabled);
    connect(m_notifier.get(), &DesktopNotifier::activated, this, &DesktopIntegration::activate);
}

void DesktopIntegration::attachHost(HostViewController *host)
{
    if (!host)
        return;
    const auto record = host->record();
    host->restoreLayout(*m_layout);
    ServerSession *session = host->session();
    TaskListController *list = session->taskList();
    if (record && !list->finishedWatcher()) {
        auto *watcher = new FinishedTasksWatcher(
            FinishedTasksWatcher::cacheFileFor(session->serverKey()), session);
        session->setFinishedWatcher(watcher);
        QPointer<HostViewController> h(host);
        connect(watcher, &FinishedTasksWatcher::finished, this,
            [this, h](const QList<FinishedTask> &tasks, bool whileAway) {
                if (h)
                    notifyFinished(h, tasks, whileAway);
            });
        connect(list, &TaskListController::staleChanged, this, [this, h](bool stale) {
            if (h)
                notifyAnswering(h, stale);
        });
    }
    session->setBackgroundWatch(m_notifier->isEnabled());
}

void DesktopIntegration::restoreWindow()
{
    const QByteArray geometry
        = m_layout->bytes(QStringLiteral("window"), QStringLiteral("geometry"));
    if (!geometry.isEmpty())
        m_window->restoreGeometry(geometry);
}

void DesktopIntegration::saveLayout()
{
    m_layout->setBytes(
        QStringLiteral("window"), QStringLiteral("geometry"), m_window->saveGeometry());
    for (int i = 0; i < m_main->hostCount(); ++i) {
        if (HostViewController *host = m_main->hostAt(i))
            host->saveLayout(*m_layout);
    }
    if (!m_layout->save())
        qWarning(
            "Ferrylink: the window layout was not saved: %s", qPrintable(m_layout->lastError()));
}

void DesktopIntegration::forgetServer(const QString &serverKey)
{
    m_layout->removeScope(serverKey);
}

void DesktopIntegration::setNotificationsEnabled(bool on)
{
    m_notifier->setEnabled(on);
    if (m_actNotifications->isChecked() != on)
        m_actNotifications->setChecked(on);
    m_defaults->setValue(QLatin1String(kDefaultsNotificationsKey), on);
    m_defaults->synchronize();
    // Hidden servers are only fetched for the sake of notifications.
    for (int i = 0; i < m_main->hostCount(); ++i) {
        if (HostViewController *host = m_main->hostAt(i))
            host->session()->setBackgroundWatch(on);
    }
}

void DesktopIntegration::setTrayIconShown(bool on)
{
    on = on && QSystemTrayIcon::isSystemTrayAvailable();
    if (m_actTray->isChecked() != on) {
        const QSignalBlocker block(m_actTray);
        m_actTray->setChecked(on);
    }
    m_defaults->setValue(QLatin1String(kDefaultsTrayIconKey), on);
    m_defaults->synchronize();
    if (!on) {
        delete m_tray;
        m_tray = nullptr;
        // Without the icon, closing the window is the way out again.
        QApplication::setQuitOnLastWindowClosed(true);
        return;
    }
    if (!m_tray) {
        m_tray = new QSystemTrayIcon(m_window->windowIcon(), this);
        m_tray->setToolTip(QStringLiteral("Ferrylink"));
        auto *menu = new QMenu(m_window);
        menu->addAction(localized("TRAY_SHOW"), this, &DesktopIntegration::showWindow);
        menu->addSeparator();
        menu->addAction(localized("MITEM_QUIT_FLK"), qApp, &QCoreApplication::quit);
        m_tray->setContextMenu(menu);
        connect(m_tray, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                    showWindow();
            });
    }
    m_tray->show();
    QApplication::setQuitOnLastWindowClosed(false);
}

bool DesktopIntegration::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::Close) {
        // With a visible notification-area icon the window only hides: the
        // icon brings it back. Otherwise closing ends the application.
        if (m_tray && m_tray->isVisible() && QSystemTrayIcon::isSystemTrayAvailable()) {
            saveLayout();
            m_window->hide();
            event->ignore();
            return true;
        }
        saveLayout();
    }
    return QObject::eventFilter(watched, event);
}

void DesktopIntegration::showWindow()
{
    if (m_window->isMinimized())
        m_window->showNormal();
    else
        m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void DesktopIntegration::activate(const QString &serverKey, const QString &taskKey)
{
    showWindow();
    for (int i = 0; i < m_main->hostCount(); ++i) {
        HostViewController *host = m_main->hostAt(i);
        if (!host || host->serverKey() != serverKey)
            continue;
        m_main->tabView()->setCurrentIndex(i);
        if (taskKey.isEmpty())
            return;
        host->session()->showTask(taskKey);
        return;
    }
}

void DesktopIntegration::notifyFinished(
    HostViewController *host, const QList<FinishedTask> &tasks, bool whileAway)
{
    const auto record = host->record();
    const QString server = record ? record->serverName() : QString();
    DesktopNotifier::Target target { host->serverKey(), QString() };
    if (!whileAway && tasks.size() == 1) {
        target.taskKey = tasks.first().key;
        m_notifier->notify(localized("NOTIFY_TASK_FINISHED"),
            stringWithKSTFormat(
                localized("NOTIFY_TASK_FINISHED_BODY"), { tasks.first().name, server }),
            target);
        return;
    }
    QStringList names;
    for (int i = 0; i < tasks.size() && i < kMaxNamesListed; ++i)
        names << tasks.at(i).name;
    QString body = names.join(QLatin1Char('\n'));
    if (tasks.size() > kMaxNamesListed)
        body += QLatin1Char('\n')
            + stringWithKSTFormat(
                localized("NOTIFY_AND_MORE"), { QString::number(tasks.size() - kMaxNamesListed) });
    if (tasks.size() == 1)
        target.taskKey = tasks.first().key;
    m_notifier->notify(
        stringWithKSTFormat(localized(whileAway ? "NOTIFY_FINISHED_AWAY" : "NOTIFY_TASKS_FINISHED"),
            { QString::number(tasks.size()), server }),
        body, target);
}

void DesktopIntegration::notifyAnswering(HostViewController *host, bool stale)
{
    const auto record = host->record();
    const QString server = record ? record->serverName() : QString();
    m_notifier->notify(
        stringWithKSTFormat(
            localized(stale ? "NOTIFY_SERVER_STOPPED" : "NOTIFY_SERVER_BACK"), { server }),
        localized(stale ? "NOTIFY_SERVER_STOPPED_BODY" : "NOTIFY_SERVER_BACK_BODY"),
        { host->serverKey(), QString() });
}

} // namespace flk
