// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "RSSLinkViewController.h"

#include "RSSFeedAddViewController.h"
#include "RSSFilterManagerViewController.h"
#include "api/Localization.h"
#include "tasks/ui/DownloadTaskViewController.h"
#include "tasks/ui/MultiDownloadWizardViewController.h"
#include "ui/KSTProgressHUDHelper.h"
#include "ui/ScreenParts.h"
#include "ui/Utility.h"

#include <QAction>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace flk {

RSSLinkViewController::RSSLinkViewController(QWidget *parent)
    : RSSLinkViewController(nullptr, parent)
{ }

RSSLinkViewController::RSSLinkViewController(RSSItemListController *controller, QWidget *parent)
    : DCBaseViewController(parent),
      m_controller(controller ? controller : new RSSItemListController(this))
{
    bindPageController(m_controller);
    setSortKey(m_controller->sortKey());
    setOrder(m_controller->order());

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *bar = new QWidget(this);
    auto *row = ScreenParts::toolbar(bar);
    m_btnAdd = ScreenParts::toolButton(
        m_controller->actAdd(), QIcon(QStringLiteral(":/images/add.svg")), bar);
    m_btnDownload = ScreenParts::toolButton(
        m_controller->actDownload(), QIcon(QStringLiteral(":/images/downloading_icon.svg")), bar);
    m_btnOpen = ScreenParts::toolButton(
        m_controller->actOpen(), QIcon(QStringLiteral(":/images/open.svg")), bar);
    m_btnUpdate = ScreenParts::toolButton(
        m_controller->actUpdate(), style()->standardIcon(QStyle::SP_BrowserReload), bar);
    m_btnFilterMan = ScreenParts::toolButton(
        m_controller->actFilterManager(), QIcon(QStringLiteral(":/images/filter.svg")), bar);
    for (QToolButton *b : { m_btnAdd, m_btnDownload, m_btnOpen, m_btnUpdate })
        row->addWidget(b);
    row->addSpacing(12);
    row->addWidget(m_btnFilterMan);
    row->addSpacing(16);
    m_txtTitle = ScreenParts::pageTitle(bar);
    row->addWidget(m_txtTitle, 1);
    layout->addWidget(bar);

    QTableView *table
        = ScreenParts::listTable(m_controller->model(), m_controller->selectionModel(), this);
    table->setColumnWidth(RSSItemTableModel::ColName, 380);
    table->setColumnWidth(RSSItemTableModel::ColSize, 90);
    table->setColumnWidth(RSSItemTableModel::ColAge, 100);
    layout->addWidget(table, 1);
    setTableView(table);
    m_menuHeader = installColumnMenu(table,
        { { RSSItemTableModel::ColName, QT_TRID_NOOP("COL_NAME") },
            { RSSItemTableModel::ColSize, QT_TRID_NOOP("COL_SIZE") },
            { RSSItemTableModel::ColAge, QT_TRID_NOOP("COL_AGE") },
            { RSSItemTableModel::ColDownload, QT_TRID_NOOP("DOWNLOAD") } },
        this);
    m_menuRow = new QMenu(this);
    m_menuRow->addAction(m_controller->actDownload());
    m_menuRow->addAction(m_controller->actOpen());
    installRowMenu(table, m_menuRow);
    connect(table, &QTableView::doubleClicked, m_controller,
        &RSSItemListController::on_Download_RSS_Feed);

    connect(m_controller, &RSSItemListController::taskDialogRequested, this,
        &RSSLinkViewController::ToTaskView);
    connect(m_controller, &RSSItemListController::multiDownloadRequested, this,
        &RSSLinkViewController::ToMultiDownloadView);
    connect(m_controller, &RSSItemListController::feedSheetRequested, this,
        &RSSLinkViewController::ToRSSFeedAddView);
    connect(m_controller, &RSSItemListController::filterManagerRequested, this,
        &RSSLinkViewController::ToRSSFilterView);
    connect(m_controller, &RSSItemListController::openUrlsRequested, this,
        [this](const QList<QUrl> &urls) { Utility::openWebPages(window(), urls); });
    connect(m_controller, &RSSItemListController::linkRefused, this,
        [this](const QStringList &schemes) { Utility::showLinksRefused(window(), schemes); });
}

void RSSLinkViewController::refresh_Items()
{
    m_controller->refresh_Items();
}

QString RSSLinkViewController::sortKeyForColumn(int column) const
{
    return m_controller->model()->columnKey(column);
}

void RSSLinkViewController::sortChanged()
{
    m_controller->setSort(sortKey(), order());
}

void RSSLinkViewController::ToTaskView(const QJsonObject &torrent)
{
    emit sheetOpened(DownloadTaskViewController::present(this, torrent, 0, client()));
}

void RSSLinkViewController::ToMultiDownloadView(uint downloadType, const QJsonArray &torrents)
{
    emit sheetOpened(
        MultiDownloadWizardViewController::present(this, client(), downloadType, torrents));
}

void RSSLinkViewController::setPageTitle(const QString &feedTitle)
{
    ScreenParts::setPageTitle(m_txtTitle,
        feedTitle.isEmpty() ? QString()
                            : stringWithKSTFormat(localized("PAGE_FEED_ITEMS"), { feedTitle }));
}

void RSSLinkViewController::ToRSSFeedAddView(const QJsonObject &feed)
{
    RSSFeedAddViewController::present(
        this, feed, m_controller, &RSSItemListController::addFromSheet);
}

void RSSLinkViewController::ToRSSFilterView()
{
    RSSFilterManagerViewController::present(this, client());
}

} // namespace flk
