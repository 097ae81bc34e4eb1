// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "TaskFilesModel.h"

#include "api/JsonUtil.h"
#include "api/Localization.h"
#include "models/SaveRule.h"

#include <QJsonArray>

#include <algorithm>
#include <cstdio>

namespace flk {

qint64 TaskFilesModel::fileId(const QJsonObject &f)
{
    return json::intValue(f, u"file_id");
}

int TaskFilesModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TaskFilesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const QJsonObject &f = rowAt(index.row());
    switch (index.column()) {
    case ColCheck:
        if (role == Qt::CheckStateRole)
            return m_chosen.contains(fileId(f)) ? Qt::Checked : Qt::Unchecked;
        return {};
    case ColName:
        return role == Qt::DisplayRole || role == Qt::ToolTipRole
            ? QVariant(json::stringValue(f, u"file_name"))
            : QVariant();
    case ColSize:
        if (role == Qt::TextAlignmentRole)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return role == Qt::DisplayRole ? QVariant(json::stringValue(f, u"file_size")) : QVariant();
    default:
        return {};
    }
}

bool TaskFilesModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() != ColCheck || role != Qt::CheckStateRole)
        return false;
    const qint64 id = fileId(rowAt(index.row()));
    m_touched.insert(id);
    if (value.toInt() == Qt::Checked)
        m_chosen.insert(id);
    else
        m_chosen.remove(id);
    emit dataChanged(index, index, { Qt::CheckStateRole });
    emit choiceChanged();
    return true;
}

Qt::ItemFlags TaskFilesModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    // Rows are not selected; only the check box reacts.
    return index.column() == ColCheck ? Qt::ItemIsEnabled | Qt::ItemIsUserCheckable
                                      : Qt::ItemIsEnabled;
}

QVariant TaskFilesModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (o != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    if (section == ColName)
        return localized("COL_NAME");
    if (section == ColSize)
        return localized("COL_SIZE");
    return QString();
}

void TaskFilesModel::showFiles(QList<QJsonObject> files)
{
    updateRows(
        std::move(files), [](const QJsonObject &f) { return fileId(f); },
        [](const QJsonObject &a, const QJsonObject &b) { return a == b; });
}

void TaskFilesModel::setFiles(const QJsonArray &files, bool chooseByWanted)
{
    QList<QJsonObject> list;
    m_chosen.clear();
    m_unread.clear();
    for (const QJsonValue &v : files) {
        if (!v.isObject())
            continue;
        const QJsonObject f = v.toObject();
        list.append(f);
        if (!chooseByWanted || json::boolValue(f, u"file_wanted"))
            m_chosen.insert(fileId(f));
        if (chooseByWanted && !saverule::isFlag(f.value(QLatin1String("file_wanted"))))
            m_unread.insert(fileId(f));
    }
    m_touched.clear();
    showFiles(std::move(list));
    if (rowCount() > 0)
        emit dataChanged(
            index(0, ColCheck), index(rowCount() - 1, ColCheck), { Qt::CheckStateRole });
    emit choiceChanged();
}

bool TaskFilesModel::allChosen() const
{
    if (rows().isEmpty())
        return false;
    for (const QJsonObject &f : rows())
        if (!m_chosen.contains(fileId(f)))
            return false;
    return true;
}

void TaskFilesModel::chooseAll(bool on)
{
    m_chosen.clear();
    for (const QJsonObject &f : rows()) {
        m_touched.insert(fileId(f));
        if (on)
            m_chosen.insert(fileId(f));
    }
    if (!rows().isEmpty())
        emit dataChanged(
            index(0, ColCheck), index(rowCount() - 1, ColCheck), { Qt::CheckStateRole });
    emit choiceChanged();
}

QString TaskFilesModel::sortKeyOfColumn(int column)
{
    switch (column) {
    case ColName:
        return QStringLiteral("file_name");
    case ColSize:
        return QStringLiteral("file_isize");
    default:
        return QString();
    }
}

void TaskFilesModel::sortBy(int column, const QString &order)
{
    const QString key = sortKeyOfColumn(column);
    if (key.isEmpty())
        return;
    const bool asc = order == QLatin1String("asc");
    QList<QJsonObject> sorted = rows();
    std::stable_sort(sorted.begin(), sorted.end(), [&](const QJsonObject &a, const QJsonObject &b) {
        int c;
        if (column == ColSize) {
            const qint64 x = json::intValue(a, key), y = json::intValue(b, key);
            c = x < y ? -1 : x > y ? 1 : 0;
        } else {
            c = QString::compare(json::stringValue(a, key), json::stringValue(b, key));
        }
        return asc ? c < 0 : c > 0;
    });
    showFiles(std::move(sorted));
}

QString TaskFilesModel::listOf(bool chosen) const
{
    QString out;
    for (const QJsonObject &f : rows()) {
        if (!saverule::isWhole(f.value(QLatin1String("file_id"))))
            continue;
        const qint64 id = fileId(f);
        if (m_chosen.contains(id) != chosen)
            continue;
        if (m_unread.contains(id) && !m_touched.contains(id))
            continue;
        out += QString::number(id) + QLatin1Char(',');
    }
    return out;
}

QString TaskFilesModel::wantedList() const
{
    return listOf(true);
}

QString TaskFilesModel::unwantedList() const
{
    return listOf(false);
}

qint64 TaskFilesModel::chosenBytes() const
{
    qint64 sum = 0;
    for (const QJsonObject &f : rows())
        if (m_chosen.contains(fileId(f)))
            sum += json::intValue(f, u"file_isize");
    return sum;
}

QString TaskFilesModel::formatTotalSize(qint64 bytes)
{
    long double v = static_cast<long double>(bytes) / 1024.0L;
    const char *unit = "KB";
    if (v >= 1024) {
        v /= 1024;
        unit = "MB";
    }
    if (v >= 1024) {
        v /= 1024;
        unit = "GB";
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.2Lf %s", v, unit);
    return QString::fromLatin1(text);
}

} // namespace flk
