// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "TaskListModel.h"

#include "api/JsonUtil.h"
#include "api/Localization.h"

#include <QDateTime>
#include <QHash>
#include <QJsonArray>
#include <QLocale>
#include <cmath>

namespace flk {

namespace {
struct ColumnInfo {
    const char *identifier;
    const char *key;
    const char *title;
};
const ColumnInfo kColumns[TaskListModel::ColumnCount] = {
    { "ColPosition", "position", QT_TRID_NOOP("COL_POSITION") },
    { "ColName", "name", QT_TRID_NOOP("COL_NAME") },
    { "ColSize", "size", QT_TRID_NOOP("COL_SIZE") },
    { "ColPercent", "percent", QT_TRID_NOOP("COL_PERCENT") },
    { "ColDownload", "download", QT_TRID_NOOP("DOWNLOAD") },
    { "ColUpload", "upload", QT_TRID_NOOP("UPLOAD") },
    { "ColETA", "eta", QT_TRID_NOOP("COL_ETA") },
    { "ColQueuePosition", "queuePosition_active", QT_TRID_NOOP("COL_QUEUE_POSITION") },
    { "ColEndTime", "complete_time", QT_TRID_NOOP("COL_END_TIME") },
    { "ColStatus", "status", QT_TRID_NOOP("COL_STATUS") },
    { "ColOwner", "owner", QT_TRID_NOOP("COL_OWNER") },
    { "ColType", "type", QT_TRID_NOOP("COL_TYPE") },
};
} // namespace

const char *TaskListModel::columnIdentifier(int column)
{
    return kColumns[column].identifier;
}
const char *TaskListModel::columnKey(int column)
{
    return kColumns[column].key;
}
const char *TaskListModel::columnTitleKey(int column)
{
    return kColumns[column].title;
}

int TaskListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TaskListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        const QString &cell = rowAt(index.row())->cells[size_t(index.column())];
        // Date-times are kept as seconds and formatted for the rows on screen only.
        if (index.column() == ColEndTime && !cell.isEmpty())
            return formatDateTime(cell.toLongLong());
        return cell;
    }
    return {};
}

QVariant TaskListModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (o == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < ColumnCount)
        return localized(kColumns[section].title);
    return {};
}

QString TaskListModel::cellText(int column, const QJsonObject &task)
{
    const QLatin1String key(kColumns[column].key);
    const QJsonValue v = task.value(key);
    if (v.isUndefined())
        return QString();
    if (column == ColQueuePosition) {
        const qint64 n = json::toInt(v);
        return n < 1 ? QString() : QString::number(n);
    }
    if (column == ColEndTime) {
        const qint64 t = json::toInt(v);
        return t < 1 ? QString() : formatDateTime(t);
    }
    return json::toString(v);
}

QString TaskListModel::formatDateTime(qint64 secondsSinceEpoch)
{
    return QLocale().toString(
        QDateTime::fromSecsSinceEpoch(secondsSinceEpoch).toLocalTime(), QLocale::ShortFormat);
}

void TaskListModel::setCell(TaskRowFields &row, int c, const QJsonValue &v)
{
    if (c == ColEndTime) {
        const qint64 t = json::toInt(v);
        row.cells[size_t(c)] = t < 1 ? QString() : QString::number(t);
    } else if (c == ColQueuePosition) {
        const qint64 n = json::toInt(v);
        row.cells[size_t(c)] = n < 1 ? QString() : QString::number(n);
    } else {
        row.cells[size_t(c)] = json::toString(v);
    }
}

void TaskListModel::finishSnapshot(TaskListSnapshot &s, const QJsonObject &reply)
{
    const auto speed = [&](QStringView key) {
        const QJsonValue v = reply.value(key);
        return v.isUndefined() || v.isNull() ? QStringLiteral("0") : json::toString(v);
    };
    s.totalDownload = speed(u"total_download_speed");
    s.totalUpload = speed(u"total_upload_speed");
    for (const char *key : { "all", "downloading", "completed", "active", "inactive" })
        s.counts.insert(QLatin1String(key), json::intValue(reply, QString::fromLatin1(key)));
}

namespace {
const QHash<QString, int> &columnOfKey()
{
    static const QHash<QString, int> h = [] {
        QHash<QString, int> out;
        for (int c = 0; c < TaskListModel::ColumnCount; ++c)
            out.insert(QString::fromLatin1(TaskListModel::columnKey(c)), c);
        return out;
    }();
    return h;
}
} // namespace

QJsonValue TaskListModel::taskId(const QJsonValue &received)
{
    if (received.isDouble()) {
        const double d = received.toDouble();
        // Whole and exact in a double.
        return std::isfinite(d) && d == std::floor(d) && std::fabs(d) <= 9007199254740992.0
            ? received
            : QJsonValue();
    }
    if (received.isString()) {
        const QString text = received.toString();
        qsizetype i = text.startsWith(QLatin1Char('-')) ? 1 : 0;
        if (i == text.size() || text.size() > 19)
            return QJsonValue();
        for (; i < text.size(); ++i) {
            if (text[i] < QLatin1Char('0') || text[i] > QLatin1Char('9'))
                return QJsonValue();
        }
        return received;
    }
    return QJsonValue();
}

TaskListSnapshot TaskListModel::decode(const QJsonObject &reply)
{
    TaskListSnapshot s;
    const QJsonArray files = json::arrayValue(reply, u"files");
    s.rows.reserve(files.size());
    // One pass over each task's members (a member lookup by key is a scan).
    const QHash<QString, int> &columns = columnOfKey();
    for (const QJsonValue &f : files) {
        const QJsonObject task = json::toObject(f);
        TaskRow made;
        TaskRowFields &row = made.edit();
        for (auto it = task.constBegin(); it != task.constEnd(); ++it) {
            const auto col = columns.constFind(it.key());
            if (col != columns.constEnd()) {
                setCell(row, *col, it.value());
            } else if (it.key() == QLatin1String("id")) {
                row.id = taskId(it.value());
                row.idValue = json::toInt(row.id);
            }
        }
        row.type = row.cells[ColType];
        row.rowKey = TaskRow::makeKey(row.type, row.id, s.rows.size());
        s.rows.append(std::move(made));
    }
    finishSnapshot(s, reply);
    return s;
}

namespace {
const TaskRow &keptRow()
{
    static const TaskRow shared;
    return shared;
}
} // namespace

TaskRow TaskRow::kept()
{
    return keptRow();
}

bool TaskRow::isKept() const
{
    return isSameRow(keptRow());
}

QList<TaskRow> TaskListSnapshot::resolvedRows() const
{
    QList<TaskRow> out = rows;
    for (qsizetype i = 0; i < out.size(); ++i)
        if (out[i].isKept())
            out[i] = base.value(i);
    return out;
}

void TaskListModel::apply(TaskListSnapshot snapshot)
{
    QList<TaskRow> &incoming = snapshot.rows;
    const auto sameKey = [](const TaskRow &a, const TaskRow &b) {
        // A kept row is the row shown at its place; a row kept from the
        // list before is its own key; keys made by decode (shared with the
        // row before when it kept its place) compare without a copy.
        if (b.isKept() || a.isSameRow(b))
            return true;
        if (!a->rowKey.isEmpty() && !b->rowKey.isEmpty())
            return TaskRow::sameText(a->rowKey, b->rowKey);
        return a.key() == b.key();
    };
    // Kept rows stand for the rows shown only when the list shown is the
    // one decoded against and every other row keeps its place; otherwise
    // they are taken from that list.
    // (A list with no kept row, the first after a category change, needs
    // neither.)
    const QList<TaskRow> &shown = rows();
    bool inPlace = snapshot.base.isEmpty()
        || (snapshot.base.constData() == shown.constData() && snapshot.base.size() == shown.size()
            && incoming.size() == shown.size());
    for (qsizetype i = 0; inPlace && !snapshot.base.isEmpty() && i < incoming.size(); ++i)
        inPlace = incoming[i].isKept() || sameKey(shown[i], incoming[i]);
    if (!inPlace) {
        for (qsizetype i = 0; i < incoming.size(); ++i)
            if (incoming[i].isKept())
                incoming[i] = snapshot.base.value(i);
    }
    // The list decoded against is let go before the rows change, so they
    // change in place instead of being copied.
    snapshot.base = {};
    m_digests = snapshot.digests.size() == incoming.size() ? std::move(snapshot.digests)
                                                           : QList<TaskDigest>();
    updateRows(
        std::move(incoming), [](const TaskRow &r) { return r.key(); },
        [](const TaskRow &a, const TaskRow &b) { return b.isKept() || a.sameAs(b); }, sameKey);
}

QList<int> TaskListModel::rowsWithKeys(const QSet<QString> &keys) const
{
    QList<int> out;
    if (keys.isEmpty())
        return out;
    const QList<TaskRow> &all = rows();
    for (int i = 0; i < all.size(); ++i) {
        // The key decode made, looked up where it is (no copy).
        const QString &made = all[i]->rowKey;
        if (made.isEmpty() ? keys.contains(all[i].key()) : keys.contains(made))
            out.append(i);
    }
    return out;
}

QJsonArray TaskListModel::idsFromType(const QList<int> &rows, const QString &type) const
{
    QList<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end());
    QJsonArray ids;
    const QList<TaskRow> &all = KeyedListModel::rows();
    for (int r : sorted) {
        if (r >= 0 && r < all.size() && (type.isEmpty() || all[r]->type == type)
            && (all[r]->id.isDouble() || all[r]->id.isString()))
            ids.append(all[r]->id);
    }
    return ids;
}

QString TaskListModel::idStringFromType(const QList<int> &rows, const QString &type) const
{
    QString out;
    for (const QJsonValue &id : idsFromType(rows, type)) {
        if (!out.isEmpty())
            out += QLatin1Char(',');
        // An integer as its digits; anything else as the NAS sent it.
        if (id.isString())
            out += id.toString();
        else if (id.isDouble() && id.toDouble() != double(json::toInt(id)))
            out += QString::number(id.toDouble(), 'g', 17);
        else
            out += QString::number(json::toInt(id));
    }
    return out;
}

QString TaskRow::makeKey(const QString &type, const QJsonValue &id)
{
    return type + QLatin1Char('\x1f') + json::idText(id);
}

QString TaskRow::makeKey(const QString &type, const QJsonValue &id, qsizetype index)
{
    if (id.isDouble() || id.isString())
        return makeKey(type, id);
    return type + QStringLiteral("\x1f#") + QString::number(index);
}

} // namespace flk
