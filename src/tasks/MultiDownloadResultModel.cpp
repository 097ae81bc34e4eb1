// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "MultiDownloadResultModel.h"

#include "api/JsonUtil.h"
#include "api/Localization.h"

#include <QIcon>

namespace flk {

bool MultiDownloadResultModel::succeeded(const QJsonObject &record)
{
    return json::boolValue(record, u"success");
}

int MultiDownloadResultModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_records.size());
}

int MultiDownloadResultModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant MultiDownloadResultModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_records.size())
        return {};
    const QJsonObject &r = m_records.at(index.row());
    if (index.column() == ColTorrent)
        return role == Qt::DisplayRole || role == Qt::ToolTipRole
            ? QVariant(json::stringValue(r, u"name"))
            : QVariant();
    const bool ok = succeeded(r);
    if (role == Qt::DecorationRole) {
        // Failures always show their mark; successes only in automatic mode.
        if (!ok)
            return QIcon(QStringLiteral(":/images/btn_no_n.svg"));
        return m_manual ? QVariant() : QVariant(QIcon(QStringLiteral(":/images/btn_yes_n.svg")));
    }
    if (role == Qt::CheckStateRole && m_manual)
        return m_checked.contains(index.row()) ? Qt::Checked : Qt::Unchecked;
    return {};
}

bool MultiDownloadResultModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() != ColCheck || role != Qt::CheckStateRole
        || !(flags(index) & Qt::ItemIsEnabled))
        return false;
    if (value.toInt() == Qt::Checked)
        m_checked.insert(index.row());
    else
        m_checked.remove(index.row());
    emit dataChanged(index, index, { Qt::CheckStateRole });
    emit checkChanged();
    return true;
}

Qt::ItemFlags MultiDownloadResultModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (index.column() != ColCheck)
        return Qt::ItemIsEnabled;
    // A check box only for successful rows of the manual step.
    if (m_manual && succeeded(m_records.at(index.row())))
        return Qt::ItemIsEnabled | Qt::ItemIsUserCheckable;
    return m_manual ? Qt::ItemIsUserCheckable : Qt::ItemIsEnabled;
}

QVariant MultiDownloadResultModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (o == Qt::Horizontal && role == Qt::DisplayRole && section == ColTorrent)
        return localized("COL_TORRENT");
    if (o == Qt::Horizontal && role == Qt::DisplayRole)
        return QString();
    return {};
}

void MultiDownloadResultModel::setManual(bool manual)
{
    beginResetModel();
    m_manual = manual;
    endResetModel();
}

void MultiDownloadResultModel::setRecords(const QList<QJsonObject> &records)
{
    beginResetModel();
    m_records = records;
    m_checked.clear();
    for (int i = 0; i < m_records.size(); ++i)
        m_checked.insert(i);
    endResetModel();
    emit checkChanged();
}

bool MultiDownloadResultModel::allChecked() const
{
    return m_checked.size() == m_records.size();
}

void MultiDownloadResultModel::checkAll(bool on)
{
    m_checked.clear();
    if (on)
        for (int i = 0; i < m_records.size(); ++i)
            m_checked.insert(i);
    if (!m_records.isEmpty())
        emit dataChanged(
            index(0, ColCheck), index(rowCount() - 1, ColCheck), { Qt::CheckStateRole });
    emit checkChanged();
}

} // namespace flk
