// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "models/KeyedListModel.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QSet>
#include <QSharedData>
#include <QSharedDataPointer>
#include <QString>
#include <QVariantMap>

#include <array>
#include <optional>

namespace flk {

// One task's texts as the table shows them.
struct TaskRowFields {
    QString type; // "BT" or "HTTP/FTP"
    QJsonValue id; // as received when a whole number, else none (see taskId)
    qint64 idValue = 0;
    std::array<QString, 12> cells; // display texts; ColEndTime holds the seconds
    // Identity of a task across refreshes: its type and its id (made once,
    // off the GUI thread, by decode).
    QString rowKey;
};

// A task's members as received (names, texts and numbers) as two
// independent 64-bit digests; {0, 0} is none (a list read another way, or a
// task with a member that is an array or an object).
using TaskDigest = std::array<quint64, 2>;

// One task as the table shows it, prepared off the GUI thread. Rows are
// shared: a task that did not change since the last poll is the same row
// (one reference, no string of it touched), and copying a list of rows
// copies pointers. edit() gives a row of its own to write to.
class TaskRow
{
public:
    TaskRow() : d(new Data) { }
    // Stands for the row at the same place in the list decoded against: the
    // task came exactly as it did then (see TaskListSnapshot::base).
    static TaskRow kept();
    bool isKept() const;

    const TaskRowFields *operator->() const { return d.constData(); }
    const TaskRowFields &fields() const { return *d.constData(); }
    TaskRowFields &edit() { return *d; }

    QString key() const { return d->rowKey.isEmpty() ? makeKey(d->type, d->id) : d->rowKey; }
    // The very same row (kept from the list before).
    bool isSameRow(const TaskRow &o) const { return d.constData() == o.d.constData(); }
    // Shows the same (the id as received included).
    bool sameAs(const TaskRow &o) const
    {
        if (isSameRow(o))
            return true;
        for (size_t c = 0; c < d->cells.size(); ++c) {
            if (!sameText(d->cells[c], o->cells[c]))
                return false;
        }
        return d->idValue == o->idValue && d->id == o->id;
    }
    // A poll's texts mostly share the previous row's strings: those are the
    // same without reading their characters (a big list's rows are far
    // apart in memory).
    static bool sameText(const QString &a, const QString &b)
    {
        return (a.constData() == b.constData() && a.size() == b.size()) || a == b;
    }
    // By the id as sent (json::idText), so ids that are not integers stay
    // apart.
    static QString makeKey(const QString &type, const QJsonValue &id);
    // A row without an id is kept by its place in the list, so two such
    // rows never share a key.
    static QString makeKey(const QString &type, const QJsonValue &id, qsizetype index);

private:
    struct Data : QSharedData, TaskRowFields {
    };
    QSharedDataPointer<Data> d;
};

// A decoded "torrent-list" reply.
struct TaskListSnapshot {
    // Rows that are kept() stand for base's row at their place.
    QList<TaskRow> rows;
    QList<TaskRow> base;
    QList<TaskDigest> digests; // one per row when decoded from a body
    // The rows with every kept row taken from base.
    QList<TaskRow> resolvedRows() const;

    QString totalDownload = QStringLiteral("0");
    QString totalUpload = QStringLiteral("0");
    QVariantMap counts; // all, downloading, completed, active, inactive
};

// The task table: the list as last received, in the order received, kept by
// (type, id) through the keyed updater.
class TaskListModel : public KeyedListModel<TaskRow>
{
    Q_OBJECT

public:
    enum Column {
        ColPosition,
        ColName,
        ColSize,
        ColPercent,
        ColDownload,
        ColUpload,
        ColETA,
        ColQueuePosition,
        ColEndTime,
        ColStatus,
        ColOwner,
        ColType,
        ColumnCount
    };
    static const char *columnIdentifier(int column);
    static const char *columnKey(int column); // reply key
    static const char *columnTitleKey(int column); // localisation key

    using KeyedListModel::KeyedListModel;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;

    // Worker side: the reply's rows with every cell rule applied.
    static TaskListSnapshot decode(const QJsonObject &reply);
    // A task id as commands send it: a whole number, as a number or as
    // digits, kept as received; anything else ("3,4" would address two
    // tasks) is no id, and no command sends it.
    static QJsonValue taskId(const QJsonValue &received);
    // The same straight from the reply body in one pass (simdjson), without
    // building a JSON document of every task. Returns the reply's other
    // members (what the request is judged by), none when the body is not a
    // JSON object; the rows, totals and counts go to *snapshot. Texts equal
    // to the previous list's at the same row share its strings (a poll that
    // brings the same values allocates almost nothing).
    // With the digests of previous (digests() of the model that shows it), a
    // task whose members come as they did for previous's row at the same
    // place is a kept() row: nothing of it is read or made, and apply()
    // leaves the row shown as it is.
    static std::optional<QJsonObject> decodeBody(const QByteArray &body, TaskListSnapshot *snapshot,
        const QList<TaskRow> &previous = {}, const QList<TaskDigest> &previousDigests = {});
    static QString cellText(int column, const QJsonObject &task);
    // Sets a row's cell from a reply value with the column's rule.
    static void setCell(TaskRowFields &row, int column, const QJsonValue &v);
    // Short date and short time in the user's locale.
    static QString formatDateTime(qint64 secondsSinceEpoch);
    // GUI side: swaps in the new rows.
    void apply(TaskListSnapshot snapshot);

    const TaskRow &row(int i) const { return rowAt(i); }
    // The digests of the rows shown (empty when the list was not read from
    // a body).
    const QList<TaskDigest> &digests() const { return m_digests; }
    // Rows whose key is in keys, in ascending order (one pass).
    QList<int> rowsWithKeys(const QSet<QString> &keys) const;
    // _get_IDs:from_Type: (empty type: every row).
    QJsonArray idsFromType(const QList<int> &rows, const QString &type) const;
    // _get_ID_String:from_Type: — "%ld" joined by ",".
    QString idStringFromType(const QList<int> &rows, const QString &type) const;

private:
    static void finishSnapshot(TaskListSnapshot &s, const QJsonObject &reply);
    QList<TaskDigest> m_digests;
};

} // namespace flk
