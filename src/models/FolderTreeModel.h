// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QAbstractItemModel>
#include <QIcon>
#include <QJsonArray>

#include <memory>
#include <vector>

namespace flk {

// The NAS's shared folders as a tree loaded level by level. A node holds one
// folder record: "id" (its path on the NAS) and "text" (its name). A folder
// shows an expansion arrow until it has been read and found empty.
class FolderTreeModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    explicit FolderTreeModel(QObject *parent = nullptr);
    ~FolderTreeModel() override;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // Replaces the children of parent (the invisible root when invalid) with
    // the folder records of list, in order; elements that are not records
    // with an "id" are skipped.
    void setChildren(const QModelIndex &parent, const QJsonArray &list);
    // Removes the children of parent (before they are read again).
    void clearChildren(const QModelIndex &parent);
    QString folderId(const QModelIndex &index) const;
    QString folderText(const QModelIndex &index) const;
    // The first child of parent whose text is name (invalid when none).
    QModelIndex childNamed(const QModelIndex &parent, const QString &name) const;
    // The node with the given id among the loaded nodes (invalid when none).
    QModelIndex indexOfId(const QString &id) const;
    void setFolderIcon(const QIcon &icon) { m_icon = icon; }

private:
    struct Node;
    Node *node(const QModelIndex &index) const;
    QModelIndex indexOf(const Node *n) const;
    std::unique_ptr<Node> m_root;
    QIcon m_icon;
};

} // namespace flk
