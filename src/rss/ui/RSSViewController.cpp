// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "RSSViewController.h"

#include "RSSFeedAddViewController.h"
#include "RSSFilterManagerViewController.h"
#include "api/Localization.h"
#include "ui/KSTProgressHUDHelper.h"
#include "ui/ScreenParts.h"
#include "ui/Utility.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace flk {

RSSViewController::RSSViewController(QWidget *parent) : RSSViewController(nullptr, parent) { }

RSSViewController::RSSViewController(RSSFeedListController *controller, QWidget *parent)
    : DCBaseViewController(parent),
      m_controller(controller ? controller : new RSSFeedListController(this))
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
    m_btnEdit = ScreenParts::toolButton(
        m_controller->actEdit(), style()->standardIcon(QStyle::SP_FileDialogDetailedView), bar);
    m_btnDelete = ScreenParts::toolButton(
        m_controller->actDelete(), style()->standardIcon(QStyle::SP_TrashIcon), bar);
    m_btnUpdate = ScreenParts::toolButton(
        m_controller->actUpdate(), style()->standardIcon(QStyle::SP_BrowserReload), bar);
    m_btnFilterMan = ScreenParts::toolButton(
        m_controller->actFilterManager(), QIcon(QStringLiteral(":/images/filter.svg")), bar);
    for (QToolButton *b : { m_btnAdd, m_btnEdit, m_btnDelete, m_btnUpdate })
        row->addWidget(b);
    row->addSpacing(12);
    row->addWidget(m_btnFilterMan);
    row->addStretch();
    auto *title = ScreenParts::paneTitle(localized("RSS_TITLE"), bar);
    row->addWidget(title);
    layout->addWidget(bar);

    QTableView *table
        = ScreenParts::listTable(m_controller->model(), m_controller->selectionModel(), this);
    table->setColumnWidth(RSSFeedTableModel::ColName, 260);
    table->setColumnWidth(RSSFeedTableModel::ColUrl, 380);
    layout->addWidget(table, 1);
    setTableView(table);
    m_menuHeader = installColumnMenu(table,
        { { RSSFeedTableModel::ColName, QT_TRID_NOOP("COL_NAME") },
            { RSSFeedTableModel::ColUrl, QT_TRID_NOOP("COL_URL") },
            { RSSFeedTableModel::ColUpTime, QT_TRID_NOOP("COL_LAST_UPDATE") } },
        this);
    connect(
        table, &QTableView::doubleClicked, m_controller, &RSSFeedListController::on_Edit_RSS_Feed);

    connect(m_controller, &RSSFeedListController::feedSheetRequested, this,
        &RSSViewController::ToRSSFeedAddView);
    connect(m_controller, &RSSFeedListController::removeConfirmationRequested, this,
        &RSSViewController::confirmRemove);
    connect(m_controller, &RSSFeedListController::filterManagerRequested, this,
        &RSSViewController::ToRSSFilterView);
}

void RSSViewController::refresh_Items()
{
    m_controller->refresh_Items();
}

QString RSSViewController::sortKeyForColumn(int column) const
{
    return m_controller->model()->columnKey(column);
}

void RSSViewController::sortChanged()
{
    m_controller->setSort(sortKey(), order());
}

void RSSViewController::ToRSSFeedAddView(const QJsonObject &feed)
{
    RSSFeedAddViewController::present(
        this, feed, m_controller, &RSSFeedListController::feedSheetDone);
}

void RSSViewController::ToRSSFilterView()
{
    RSSFilterManagerViewController::present(this, client());
}

void RSSViewController::confirmRemove(qint64 feedId, const QString &title)
{
    QPointer<RSSFeedListController> controller(m_controller);
    Utility::confirmDestructive(Utility::mainWindow() ? Utility::mainWindow() : window(),
        localized("DELETE"), stringWithKSTFormat(localized("COMFIRM_REMOVE"), { title }),
        localized("DELETE"), [controller, feedId](bool ok) {
            if (ok && controller)
                controller->removeFeed(feedId);
        });
}

} // namespace flk
