// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "RecordTableModel.h"

#include "api/JsonUtil.h"
#include "api/Localization.h"

namespace flk {

RecordTableModel::RecordTableModel(QList<Column> columns, QString keyMember, QObject *parent)
    : KeyedListModel(parent), m_columns(std::move(columns)), m_keyMember(std::move(keyMember))
{ }

int RecordTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant RecordTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= m_columns.size())
        return {};
    return cell(record(index.row()), index.column(), role);
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

QString RecordTableModel::keyOf(const QJsonObject &record, int position) const
{
    // A record without the member is followed by its position.
    const QJsonValue v = m_keyMember.isEmpty() ? QJsonValue() : record.value(m_keyMember);
    if (v.isUndefined() || v.isNull())
        return QStringLiteral("#") + QString::number(position);
    // Numbers and numeric texts name the same record.
    return json::toString(v);
}

QList<QJsonObject> RecordTableModel::records() const
{
    QList<QJsonObject> out;
    out.reserve(rows().size());
    for (const KeyedRecord &r : rows())
        out.append(r.record);
    return out;
}

void RecordTableModel::setRecords(const QList<QJsonObject> &records)
{
    QList<KeyedRecord> incoming;
    incoming.reserve(records.size());
    for (int i = 0; i < records.size(); ++i)
        incoming.append({ keyOf(records[i], i), records[i] });
    updateRows(
        std::move(incoming), [](const KeyedRecord &r) { return r.key; },
        [](const KeyedRecord &a, const KeyedRecord &b) { return a == b; });
}

} // namespace flk
