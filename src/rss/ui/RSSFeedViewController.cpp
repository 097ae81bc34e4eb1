// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "RSSFeedViewController.h"

#include "RSSFeedAddViewController.h"
#include "api/Localization.h"
#include "ui/KSTProgressHUDHelper.h"
#include "ui/ScreenParts.h"
#include "ui/Utility.h"

#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTableView>
#include <QVBoxLayout>

namespace flk {

RSSFeedViewController::RSSFeedViewController(QWidget *parent)
    : RSSFeedViewController(nullptr, parent)
{ }

RSSFeedViewController::RSSFeedViewController(RSSSidebarController *controller, QWidget *parent)
    : DCBaseViewController(parent),
      m_controller(controller ? controller : new RSSSidebarController(this))
{
    bindPageController(m_controller);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ScreenParts::paneTitle(localized("RSS_TITLE"), this));
    auto *table = new QTableView(this);
    table->setModel(m_controller->model());
    table->setSelectionModel(m_controller->selectionModel());
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setShowGrid(false);
    table->setFrameShape(QFrame::NoFrame);
    table->horizontalHeader()->hide();
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->setIconSize(QSize(16, 16));
    table->setTextElideMode(Qt::ElideRight);
    table->verticalHeader()->setDefaultSectionSize(24);
    table->setAccessibleName(localized("RSS_TITLE"));
    layout->addWidget(table);
    setTableView(table);
    connect(table, &QTableView::clicked, this,
        [this](const QModelIndex &i) { m_controller->rowClicked(i.row()); });

    // Offered on feed rows only; the clicked row is selected first.
    m_menu = new QMenu(this);
    m_menu->addAction(m_controller->actEdit());
    m_menu->addAction(m_controller->actRemove());
    table->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(table, &QWidget::customContextMenuRequested, this, [this, table](const QPoint &p) {
        const int row = table->indexAt(p).row();
        if (!m_controller->offersMenuAt(row))
            return;
        m_controller->selectRow(row);
        m_menu->popup(table->viewport()->mapToGlobal(p));
    });

    connect(m_controller, &RSSSidebarController::feedSheetRequested, this,
        &RSSFeedViewController::ToRSSFeedAddView);
    connect(m_controller, &RSSSidebarController::removeConfirmationRequested, this,
        &RSSFeedViewController::confirmRemove);
}

void RSSFeedViewController::refresh_Items()
{
    m_controller->refresh_Items();
}

void RSSFeedViewController::ToRSSFeedAddView(const QJsonObject &feed)
{
    RSSFeedAddViewController::present(
        this, feed, m_controller, &RSSSidebarController::editFromSheet);
}

void RSSFeedViewController::confirmRemove(qint64 feedId, const QString &title)
{
    QPointer<RSSSidebarController> controller(m_controller);
    Utility::confirmDestructive(Utility::mainWindow() ? Utility::mainWindow() : window(),
        localized("DELETE"), stringWithKSTFormat(localized("COMFIRM_REMOVE"), { title }),
        localized("DELETE"), [controller, feedId](bool ok) {
            if (ok && controller)
                controller->removeFeed(feedId);
        });
}

} // namespace flk
