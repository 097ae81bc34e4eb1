// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "ProgressDelegate.h"

#include "models/DisplayText.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionProgressBar>

#include <cmath>

namespace flk {

void ProgressDelegate::paint(
    QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QString text = index.data(Qt::DisplayRole).toString();
    const std::optional<double> percent = progressPercent(text);
    if (!percent) {
        CappedTextDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    item.text.clear();
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    // The row's background and selection first, then the bar inside it.
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

    QStyleOptionProgressBar bar;
    if (widget)
        bar.initFrom(widget);
    bar.state = option.state | QStyle::State_Horizontal;
    bar.direction = option.direction;
    bar.rect = option.rect.adjusted(2, 2, -2, -2);
    bar.fontMetrics = option.fontMetrics;
    bar.palette = option.palette;
    bar.minimum = 0;
    bar.maximum = 1000;
    bar.progress = int(std::lround(*percent * 10));
    bar.text = capForDisplay(text);
    bar.textVisible = true;
    bar.textAlignment = Qt::AlignCenter;
    style->drawControl(QStyle::CE_ProgressBar, &bar, painter, widget);
}

} // namespace flk
