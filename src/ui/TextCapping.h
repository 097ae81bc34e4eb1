// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QStyledItemDelegate>

class QLabel;

namespace flk {

// An item delegate that lays out at most kMaxDisplayChars of a cell's text
// and tool tip. Views with their own delegates derive from it.
class CappedTextDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
        const QModelIndex &index) override;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};

// Gives every item view of the application a capped delegate (where it uses
// the plain one) and a Copy shortcut that copies the current cell's full
// text. Call once, after the application object exists.
void installTextCapping();

// Shows a text in a label, capped; a capped label offers the full text
// through its Copy menu.
void setCappedText(QLabel *label, const QString &text);

} // namespace flk
