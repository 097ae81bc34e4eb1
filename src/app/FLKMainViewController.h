// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QWidget>

class QStackedWidget;
class QTabWidget;

namespace flk {

class CgiCtrl;
class FavoriteManager;
class HostViewController;

// The main window's content: one tab per saved server, in list order; the
// tab at position i holds the host of the server at index i.
class FLKMainViewController : public QWidget
{
    Q_OBJECT

public:
    explicit FLKMainViewController(FavoriteManager *favorites, QWidget *parent = nullptr);

    FavoriteManager *favMan() const { return m_favMan; }
    QTabWidget *tabView() const { return m_tabView; }
    HostViewController *hostAt(int i) const;
    int hostCount() const;

    // Segue: opens the add-server wizard; a client in its result becomes a new tab.
    void ToAddServerSheet();
    // Adds the tab of the last saved server, with its already signed-in client.
    HostViewController *addHostForLastServer(CgiCtrl *client);
    // Removes the tab at i and renumbers the hosts after it.
    void removeHostAt(int i);
    // The page shown while no server is saved (says so, with Add Server).
    QWidget *emptyView() const { return m_empty; }
    // Tab titles: the server's name, with the account where two tabs would
    // read the same.
    void updateTabTitles();

signals:
    void wizardOpened(QWidget *wizard);
    // A server's tab was made after construction (added server).
    void hostCreated(HostViewController *host);

private:
    HostViewController *makeHost(int index);
    void showEmptyWhenNoServer();

    FavoriteManager *m_favMan;
    QStackedWidget *m_stack;
    QWidget *m_empty;
    QTabWidget *m_tabView;
};

} // namespace flk
