// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "FolderSelViewController.h"

#include "FolderCreateViewController.h"
#include "api/Localization.h"
#include "models/FolderChooser.h"
#include "models/FolderTreeModel.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QPointer>
#include <QStyle>
#include <QTreeView>
#include <QVBoxLayout>

namespace flk {

FolderSelViewController::FolderSelViewController(std::shared_ptr<CgiCtrl> client, QWidget *parent)
    : KSTSheetViewController(parent),
      m_chooser(new FolderChooser(std::move(client), this)),
      m_outline(new QTreeView(this))
{
    setWindowTitle(localized("BROWSE"));
    auto *layout = new QVBoxLayout(this);
    model()->setFolderIcon(
        QIcon::fromTheme(QStringLiteral("folder"), style()->standardIcon(QStyle::SP_DirIcon)));
    m_outline->setModel(model());
    m_outline->header()->hide();
    m_outline->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_outline->setSelectionMode(QAbstractItemView::SingleSelection);
    m_outline->setUniformRowHeights(true);
    layout->addWidget(m_outline, 1);
    m_btnCreate = new QPushButton(localized("BTN_CREATE_FOLDER"), this);
    auto *row = new QHBoxLayout;
    row->addWidget(m_btnCreate);
    row->addStretch();
    row->addWidget(buttonRow());
    layout->addLayout(row);
    setMinimumSize(440, 360);

    // Every opening reads the folder afresh.
    connect(m_outline, &QTreeView::expanded, this, [this](const QModelIndex &index) {
        if (!m_expandingForCreate)
            m_chooser->loadChildren(QPersistentModelIndex(index));
    });
    connect(m_outline->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        &FolderSelViewController::on_Click_Folder);
    connect(m_btnCreate, &QPushButton::clicked, this, &FolderSelViewController::on_Create_Folder);
    connect(m_chooser, &FolderChooser::levelLoaded, this, &FolderSelViewController::levelLoaded);
    connect(m_chooser, &FolderChooser::choiceChanged, this, [this] {
        const bool any = m_chooser->hasChoice();
        setResultObject(any ? QVariant(m_chooser->chosenPath()) : QVariant());
        m_btnCreate->setEnabled(any);
        btnOk()->setEnabled(any);
    });
    // A folder made here: its parent opens (read once, by the chooser) and
    // the new folder becomes the selection.
    connect(m_chooser, &FolderChooser::aboutToReread, this, [this](const QModelIndex &parent) {
        if (!m_outline->isExpanded(parent)) {
            m_expandingForCreate = true;
            m_outline->expand(parent);
            m_expandingForCreate = false;
        }
    });
    connect(m_chooser, &FolderChooser::folderCreated, this, [this](const QModelIndex &created) {
        m_outline->selectionModel()->setCurrentIndex(
            created, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_outline->scrollTo(created);
    });
    m_btnCreate->setEnabled(false);
    btnOk()->setEnabled(false);
    loadRoot();
}

FolderTreeModel *FolderSelViewController::model() const
{
    return m_chooser->model();
}

void FolderSelViewController::loadRoot()
{
    m_chooser->loadRoot();
}

void FolderSelViewController::on_Click_Folder()
{
    const QModelIndexList rows = m_outline->selectionModel()->selectedRows();
    m_chooser->choose(rows.isEmpty() ? QModelIndex() : rows.first());
}

void FolderSelViewController::on_Create_Folder()
{
    if (!m_chooser->hasChoice())
        return;
    ToFolderCreateView();
}

void FolderSelViewController::ToFolderCreateView()
{
    auto *sheet = new FolderCreateViewController;
    QPointer<FolderSelViewController> self(this);
    // The name sheet stays open with the name when the NAS refuses it.
    sheet->setSubmit([self](const QVariant &name, std::function<void(bool)> done) {
        if (self && !name.toString().isEmpty())
            self->createFolder(name.toString(), std::move(done));
        else
            done(false);
    });
    KSTSheetViewController::presentSheet(this, sheet);
}

void FolderSelViewController::createFolder(const QString &name, std::function<void(bool)> done)
{
    m_chooser->createFolder(name, std::move(done));
}

} // namespace flk
