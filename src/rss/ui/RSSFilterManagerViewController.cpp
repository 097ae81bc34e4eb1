// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "RSSFilterManagerViewController.h"

#include "RSSFilterPreviewView.h"

#include "RSSFilterAddViewController.h"
#include "RSSFilterInfoViewController.h"
#include "api/Localization.h"
#include "rss/RSSFilterEditor.h"
#include "ui/KSTProgressHUDHelper.h"
#include "ui/ScreenParts.h"
#include "ui/Utility.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

namespace flk {

RSSFilterManagerViewController::RSSFilterManagerViewController(
    std::shared_ptr<CgiCtrl> client, QWidget *parent)
    : DCBaseViewController(parent), m_controller(new RSSFilterManagerController(this))
{
    setWindowTitle(localized("TOOL_TIP_FILTER_MAN"));
    setCtrlCgi(std::move(client));
    setSortKey(m_controller->sortKey());
    setOrder(m_controller->order());
    bindSheetController(m_controller);

    auto *layout = new QVBoxLayout(this);
    auto *split = new QSplitter(Qt::Horizontal, this);
    split->setChildrenCollapsible(false);

    auto *left = new QWidget(split);
    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    QTableView *table
        = ScreenParts::listTable(m_controller->model(), m_controller->selectionModel(), left);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    table->setColumnWidth(RSSFilterTableModel::ColName, 190);
    table->setMinimumWidth(340);
    leftLayout->addWidget(table, 1);
    setTableView(table);
    m_menuHeader = installColumnMenu(table,
        { { RSSFilterTableModel::ColName, QT_TRID_NOOP("COL_NAME") },
            { RSSFilterTableModel::ColLastCheck, QT_TRID_NOOP("COL_LAST_CHECK") } },
        this);
    auto *buttons = new QHBoxLayout;
    m_btnCreate = new QPushButton(localized("CREATE"), left);
    m_btnDelete = new QPushButton(localized("TOOL_TIP_DELETE"), left);
    m_btnRefresh = new QPushButton(localized("REFRESH"), left);
    buttons->addWidget(m_btnCreate);
    buttons->addWidget(m_btnDelete);
    buttons->addStretch();
    buttons->addWidget(m_btnRefresh);
    leftLayout->addLayout(buttons);
    split->addWidget(left);

    m_info = new RSSFilterInfoViewController(m_controller->editor(), split);
    m_info->setParentController(this);
    split->addWidget(m_info);
    split->addWidget(new RSSFilterPreviewView(m_controller->preview(), split));
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 1);
    split->setStretchFactor(2, 1);
    layout->addWidget(split, 1);
    layout->addWidget(buttonRow());
    btnCancel()->setText(localized("CLOSE"));
    // The button saves the filter and the sheet stays: it says so.
    btnOk()->setText(localized("SAVE"));
    btnOk()->setEnabled(false);
    m_btnDelete->setEnabled(false);
    setMinimumSize(1140, 560);

    connect(
        m_btnCreate, &QPushButton::clicked, m_controller, &RSSFilterManagerController::on_Create);
    connect(
        m_btnDelete, &QPushButton::clicked, m_controller, &RSSFilterManagerController::on_Delete);
    connect(
        m_btnRefresh, &QPushButton::clicked, m_controller, &RSSFilterManagerController::on_Refresh);
    connect(m_controller, &RSSFilterManagerController::canSaveChanged, this, [this](bool can) {
        btnOk()->setEnabled(can);
        m_btnDelete->setEnabled(can);
    });
    connect(m_controller, &RSSFilterManagerController::createSheetRequested, this,
        &RSSFilterManagerViewController::ToRSSFilterAddView);
    connect(
        m_controller, &RSSFilterManagerController::unsavedChangesFound, this, [this](int wanted) {
            askAboutUnsaved([this, wanted](Answer a) {
                if (a == Answer::Save)
                    m_controller->saveThenSelect(wanted);
                else if (a == Answer::Discard)
                    m_controller->discardThenSelect(wanted);
            });
        });
    connect(m_controller, &RSSFilterManagerController::saveFinished, this, [this](bool saved) {
        if (saved && m_closeAfterSave)
            DCBaseViewController::on_Cancel();
        m_closeAfterSave = false;
    });
}

void RSSFilterManagerViewController::askAboutUnsaved(std::function<void(Answer)> answer)
{
    const int row = m_controller->selectedRow();
    const QString name = row >= 0
        ? m_controller->model()
              ->data(m_controller->model()->index(row, 0), Qt::DisplayRole)
              .toString()
        : QString();
    // Save is the default; Discard never is.
    Utility::showAlert(window(), Utility::Warning, localized("FILTER_UNSAVED_TITLE"),
        stringWithKSTFormat(localized("FILTER_UNSAVED_DESC"), { name }), localized("CANCEL"),
        QStringList { localized("SAVE"), localized("DISCARD") },
        [answer](bool cancelled, int index) {
            answer(cancelled ? Answer::Keep : index == 0 ? Answer::Save : Answer::Discard);
        });
}

void RSSFilterManagerViewController::on_Cancel()
{
    if (!m_controller->hasUnsavedChanges()) {
        DCBaseViewController::on_Cancel();
        return;
    }
    QPointer<RSSFilterManagerViewController> self(this);
    askAboutUnsaved([self](Answer a) {
        if (!self)
            return;
        if (a == Answer::Save) {
            self->m_closeAfterSave = true;
            self->m_controller->on_Ok();
        } else if (a == Answer::Discard) {
            self->DCBaseViewController::on_Cancel();
        }
    });
}

void RSSFilterManagerViewController::showEvent(QShowEvent *e)
{
    DCBaseViewController::showEvent(e);
    if (!m_loaded) {
        m_loaded = true;
        m_controller->load();
    }
}

void RSSFilterManagerViewController::refresh_Items()
{
    m_controller->refresh_Items();
}

QString RSSFilterManagerViewController::sortKeyForColumn(int column) const
{
    return RSSFilterTableModel::columnKey(column);
}

void RSSFilterManagerViewController::sortChanged()
{
    m_controller->setSort(sortKey(), order());
}

void RSSFilterManagerViewController::on_Ok()
{
    // Save; the sheet stays open.
    m_controller->on_Ok();
}

void RSSFilterManagerViewController::ToRSSFilterAddView()
{
    auto *sheet = new RSSFilterAddViewController;
    QPointer<RSSFilterManagerController> controller(m_controller);
    sheet->setCompletion([controller](bool ok, const QVariant &name) {
        if (ok && controller)
            controller->create(name.toString());
    });
    KSTSheetViewController::presentSheet(this, sheet);
}

RSSFilterManagerViewController *RSSFilterManagerViewController::present(
    QWidget *presenter, std::shared_ptr<CgiCtrl> client)
{
    auto *sheet = new RSSFilterManagerViewController(std::move(client));
    KSTSheetViewController::presentSheet(presenter, sheet);
    return sheet;
}

} // namespace flk
