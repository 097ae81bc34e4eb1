#include "RecordTableModel.h"

#include "api/JsonUtil.h"
#include "api/Localization.h"

namespace flk {

RecordTableModel::RecordTableModel(QList<Column> columns, QObject *parent)
    : QAbstractTableModel(parent), m_columns(std::move(columns))
{ }

int RecordTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_records.size());
}

int RecordTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant RecordTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_records.size() || index.column() >= m_columns.size())
        return {};
    return cell(m_records.at(index.row()), index.column(), role);
}

QVariant RecordTableModel::cell(const QJsonObject &record, int column, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    return json::stringValue(record, QString::fromLatin1(m_columns.at(column).key));
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (o != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= m_columns.size()
        || !m_columns.at(section).title)
        return {};
    return localized(m_columns.at(section).title);
}

QString RecordTableModel::columnKey(int column) const
{
    if (column < 0 || column >= m_columns.size())
        return {};
    return QString::fromLatin1(m_columns.at(column).key);
}

void RecordTableModel::setRecords(QList<QJsonObject> records)
{
    const int before = int(m_records.size()), after = int(records.size());
    if (after < before) {
        beginRemoveRows({}, after, before - 1);
        m_records.resize(after);
        endRemoveRows();
    }
    const int common = std::min(before, after);
    for (int i = 0; i < common; ++i)
        m_records[i] = records[i];
    if (common > 0)
        emit dataChanged(index(0, 0), index(common - 1, columnCount() - 1));
    if (after > before) {
        beginInsertRows({}, before, after - 1);
        for (int i = before; i < after; ++i)
            m_records.append(std::move(records[i]));
        endInsertRows();
    }
}

} // namespace flk
