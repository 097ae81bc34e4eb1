// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "FolderChooser.h"

#include "FolderTreeModel.h"
#include "api/CgiCtrl.h"
#include "api/Work.h"

#include <QJsonArray>

namespace flk {

FolderChooser::FolderChooser(std::shared_ptr<CgiCtrl> client, QObject *parent)
    : QObject(parent), m_client(std::move(client)), m_model(new FolderTreeModel(this))
{ }

void FolderChooser::loadRoot()
{
    loadChildren(QPersistentModelIndex());
}

void FolderChooser::loadChildren(const QPersistentModelIndex &folder, std::function<void()> then)
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

void FolderChooser::choose(const QModelIndex &folder)
{
    if (QPersistentModelIndex(folder) == m_chosen)
        return;
    m_chosen = folder;
    emit choiceChanged();
}

QString FolderChooser::chosenPath() const
{
    return m_chosen.isValid() ? m_model->folderId(m_chosen) : QString();
}

void FolderChooser::createFolder(const QString &name, std::function<void(bool)> done)
{
    if (!m_chosen.isValid() || !m_client || name.isEmpty()) {
        if (done)
            done(false);
        return;
    }
    const QString parentId = m_model->folderId(m_chosen);
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
            emit aboutToReread(parent);
            loadChildren(QPersistentModelIndex(parent), [this, parentId, name] {
                const QModelIndex created = m_model->childNamed(m_model->indexOfId(parentId), name);
                if (created.isValid())
                    emit folderCreated(created);
            });
        });
}

} // namespace flk
