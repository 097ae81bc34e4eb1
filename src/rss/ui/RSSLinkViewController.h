// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "rss/RSSItemListController.h"
#include "ui/DCBaseViewController.h"

class QMenu;
class QToolButton;

class QLabel;

namespace flk {

struct Notification;

// The item page (feature page 3): draws its RSSItemListController (toolbar,
// items table, column chooser, row menu) and presents what it asks for: the
// new-task dialog, the multi-download wizard, the feed sheet, the filter
// manager; item pages open in the default browser.
class RSSLinkViewController : public DCBaseViewController
{
    Q_OBJECT

public:
    // "Items of …": the feed the page shows.
    void setPageTitle(const QString &feedTitle);
    QLabel *txtTitle() const { return m_txtTitle; }
    explicit RSSLinkViewController(QWidget *parent = nullptr);
    // Over a controller owned elsewhere (the server's session).
    explicit RSSLinkViewController(RSSItemListController *controller, QWidget *parent = nullptr);

    RSSItemListController *controller() const { return m_controller; }
    void refresh_Items() override;
    QString sortKeyForColumn(int column) const override;
    void sortChanged() override;
    QMenu *menuRSSLinkHeader() const { return m_menuHeader; }
    QMenu *menuRSSLink() const { return m_menuRow; }
    QToolButton *btnDownload() const { return m_btnDownload; }
    QToolButton *btnOpen() const { return m_btnOpen; }

    void ToTaskView(const QJsonObject &torrent);
    void ToMultiDownloadView(uint downloadType, const QJsonArray &torrents);
    void ToRSSFeedAddView(const QJsonObject &feed);
    void ToRSSFilterView();

signals:
    // A dialog or wizard opened (tests follow it).
    void sheetOpened(QWidget *sheet);

private:
    RSSItemListController *m_controller;
    QMenu *m_menuHeader, *m_menuRow;
    QToolButton *m_btnAdd, *m_btnDownload, *m_btnOpen, *m_btnUpdate, *m_btnFilterMan;
    QLabel *m_txtTitle = nullptr;
};

} // namespace flk
