// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "SearchKeyViewController.h"

#include "api/Localization.h"
#include "ui/ScreenParts.h"
#include "ui/Utility.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QVBoxLayout>

namespace flk {

SearchKeyViewController::SearchKeyViewController(QWidget *parent)
    : SearchKeyViewController(nullptr, parent)
{ }

SearchKeyViewController::SearchKeyViewController(SearchKeyController *controller, QWidget *parent)
    : DCBaseViewController(parent),
      m_controller(controller ? controller : new SearchKeyController(this))
{
    btnOk()->hide();
    btnCancel()->hide();
    m_controller->setClientSource([this] { return client(); });
    m_controller->setNotificationSender(this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ScreenParts::paneTitle(localized("SEARCH_TITLE"), this));
    m_edit = new QLineEdit(this);
    m_edit->setPlaceholderText(localized("SEARCH_TITLE"));
    ScreenParts::enableClearButton(m_edit);
    m_edit->setAccessibleName(localized("SEARCH_TITLE"));
    auto *editRow = new QWidget(this);
    auto *editLayout = new QVBoxLayout(editRow);
    editLayout->setContentsMargins(6, 0, 6, 4);
    editLayout->addWidget(m_edit);
    layout->addWidget(editRow);

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
    table->verticalHeader()->setDefaultSectionSize(24);
    table->setTextElideMode(Qt::ElideRight);
    layout->addWidget(table, 1);
    setTableView(table);

    m_menu = new QMenu(this);
    m_menu->addAction(m_controller->actRemove());
    table->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(table, &QWidget::customContextMenuRequested, this, [this, table](const QPoint &p) {
        const int row = table->indexAt(p).row();
        if (!m_controller->offersMenuAt(row))
            return;
        m_controller->selectRow(row);
        m_menu->popup(table->viewport()->mapToGlobal(p));
    });
    connect(table, &QTableView::clicked, this,
        [this](const QModelIndex &i) { m_controller->rowClicked(i.row()); });
    connect(m_edit, &QLineEdit::returnPressed, this, &SearchKeyViewController::submitSearch);
    connect(m_controller, &SearchKeyController::keyListFocusRequested, table,
        [table] { table->setFocus(); });
    connect(m_controller, &SearchKeyController::emptyKeyRefused, this, [this] {
        Utility::showAlert(window(), Utility::Warning, localized("ERROR"),
            localized("ERROR_SEARCH_KEY_EMPTY"), QString(), localized("OK"),
            std::function<void(bool)>());
    });
}

void SearchKeyViewController::refresh_Items()
{
    m_controller->refresh_Items();
}

void SearchKeyViewController::submitSearch()
{
    const QString text = m_edit->text();
    m_edit->clear();
    m_controller->submit(text);
}

} // namespace flk
