// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "DCBaseViewController.h"

#include "KSTProgressHUDHelper.h"
#include "Utility.h"
#include "api/CgiCtrl.h"
#include "api/Localization.h"

#include <QHeaderView>
#include <QMenu>
#include <QTableView>
#include <QTimer>

namespace flk {

DCBaseViewController::DCBaseViewController(QWidget *parent)
    : KSTSheetViewController(parent), m_hud(new KSTProgressHUDHelper(this))
{
    m_hud->setIndicatorViewStyle(CommandOverlay::Indicator::Spinner);
}

CgiCtrl *DCBaseViewController::ctrlCgi() const
{
    return client().get();
}

std::shared_ptr<CgiCtrl> DCBaseViewController::client() const
{
    if (m_client)
        return m_client;
    if (DCBaseViewController *p = parentController())
        return p->client();
    return nullptr;
}

void DCBaseViewController::setCtrlCgi(CgiCtrl *c)
{
    // Owned elsewhere: shared without ownership.
    m_client = c ? std::shared_ptr<CgiCtrl>(c, [](CgiCtrl *) {}) : nullptr;
}

void DCBaseViewController::setCtrlCgi(std::shared_ptr<CgiCtrl> c)
{
    m_client = std::move(c);
}

DCBaseViewController *DCBaseViewController::parentController() const
{
    if (m_parentController)
        return m_parentController;
    for (QWidget *w = parentWidget(); w; w = w->parentWidget()) {
        if (auto *c = qobject_cast<DCBaseViewController *>(w))
            return c;
    }
    return nullptr;
}

void DCBaseViewController::bindOverlay(CommandOverlay *commands, OverlayOver where)
{
    m_hud->setCommands(commands);
    if (where == OverlayOver::Self)
        m_hud->setViewProvider([this] { return this; });
    else
        m_hud->setViewProvider([this] {
            return Utility::mainView() ? Utility::mainView() : static_cast<QWidget *>(this);
        });
}

void DCBaseViewController::setTableView(QTableView *table)
{
    m_tableView = table;
    table->verticalHeader()->setDefaultSectionSize(25);
    connect(table->horizontalHeader(), &QHeaderView::sectionClicked, this,
        [this, table](int column) { onHeaderClicked(table, column); });
}

QString DCBaseViewController::sortKeyForColumn(int) const
{
    return QString();
}

void DCBaseViewController::onHeaderClicked(QTableView *table, int column)
{
    if (table != m_tableView)
        return;
    m_sortKey = sortKeyForColumn(column);
    m_order = orderAfterClick(table, column);
    sortChanged();
}

QString DCBaseViewController::orderAfterClick(const QTableView *table, int column)
{
    const QHeaderView *header = table->horizontalHeader();
    if (header->sortIndicatorSection() != column)
        return QString();
    return header->sortIndicatorOrder() == Qt::AscendingOrder ? QStringLiteral("asc")
                                                              : QStringLiteral("desc");
}

void DCBaseViewController::followSortClicks(QTableView *table)
{
    QHeaderView *h = table->horizontalHeader();
    h->setSectionsClickable(true);
    h->setSortIndicatorShown(true);
    QObject::connect(h, &QHeaderView::sectionClicked, h, [h](int column) {
        const bool flip
            = h->sortIndicatorSection() == column && h->sortIndicatorOrder() == Qt::AscendingOrder;
        h->setSortIndicator(column, flip ? Qt::DescendingOrder : Qt::AscendingOrder);
    });
}

QMenu *DCBaseViewController::installColumnMenu(
    QTableView *table, const QList<QPair<int, const char *>> &columns, QWidget *owner)
{
    auto *menu = new QMenu(owner);
    for (const auto &[column, title] : columns) {
        QAction *a = menu->addAction(localized(title));
        a->setCheckable(true);
        a->setChecked(!table->isColumnHidden(column));
        const int c = column;
        QObject::connect(
            a, &QAction::toggled, table, [table, c](bool on) { table->setColumnHidden(c, !on); });
    }
    QHeaderView *h = table->horizontalHeader();
    h->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(h, &QWidget::customContextMenuRequested, menu,
        [menu, h](const QPoint &p) { menu->popup(h->mapToGlobal(p)); });
    return menu;
}

void DCBaseViewController::installRowMenu(QTableView *table, QMenu *menu)
{
    table->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(
        table, &QWidget::customContextMenuRequested, menu, [table, menu](const QPoint &p) {
            const QModelIndex at = table->indexAt(p);
            if (!at.isValid())
                return;
            if (!table->selectionModel()->isRowSelected(at.row(), {}))
                table->selectionModel()->setCurrentIndex(
                    at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            menu->popup(table->viewport()->mapToGlobal(p));
        });
}

void DCBaseViewController::showEvent(QShowEvent *e)
{
    KSTSheetViewController::showEvent(e);
    refresh_Items();
    if (m_tableView)
        m_tableView->viewport()->update();
    m_visible = true;
}

void DCBaseViewController::hideEvent(QHideEvent *e)
{
    KSTSheetViewController::hideEvent(e);
    m_visible = false;
}

} // namespace flk
