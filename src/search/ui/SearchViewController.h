// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "search/SearchResultController.h"
#include "ui/DCBaseViewController.h"

class QComboBox;
class QLineEdit;
class QMenu;
class QToolButton;

class QLabel;

namespace flk {

struct Notification;

// The search results page (feature page 1): draws its SearchResultController
// (category chooser, filter field, results table with column chooser, row
// menu, the searching overlay over this page only) and presents the new-task
// dialog and the multi-download wizard it asks for.
class SearchViewController : public DCBaseViewController
{
    Q_OBJECT

public:
    QLabel *txtTitle() const { return m_txtTitle; }
    explicit SearchViewController(QWidget *parent = nullptr);
    // Over a controller owned elsewhere (the server's session).
    explicit SearchViewController(SearchResultController *controller, QWidget *parent = nullptr);

    SearchResultController *controller() const { return m_controller; }
    void refresh_Items() override;
    QString sortKeyForColumn(int column) const override;
    void sortChanged() override;
    QComboBox *cmbCategory() const { return m_cmbCategory; }
    QLineEdit *editFilter() const { return m_editFilter; }
    QMenu *menuSearchHeader() const { return m_menuHeader; }
    QMenu *menuSearch() const { return m_menuRow; }
    QToolButton *btnDownload() const { return m_btnDownload; }
    QToolButton *btnOpen() const { return m_btnOpen; }
    QToolButton *btnPreference() const { return m_btnPreference; }

    void ToTaskView(const QJsonObject &torrent);
    void ToMultiDownloadView(uint downloadType, const QJsonArray &torrents);

signals:
    void sheetOpened(QWidget *sheet);

private:
    void showCategories();

    SearchResultController *m_controller;
    QComboBox *m_cmbCategory;
    QLineEdit *m_editFilter;
    QMenu *m_menuHeader, *m_menuRow;
    QToolButton *m_btnDownload, *m_btnOpen, *m_btnPreference;
    bool m_showingCategories = false;
    QLabel *m_txtTitle = nullptr;
};

} // namespace flk
