// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "FolderSelViewController.h"

#include "FolderCreateViewController.h"
#include "api/CgiCtrl.h"
#include "api/Localization.h"
#include "api/Work.h"
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
      m_client(std::move(client)),
      m_model(new FolderTreeModel(this)),
      m_outline(new QTreeView(this))
{
    setWindowTitle(localized("BROWSE"));
    auto *layout = new QVBoxLayout(this);
    m_model->setFolderIcon(
        QIcon::fromTheme(QStringLiteral("folder"), style()->standardIcon(QStyle::SP_DirIcon)));
    m_outline->setModel(m_model);
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
            loadChildren(QPersistentModelIndex(index));
    });
    connect(m_outline->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        &FolderSelViewController::on_Click_Folder);
    connect(m_btnCreate, &QPushButton::clicked, this, &FolderSelViewController::on_Create_Folder);
    on_Click_Folder();
    loadRoot();
}

void FolderSelViewController::loadRoot()
{
    loadChildren(QPersistentModelIndex());
}

void FolderSelViewController::loadChildren(
    const QPersistentModelIndex &folder, std::function<void()> then)
{
    const bool root = !folder.isValid();
    const QString id = m_model->folderId(folder);
    if (!root)
        m_model->clearChildren(folder);
    if (!m_client) {
        emit levelLoaded(id);
        return;
    }
    // Only the folder's path crosses threads; the node is found again by it.
    runWork(
        this,
        [client = m_client, root, id] {
            Error e;
            const std::optional<QJsonValue> list = client->get_Folder_List(id, root, &e);
            return (list && !e.isError()) ? list->toArray() : QJsonArray();
        },
        [this, root, id, then](QJsonArray items) {
            // The folder may have gone with a newer read of its parent.
            const QModelIndex folder = root ? QModelIndex() : m_model->indexOfId(id);
            if (root || folder.isValid())
                m_model->setChildren(folder, items);
            if (then)
                then();
            emit levelLoaded(id);
        });
}

void FolderSelViewController::on_Click_Folder()
{
    const QModelIndexList rows = m_outline->selectionModel()->selectedRows();
    const bool any = !rows.isEmpty();
    setResultObject(any ? QVariant(m_model->folderId(rows.first())) : QVariant());
    m_btnCreate->setEnabled(any);
    btnOk()->setEnabled(any);
}

void FolderSelViewController::on_Create_Folder()
{
    if (m_outline->selectionModel()->selectedRows().isEmpty())
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
    const QModelIndexList rows = m_outline->selectionModel()->selectedRows();
    if (rows.isEmpty() || !m_client) {
        if (done)
            done(false);
        return;
    }
    const QString parentId = m_model->folderId(rows.first());
    runWork(
        this,
        [client = m_client, parentId, name] {
            Error e;
            return client->create_Folder(parentId, name, &e) && !e.isError();
        },
        [this, parentId, name, done](bool ok) {
            if (done)
                done(ok);
            const QModelIndex parent = m_model->indexOfId(parentId);
            if (!ok || !parent.isValid())
                return;
            // The parent is read again (opened if it was closed), then the new
            // folder becomes the selection.
            auto select = [this, parentId, name] {
                const QModelIndex created = m_model->childNamed(m_model->indexOfId(parentId), name);
                if (created.isValid()) {
                    m_outline->selectionModel()->setCurrentIndex(
                        created, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
                    m_outline->scrollTo(created);
                }
            };
            if (!m_outline->isExpanded(parent)) {
                m_expandingForCreate = true;
                m_outline->expand(parent);
                m_expandingForCreate = false;
            }
            loadChildren(QPersistentModelIndex(parent), select);
        });
}

} // namespace flk
