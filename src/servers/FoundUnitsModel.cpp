// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "FoundUnitsModel.h"

#include "api/Localization.h"

namespace flk {

namespace {
const char *const kColumnKeys[] = { "hostname", "address", "model" };
const char *const kColumnTitles[]
    = { QT_TRID_NOOP("COL_NAME"), QT_TRID_NOOP("COL_IP"), QT_TRID_NOOP("COL_MODEL") };
} // namespace

int FoundUnitsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_units.size());
}

int FoundUnitsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant FoundUnitsModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_units.size())
        return {};
    return m_units[index.row()].value(QLatin1String(kColumnKeys[index.column()])).toString();
}

QVariant FoundUnitsModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (o == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 3)
        return localized(kColumnTitles[section]);
    return {};
}

int FoundUnitsModel::rowOf(const QString &hostname) const
{
    for (int i = 0; i < m_units.size(); ++i) {
        if (m_units[i].value(QStringLiteral("hostname")).toString() == hostname)
            return i;
    }
    return -1;
}

void FoundUnitsModel::add(const QVariantMap &unit)
{
    if (rowOf(unit.value(QStringLiteral("hostname")).toString()) >= 0)
        return;
    beginInsertRows({}, int(m_units.size()), int(m_units.size()));
    m_units.append(unit);
    endInsertRows();
}

void FoundUnitsModel::update(const QVariantMap &unit)
{
    const int row = rowOf(unit.value(QStringLiteral("hostname")).toString());
    if (row < 0)
        return;
    m_units[row].insert(unit);
    emit dataChanged(index(row, 0), index(row, 2));
}

void FoundUnitsModel::remove(const QString &hostname)
{
    const int row = rowOf(hostname);
    if (row < 0)
        return;
    beginRemoveRows({}, row, row);
    m_units.removeAt(row);
    endRemoveRows();
}

} // namespace flk
