// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "rss/RSSFeedListController.h"
#include "ui/DCBaseViewController.h"

class QMenu;
class QToolButton;

namespace flk {

// The feed list page (feature page 2): draws its RSSFeedListController
// (toolbar, table, column chooser) and presents the feed sheet, the delete
// confirmation and the filter manager it asks for.
class RSSViewController : public DCBaseViewController
{
    Q_OBJECT

public:
    explicit RSSViewController(QWidget *parent = nullptr);
    // Over a controller owned elsewhere (the server's session).
    explicit RSSViewController(RSSFeedListController *controller, QWidget *parent = nullptr);

    RSSFeedListController *controller() const { return m_controller; }
    void refresh_Items() override;
    QString sortKeyForColumn(int column) const override;
    void sortChanged() override;
    QMenu *menuRSS() const { return m_menuHeader; }
    QToolButton *btnAdd() const { return m_btnAdd; }
    QToolButton *btnEdit() const { return m_btnEdit; }
    QToolButton *btnDelete() const { return m_btnDelete; }
    QToolButton *btnUpdate() const { return m_btnUpdate; }
    QToolButton *btnFilterMan() const { return m_btnFilterMan; }

    void ToRSSFeedAddView(const QJsonObject &feed);
    void ToRSSFilterView();

private:
    void confirmRemove(qint64 feedId, const QString &title);

    RSSFeedListController *m_controller;
    QMenu *m_menuHeader;
    QToolButton *m_btnAdd, *m_btnEdit, *m_btnDelete, *m_btnUpdate, *m_btnFilterMan;
};

} // namespace flk
