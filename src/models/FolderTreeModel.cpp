// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "FolderTreeModel.h"

#include "api/JsonUtil.h"

#include <QIcon>
#include <QJsonObject>

namespace flk {

struct FolderTreeModel::Node {
    QString id, text;
    Node *parent = nullptr;
    bool loaded = false;
    std::vector<std::unique_ptr<Node>> children;
    int row() const
    {
        if (!parent)
            return 0;
        for (size_t i = 0; i < parent->children.size(); ++i)
            if (parent->children[i].get() == this)
                return int(i);
        return 0;
    }
};

FolderTreeModel::FolderTreeModel(QObject *parent)
    : QAbstractItemModel(parent), m_root(std::make_unique<Node>())
{ }

FolderTreeModel::~FolderTreeModel() = default;

FolderTreeModel::Node *FolderTreeModel::node(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<Node *>(index.internalPointer()) : m_root.get();
}

QModelIndex FolderTreeModel::indexOf(const Node *n) const
{
    if (!n || n == m_root.get())
        return {};
    return createIndex(n->row(), 0, const_cast<Node *>(n));
}

QModelIndex FolderTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    const Node *p = node(parent);
    if (column != 0 || row < 0 || row >= int(p->children.size()))
        return {};
    return createIndex(row, 0, p->children[size_t(row)].get());
}

QModelIndex FolderTreeModel::parent(const QModelIndex &child) const
{
    if (!child.isValid())
        return {};
    return indexOf(node(child)->parent);
}

int FolderTreeModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() && parent.column() != 0)
        return 0;
    return int(node(parent)->children.size());
}

int FolderTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

bool FolderTreeModel::hasChildren(const QModelIndex &parent) const
{
    const Node *n = node(parent);
    if (n == m_root.get())
        return !n->children.empty();
    return !n->loaded || !n->children.empty();
}

QVariant FolderTreeModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const Node *n = node(index);
    switch (role) {
    case Qt::DisplayRole:
        return n->text;
    case Qt::ToolTipRole:
        return n->id;
    case Qt::DecorationRole:
        return m_icon;
    default:
        return {};
    }
}

Qt::ItemFlags FolderTreeModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void FolderTreeModel::clearChildren(const QModelIndex &parent)
{
    Node *p = node(parent);
    if (!p->children.empty()) {
        beginRemoveRows(parent, 0, int(p->children.size()) - 1);
        p->children.clear();
        endRemoveRows();
    }
}

void FolderTreeModel::setChildren(const QModelIndex &parent, const QJsonArray &list)
{
    clearChildren(parent);
    Node *p = node(parent);
    std::vector<std::unique_ptr<Node>> fresh;
    for (const QJsonValue &v : list) {
        const QJsonObject o = json::toObject(v);
        const QString id = json::stringValue(o, u"id");
        if (id.isEmpty())
            continue;
        auto n = std::make_unique<Node>();
        n->id = id;
        n->text = o.contains(QLatin1String("text")) ? json::stringValue(o, u"text")
                                                    : id.section(QLatin1Char('/'), -1);
        n->parent = p;
        fresh.push_back(std::move(n));
    }
    p->loaded = true;
    if (!fresh.empty()) {
        beginInsertRows(parent, 0, int(fresh.size()) - 1);
        p->children = std::move(fresh);
        endInsertRows();
    } else if (parent.isValid()) {
        // The arrow goes once the folder is known to be empty.
        emit dataChanged(parent, parent);
    }
}

QString FolderTreeModel::folderId(const QModelIndex &index) const
{
    return index.isValid() ? node(index)->id : QString();
}

QString FolderTreeModel::folderText(const QModelIndex &index) const
{
    return index.isValid() ? node(index)->text : QString();
}

QModelIndex FolderTreeModel::childNamed(const QModelIndex &parent, const QString &name) const
{
    const Node *p = node(parent);
    for (size_t i = 0; i < p->children.size(); ++i)
        if (p->children[i]->text == name)
            return createIndex(int(i), 0, p->children[i].get());
    return {};
}

QModelIndex FolderTreeModel::indexOfId(const QString &id) const
{
    std::vector<const Node *> stack { m_root.get() };
    while (!stack.empty()) {
        const Node *n = stack.back();
        stack.pop_back();
        if (n != m_root.get() && n->id == id)
            return indexOf(n);
        for (const auto &c : n->children)
            stack.push_back(c.get());
    }
    return {};
}

} // namespace flk
