// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "rss/RSSSidebarController.h"
#include "ui/DCBaseViewController.h"

class QMenu;

namespace flk {

// The RSS block of a host's sidebar: draws its RSSSidebarController (the
// all-feeds row and one row per feed), the context menu on feed rows, and
// the feed sheet and delete confirmation it asks for.
class RSSFeedViewController : public DCBaseViewController
{
    Q_OBJECT

public:
    explicit RSSFeedViewController(QWidget *parent = nullptr);
    // Over a controller owned elsewhere (the server's session).
    explicit RSSFeedViewController(RSSSidebarController *controller, QWidget *parent = nullptr);

    RSSSidebarController *controller() const { return m_controller; }
    void refresh_Items() override;
    QTableView *feedTable() const { return tableView(); }
    QMenu *menuRSSFeed() const { return m_menu; }

    void ToRSSFeedAddView(const QJsonObject &feed);

private:
    void confirmRemove(qint64 feedId, const QString &title);

    RSSSidebarController *m_controller;
    QMenu *m_menu;
};

} // namespace flk
