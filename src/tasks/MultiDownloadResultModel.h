// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QAbstractTableModel>
#include <QJsonObject>
#include <QList>
#include <QSet>

namespace flk {

// The outcome rows of the multi-download wizard: one record per torrent
// (success, name, and in manual mode what the task dialog needs), a check
// box per row for the manual step.
class MultiDownloadResultModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { ColCheck, ColTorrent, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

    void setManual(bool manual);
    bool manual() const { return m_manual; }
    // Every row starts checked.
    void setRecords(const QList<QJsonObject> &records);
    const QList<QJsonObject> &records() const { return m_records; }
    const QSet<int> &indexSet() const { return m_checked; }
    bool allChecked() const;
    void checkAll(bool on);
    static bool succeeded(const QJsonObject &record);

signals:
    void checkChanged();

private:
    QList<QJsonObject> m_records;
    QSet<int> m_checked;
    bool m_manual = false;
};

} // namespace flk
