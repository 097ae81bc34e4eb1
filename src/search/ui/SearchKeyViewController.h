// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "search/SearchKeyController.h"
#include "ui/DCBaseViewController.h"

class QLineEdit;
class QMenu;

class QTableView;

namespace flk {

// The search block of a host's sidebar: draws its SearchKeyController (the
// search field `editSearch` and the saved keys) and its context menu.
class SearchKeyViewController : public DCBaseViewController
{
    Q_OBJECT

public:
    QTableView *keyTable() const { return tableView(); }
    explicit SearchKeyViewController(QWidget *parent = nullptr);
    // Over a controller owned elsewhere (the server's session).
    explicit SearchKeyViewController(SearchKeyController *controller, QWidget *parent = nullptr);

    SearchKeyController *controller() const { return m_controller; }
    QLineEdit *editSearch() const { return m_edit; }
    QMenu *menuSearch() const { return m_menu; }
    void refresh_Items() override;
    // Return in the search field: the text goes, the field empties.
    void submitSearch();

private:
    SearchKeyController *m_controller;
    QLineEdit *m_edit;
    QMenu *m_menu;
};

} // namespace flk
