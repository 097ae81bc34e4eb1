// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "SearchSiteModel.h"

#include "api/JsonUtil.h"
#include "api/Localization.h"

namespace flk {

int SearchSiteModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString SearchSiteModel::columnKey(int column)
{
    switch (column) {
    case ColName:
        return QStringLiteral("name");
    case ColUrl:
        return QStringLiteral("url");
    case ColVer:
        return QStringLiteral("version");
    default:
        return QString();
    }
}

QString SearchSiteModel::name(int row) const
{
    return row >= 0 && row < rowCount() ? json::stringValue(rowAt(row), u"name") : QString();
}

QVariant SearchSiteModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (index.column() == ColEnable) {
        if (role == Qt::CheckStateRole)
            return m_enabled.contains(name(index.row())) ? Qt::Checked : Qt::Unchecked;
        if (role == Qt::AccessibleTextRole)
            return name(index.row());
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return json::stringValue(rowAt(index.row()), columnKey(index.column()));
    return {};
}

bool SearchSiteModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() != ColEnable || role != Qt::CheckStateRole)
        return false;
    setEnabled(index.row(), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags SearchSiteModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == ColEnable)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant SearchSiteModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (o != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case ColName:
        return localized("COL_NAME");
    case ColUrl:
        return localized("COL_URL");
    case ColVer:
        return localized("COL_VERSION");
    default:
        return QString();
    }
}

void SearchSiteModel::setSites(QList<QJsonObject> sites)
{
    updateRows(
        std::move(sites), [](const QJsonObject &s) { return json::stringValue(s, u"name"); },
        [](const QJsonObject &a, const QJsonObject &b) { return a == b; });
}

void SearchSiteModel::setAryEnable(const QSet<QString> &names)
{
    m_enabled = names;
    if (rowCount() > 0)
        emit dataChanged(index(0, ColEnable), index(rowCount() - 1, ColEnable));
    emit enabledChanged();
}

void SearchSiteModel::setEnabled(int row, bool on)
{
    const QString n = name(row);
    if (n.isEmpty())
        return;
    if (on)
        m_enabled.insert(n);
    else
        m_enabled.remove(n);
    emit dataChanged(index(row, ColEnable), index(row, ColEnable));
    emit enabledChanged();
}

bool SearchSiteModel::headerChecked() const
{
    return rowCount() > 0 && m_enabled.size() == rowCount();
}

void SearchSiteModel::toggleAll()
{
    const bool wasOn = headerChecked();
    QSet<QString> names;
    if (!wasOn)
        for (int r = 0; r < rowCount(); ++r)
            names.insert(name(r));
    setAryEnable(names);
}

} // namespace flk
