#pragma once

#include <QAbstractTableModel>
#include <QJsonObject>
#include <QList>

namespace flk {

// A table of reply records (JSON objects) with fixed columns. Setting new
// records updates the rows in place and inserts or removes only the
// difference at the end, so a polled table keeps its scroll position.
class RecordTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    struct Column {
        const char *identifier;
        const char *key; // reply key, also the column's sort key
        const char *title; // localisation key; nullptr: no title
    };

    RecordTableModel(QList<Column> columns, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

    void setRecords(QList<QJsonObject> records);
    const QList<QJsonObject> &records() const { return m_records; }
    const QJsonObject &record(int row) const { return m_records.at(row); }
    const Column &column(int i) const { return m_columns.at(i); }
    QString columnKey(int column) const;

protected:
    // The cell of a record; the default shows the column's key as text.
    virtual QVariant cell(const QJsonObject &record, int column, int role) const;

private:
    QList<Column> m_columns;
    QList<QJsonObject> m_records;
};

} // namespace flk
