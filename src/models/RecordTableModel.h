// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "KeyedListModel.h"

#include <QJsonObject>
#include <QList>

namespace flk {

// One reply record and the key it is followed by.
struct KeyedRecord {
    QString key;
    QJsonObject record;
    bool operator==(const KeyedRecord &o) const { return record == o.record; }
};

// A table of reply records (JSON objects) with fixed columns, kept by the
// value of one member (or by position when none is named) through the keyed
// updater.
class RecordTableModel : public KeyedListModel<KeyedRecord>
{
    Q_OBJECT

public:
    struct Column {
        const char *identifier;
        const char *key; // reply key, also the column's sort key
        const char *title; // localisation key; nullptr: no title
    };

    RecordTableModel(QList<Column> columns, QString keyMember, QObject *parent = nullptr);

    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

    void setRecords(const QList<QJsonObject> &records);
    const QJsonObject &record(int row) const { return rowAt(row).record; }
    QList<QJsonObject> records() const;
    const Column &column(int i) const { return m_columns.at(i); }
    QString columnKey(int column) const;
    QString keyMember() const { return m_keyMember; }
    // The key a record is followed by.
    QString keyOf(const QJsonObject &record, int position) const;

protected:
    // The cell of a record; the default shows the column's key as text.
    virtual QVariant cell(const QJsonObject &record, int column, int role) const;

private:
    QList<Column> m_columns;
    QString m_keyMember;
};

} // namespace flk
