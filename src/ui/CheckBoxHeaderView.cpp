// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "CheckBoxHeaderView.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QTableView>

namespace flk {

CheckBoxHeaderView::CheckBoxHeaderView(QWidget *parent) : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(true);
    setHighlightSections(false);
    connect(this, &QHeaderView::sectionClicked, this, [this](int section) {
        if (section == 0 && m_visible)
            emit checkBoxClicked(m_checked);
    });
}

CheckBoxHeaderView *CheckBoxHeaderView::makeTable(
    QAbstractItemModel *model, QWidget *parent, QTableView **table)
{
    auto *t = new QTableView(parent);
    auto *header = new CheckBoxHeaderView(t);
    t->setHorizontalHeader(header);
    t->setModel(model);
    t->setSelectionMode(QAbstractItemView::NoSelection);
    t->setFocusPolicy(Qt::NoFocus);
    t->setShowGrid(false);
    t->setWordWrap(false);
    t->setAlternatingRowColors(true);
    t->verticalHeader()->hide();
    t->verticalHeader()->setDefaultSectionSize(22);
    *table = t;
    return header;
}

void CheckBoxHeaderView::setChecked(bool on)
{
    if (m_checked == on)
        return;
    m_checked = on;
    viewport()->update();
}

void CheckBoxHeaderView::setCheckBoxVisible(bool visible)
{
    m_visible = visible;
    viewport()->update();
}

void CheckBoxHeaderView::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    painter->save();
    QHeaderView::paintSection(painter, rect, logicalIndex);
    painter->restore();
    if (logicalIndex != 0 || !m_visible)
        return;
    QStyleOptionButton box;
    const QSize size = style()->sizeFromContents(QStyle::CT_CheckBox, &box, QSize(), this);
    const int side = std::min(size.height(), rect.height() - 2);
    box.rect = QRect(
        rect.x() + (rect.width() - side) / 2, rect.y() + (rect.height() - side) / 2, side, side);
    box.state = QStyle::State_Enabled | (m_checked ? QStyle::State_On : QStyle::State_Off);
    style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter, this);
}

} // namespace flk
