#include "DCBaseViewController.h"

#include "KSTProgressHUDHelper.h"
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
    m_hud->setIndicatorViewStyle(1);
}

CgiCtrl *DCBaseViewController::ctrlCgi() const
{
    if (m_ctrlCgi)
        return m_ctrlCgi;
    if (DCBaseViewController *p = parentController())
        return p->ctrlCgi();
    return nullptr;
}

std::shared_ptr<CgiCtrl> DCBaseViewController::ctrlCgiHandle() const
{
    if (m_ctrlCgi)
        return nullptr; // a client of its own, owned elsewhere
    if (DCBaseViewController *p = parentController())
        return p->ctrlCgiHandle();
    return nullptr;
}

void DCBaseViewController::setCtrlCgi(CgiCtrl *c)
{
    m_ctrlCgi = c;
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
    sortKey = sortKeyForColumn(column);
    order = orderAfterClick(table, column);
    refresh_Items();
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
