// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QIcon>

class QAbstractItemModel;
class QAction;
class QHBoxLayout;
class QItemSelectionModel;
class QLabel;
class QLineEdit;
class QTableView;
class QToolButton;
class QWidget;

namespace flk {

// Building blocks the list screens share, so they look and behave alike.
namespace ScreenParts {

// A list table over a controller's model and selection model: whole rows,
// no grid, alternating rows, the last column stretched, the header's sort
// indicator following clicks.
QTableView *listTable(QAbstractItemModel *model, QItemSelectionModel *selection, QWidget *parent);
// A toolbar button showing an action (its text as tool tip).
QToolButton *toolButton(QAction *action, const QIcon &icon, QWidget *parent);
// A toolbar row with the usual margins.
QHBoxLayout *toolbar(QWidget *bar);
// The page's title in its toolbar: what the page shows (bold, object name
// "pageTitle"); set with setPageTitle.
QLabel *pageTitle(QWidget *bar);
void setPageTitle(QLabel *title, const QString &text);
// Gives a label the warning text colour, readable on the palette it has
// (a dark orange on light windows, a light one on dark windows).
void setWarningColor(QLabel *label);
// Gives a text field its clear button, with a name screen readers say.
void enableClearButton(QLineEdit *field);
// A bold pane title ("textTitle").
QLabel *paneTitle(const QString &text, QWidget *parent);

} // namespace ScreenParts
} // namespace flk
