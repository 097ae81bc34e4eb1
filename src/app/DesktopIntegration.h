// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QObject>
#include <QPointer>

#include <memory>

class QAction;
class QMainWindow;
class QSystemTrayIcon;

namespace flk {

class DefaultsStore;
class DesktopNotifier;
class FLKMainViewController;
class HostViewController;
class LayoutState;

inline constexpr const char *kDefaultsNotificationsKey = "desktop_notifications";
inline constexpr const char *kDefaultsTrayIconKey = "tray_icon";
// The application's id on the desktop: desktop file, icon and metainfo.
inline constexpr const char *kDesktopId = "com.kestrel.Ferrylink";

// Ferrylink on the Linux desktop: notifications (a task finished, tasks that
// finished while away, a server that stopped answering and came back; a
// click brings the window to that server and task), the remembered window
// layout, and the optional notification-area icon. The settings live in the
// defaults file; the layout in the state file.
class DesktopIntegration : public QObject
{
    Q_OBJECT

public:
    DesktopIntegration(QMainWindow *window, FLKMainViewController *main, DefaultsStore *defaults,
        std::unique_ptr<DesktopNotifier> notifier, std::unique_ptr<LayoutState> layout,
        QObject *parent = nullptr);
    ~DesktopIntegration() override;

    DesktopNotifier *notifier() const { return m_notifier.get(); }
    // Another notifier (tests: one on a bus of their own); it takes over the
    // current one's settings.
    void setNotifier(std::unique_ptr<DesktopNotifier> notifier);
    LayoutState *layout() const { return m_layout.get(); }
    // Checkable menu items (Options menu).
    QAction *actNotifications() const { return m_actNotifications; }
    QAction *actTrayIcon() const { return m_actTray; }
    QSystemTrayIcon *trayIcon() const { return m_tray; }

    // A server's tab: its layout comes back, its finished tasks and its
    // answering are watched.
    void attachHost(HostViewController *host);
    // Before the window shows: its size and place as left.
    void restoreWindow();
    // Writes the window's and every server's layout to the state file.
    void saveLayout();
    // A server removed: its layout is forgotten.
    void forgetServer(const QString &serverKey);

    void setNotificationsEnabled(bool on);
    void setTrayIconShown(bool on);
    // A clicked notification: the window on that server, the task selected.
    void activate(const QString &serverKey, const QString &taskKey);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void notifyFinished(
        HostViewController *host, const QList<struct FinishedTask> &tasks, bool whileAway);
    void notifyAnswering(HostViewController *host, bool stale);
    void showWindow();

    QMainWindow *m_window;
    FLKMainViewController *m_main;
    DefaultsStore *m_defaults;
    std::unique_ptr<DesktopNotifier> m_notifier;
    std::unique_ptr<LayoutState> m_layout;
    QAction *m_actNotifications;
    QAction *m_actTray;
    QSystemTrayIcon *m_tray = nullptr;
};

} // namespace flk
