// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QAbstractTableModel>
#include <QVariantMap>

namespace flk {

// The NAS units found on the LAN, one row per `hostname`.
class FoundUnitsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

    // Appends unless a unit with the same hostname is listed.
    void add(const QVariantMap &unit);
    // Merges into the listed unit with the same hostname.
    void update(const QVariantMap &unit);
    // Removes the first unit with that hostname.
    void remove(const QString &hostname);
    QVariantMap unitAt(int row) const { return m_units.value(row); }

private:
    int rowOf(const QString &hostname) const;
    QList<QVariantMap> m_units;
};

} // namespace flk
