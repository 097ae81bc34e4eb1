#include "DCBaseViewController.h"

#include "KSTProgressHUDHelper.h"
#include "api/CgiCtrl.h"

#include <QHeaderView>
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
    const QHeaderView *header = table->horizontalHeader();
    sortKey = sortKeyForColumn(column);
    if (header->sortIndicatorSection() == column)
        order = header->sortIndicatorOrder() == Qt::AscendingOrder ? QStringLiteral("asc")
                                                                   : QStringLiteral("desc");
    else
        order = QString();
    refresh_Items();
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
