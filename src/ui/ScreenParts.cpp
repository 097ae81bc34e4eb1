// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "ScreenParts.h"

#include "TextCapping.h"

#include "DCBaseViewController.h"
#include "api/Localization.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QToolButton>

namespace flk::ScreenParts {

QTableView *listTable(QAbstractItemModel *model, QItemSelectionModel *selection, QWidget *parent)
{
    auto *table = new QTableView(parent);
    table->setModel(model);
    if (selection)
        table->setSelectionModel(selection);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setAlternatingRowColors(true);
    table->setShowGrid(false);
    table->setWordWrap(false);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(25);
    table->horizontalHeader()->setHighlightSections(false);
    table->horizontalHeader()->setDefaultSectionSize(120);
    table->horizontalHeader()->setStretchLastSection(true);
    table->horizontalHeader()->setTextElideMode(Qt::ElideRight);
    table->setTextElideMode(Qt::ElideMiddle);
    DCBaseViewController::followSortClicks(table);
    // No column shows an order until one is clicked (the list starts in the
    // NAS's own order).
    table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    return table;
}

QToolButton *toolButton(QAction *action, const QIcon &icon, QWidget *parent)
{
    if (!icon.isNull())
        action->setIcon(icon);
    auto *b = new QToolButton(parent);
    b->setDefaultAction(action);
    b->setAutoRaise(true);
    b->setAccessibleName(action->text());
    return b;
}

QHBoxLayout *toolbar(QWidget *bar)
{
    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(6, 4, 6, 4);
    return layout;
}

QLabel *pageTitle(QWidget *bar)
{
    auto *title = new QLabel(bar);
    title->setObjectName(QStringLiteral("pageTitle"));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    title->setTextFormat(Qt::PlainText);
    title->setMinimumWidth(40);
    title->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    return title;
}

void setPageTitle(QLabel *title, const QString &text)
{
    setCappedText(title, text);
    title->setToolTip(title->text());
    title->setAccessibleName(title->text());
}

void enableClearButton(QLineEdit *field)
{
    field->setClearButtonEnabled(true);
    for (QToolButton *b : field->findChildren<QToolButton *>()) {
        if (b->accessibleName().isEmpty())
            b->setAccessibleName(localized("FILTER_CLEAR"));
    }
}

void setWarningColor(QLabel *label)
{
    QPalette pal = label->palette();
    const bool dark = pal.color(QPalette::Window).lightness() < 128;
    pal.setColor(QPalette::WindowText, dark ? QColor(0xff, 0xa6, 0x57) : QColor(0xb0, 0x3a, 0x00));
    label->setPalette(pal);
}

QLabel *paneTitle(const QString &text, QWidget *parent)
{
    auto *title = new QLabel(text, parent);
    title->setContentsMargins(8, 6, 8, 6);
    QFont f = title->font();
    f.setBold(true);
    title->setFont(f);
    return title;
}

} // namespace flk::ScreenParts
