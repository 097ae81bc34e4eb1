#include "TaskListModel.h"

#include "api/JsonUtil.h"
#include "api/Localization.h"

#include <QDateTime>
#include <QHash>
#include <QJsonArray>
#include <QLocale>

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

int TaskListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TaskListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TaskListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        const QString &cell = m_rows[index.row()].cells[size_t(index.column())];
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

void TaskListModel::setCell(TaskRow &row, int c, const QJsonValue &v)
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

TaskListSnapshot TaskListModel::decode(const QJsonObject &reply)
{
    TaskListSnapshot s;
    const QJsonArray files = json::arrayValue(reply, u"files");
    s.rows.reserve(files.size());
    // One pass over each task's members (a member lookup by key is a scan).
    const QHash<QString, int> &columns = columnOfKey();
    for (const QJsonValue &f : files) {
        const QJsonObject task = json::toObject(f);
        TaskRow row;
        for (auto it = task.constBegin(); it != task.constEnd(); ++it) {
            const auto col = columns.constFind(it.key());
            if (col != columns.constEnd()) {
                setCell(row, *col, it.value());
            } else if (it.key() == QLatin1String("id")) {
                row.id = it.value();
                row.idValue = json::toInt(row.id);
            }
        }
        row.type = row.cells[ColType];
        row.rowKey = TaskRow::makeKey(row.type, row.idValue);
        s.rows.append(std::move(row));
    }
    finishSnapshot(s, reply);
    return s;
}

void TaskListModel::apply(TaskListSnapshot snapshot)
{
    QList<TaskRow> &incoming = snapshot.rows;
    bool sameTasks = incoming.size() == m_rows.size();
    for (qsizetype i = 0; sameTasks && i < incoming.size(); ++i)
        sameTasks = incoming[i].idValue == m_rows[i].idValue && incoming[i].type == m_rows[i].type;
    if (sameTasks) {
        updateCells(incoming);
        return;
    }
    if (m_rows.isEmpty() || incoming.isEmpty()) {
        beginResetModel();
        m_rows = std::move(incoming);
        endResetModel();
        return;
    }
    mergeRows(incoming);
}

void TaskListModel::updateCells(QList<TaskRow> &incoming)
{
    // Same tasks in the same order: only changed cells are announced.
    for (qsizetype i = 0; i < incoming.size(); ++i) {
        int first = -1, last = -1;
        for (int c = 0; c < ColumnCount; ++c) {
            if (incoming[i].cells[size_t(c)] != m_rows[i].cells[size_t(c)]) {
                if (first < 0)
                    first = c;
                last = c;
            }
        }
        m_rows[i].id = incoming[i].id;
        if (first < 0)
            continue;
        m_rows[i] = std::move(incoming[i]);
        emit dataChanged(index(int(i), first), index(int(i), last), { Qt::DisplayRole });
    }
}

void TaskListModel::mergeRows(QList<TaskRow> &incoming)
{
    // Tasks that left are removed and tasks that came are inserted, so the
    // view keeps its scroll position, current row and selection (persistent
    // indexes follow their rows); a changed order becomes a layout change.
    QHash<QString, qsizetype> newPos;
    newPos.reserve(incoming.size());
    for (qsizetype i = 0; i < incoming.size(); ++i)
        newPos.insert(incoming[i].key(), i);
    if (newPos.size() != incoming.size()) {
        // Duplicate keys in a reply: nothing to follow rows by.
        beginResetModel();
        m_rows = std::move(incoming);
        endResetModel();
        return;
    }

    // 1. Removals, bottom up, one signal per run of rows.
    for (int i = int(m_rows.size()) - 1; i >= 0;) {
        if (newPos.contains(m_rows[i].key())) {
            --i;
            continue;
        }
        int first = i;
        while (first > 0 && !newPos.contains(m_rows[first - 1].key()))
            --first;
        beginRemoveRows({}, first, i);
        m_rows.remove(first, i - first + 1);
        endRemoveRows();
        i = first - 1;
    }

    // 2. Arrivals go in where they belong when the kept rows are still in
    //    reply order, else at the end before the layout change below.
    bool inOrder = true;
    for (qsizetype j = 1; inOrder && j < m_rows.size(); ++j)
        inOrder = newPos.value(m_rows[j - 1].key()) < newPos.value(m_rows[j].key());
    if (inOrder) {
        qsizetype j = 0;
        for (qsizetype i = 0; i < incoming.size();) {
            if (j < m_rows.size() && m_rows[j].key() == incoming[i].key()) {
                ++i;
                ++j;
                continue;
            }
            qsizetype end = i;
            while (end < incoming.size()
                && !(j < m_rows.size() && m_rows[j].key() == incoming[end].key()))
                ++end;
            beginInsertRows({}, int(j), int(j + (end - i) - 1));
            for (qsizetype k = i; k < end; ++k)
                m_rows.insert(j + (k - i), incoming[k]);
            endInsertRows();
            j += end - i;
            i = end;
        }
        updateCells(incoming);
        return;
    }
    QSet<QString> kept;
    kept.reserve(m_rows.size());
    for (const TaskRow &r : std::as_const(m_rows))
        kept.insert(r.key());
    QList<TaskRow> arrivals;
    for (const TaskRow &r : std::as_const(incoming))
        if (!kept.contains(r.key()))
            arrivals.append(r);
    if (!arrivals.isEmpty()) {
        beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + arrivals.size() - 1));
        m_rows.append(std::move(arrivals));
        endInsertRows();
    }
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &i : before)
        after.append(index(int(newPos.value(m_rows[i.row()].key())), i.column()));
    m_rows = std::move(incoming);
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

QList<int> TaskListModel::rowsWithKeys(const QSet<QString> &keys) const
{
    QList<int> out;
    if (keys.isEmpty())
        return out;
    for (int i = 0; i < m_rows.size(); ++i) {
        if (keys.contains(m_rows[i].key()))
            out.append(i);
    }
    return out;
}

QJsonArray TaskListModel::idsFromType(const QList<int> &rows, const QString &type) const
{
    QList<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end());
    QJsonArray ids;
    for (int r : sorted) {
        if (r >= 0 && r < m_rows.size() && (type.isEmpty() || m_rows[r].type == type))
            ids.append(m_rows[r].id);
    }
    return ids;
}

QString TaskListModel::idStringFromType(const QList<int> &rows, const QString &type) const
{
    QString out;
    for (const QJsonValue &id : idsFromType(rows, type)) {
        if (!out.isEmpty())
            out += QLatin1Char(',');
        out += QString::number(json::toInt(id));
    }
    return out;
}

} // namespace flk
