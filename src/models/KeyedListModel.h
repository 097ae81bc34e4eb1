// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QList>

#include <algorithm>
#include <optional>
#include <type_traits>
#include <utility>

namespace flk {

// What the last keyed update did (tests and benchmarks look).
struct KeyedUpdateStats {
    int removed = 0;
    int inserted = 0;
    int changedRows = 0;
    bool reset = false;
    bool moved = false;
};

// Base of every list table: rows that carry a key, and the one way to bring
// the rows shown to a new list (updateRows). Rows whose key left are removed
// and rows whose key came are inserted, each in runs with one signal per
// run; kept rows whose order changed are moved with one layout change that
// carries persistent indexes along; changed cells are announced in runs of
// rows. Views keep their scroll position, current index and selection (a
// QItemSelectionModel holds persistent indexes), so selection is kept by key
// with no re-selecting. A reset happens only to or from an empty list; a
// list that repeats a key is followed by each key's first, second, ... row.
//
// Linear time: the new rows are built in one pass into a fresh list while
// the signals go out; between two signals rowAt() and rowCount() show the
// state those signals describe (the rows placed so far, then the old rows
// not yet reached), so no run shifts the rows after it.
template <class Row> class KeyedListModel : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &parent = {}) const override
    {
        if (parent.isValid())
            return 0;
        if (m_merge)
            return int(m_merge->out.size() + (m_rows.size() - m_merge->read));
        return int(m_rows.size());
    }
    const Row &rowAt(int i) const
    {
        if (m_merge) {
            if (i < m_merge->out.size())
                return m_merge->out.at(i);
            return m_rows.at(m_merge->read + (i - m_merge->out.size()));
        }
        return m_rows.at(i);
    }
    // The rows (not while an update runs).
    const QList<Row> &rows() const { return m_rows; }
    const KeyedUpdateStats &lastUpdate() const { return m_stats; }

protected:
    // keyOf(row) gives a hashable key; same(old, new) whether a row that
    // stays shows the same (else its cells are announced as changed).
    template <class KeyOf, class Same> void updateRows(QList<Row> incoming, KeyOf keyOf, Same same)
    {
        updateRows(std::move(incoming), keyOf, same,
            [&keyOf](const Row &a, const Row &b) { return keyOf(a) == keyOf(b); });
    }
    // sameKey(a, b): whether two rows have the same key (a faster test than
    // comparing keyOf's results, for the usual poll).
    template <class KeyOf, class Same, class SameKey>
    void updateRows(QList<Row> incoming, KeyOf keyOf, Same same, SameKey sameKey);
    // For edits in place (the caller announces them).
    QList<Row> &mutableRows() { return m_rows; }

private:
    struct Merge {
        QList<Row> out;
        qsizetype read = 0; // first old row not reached yet
    };
    void announceChanged(const QList<qsizetype> &changedRows);
    // The merge over the rows' keys; false (nothing changed) when a list
    // repeats a key.
    template <class Key, class Same>
    bool mergeByKeys(
        QList<Row> &incoming, const QList<Key> &oldKeys, const QList<Key> &newKeys, Same same);
    void resetTo(QList<Row> &&incoming)
    {
        m_stats.reset = true;
        beginResetModel();
        m_rows = std::move(incoming);
        endResetModel();
    }

    QList<Row> m_rows;
    std::optional<Merge> m_merge;
    KeyedUpdateStats m_stats;
};

template <class Row>
template <class KeyOf, class Same, class SameKey>
void KeyedListModel<Row>::updateRows(QList<Row> incoming, KeyOf keyOf, Same same, SameKey sameKey)
{
    m_stats = KeyedUpdateStats();
    if (m_rows.isEmpty() && incoming.isEmpty())
        return;
    if (m_rows.isEmpty() || incoming.isEmpty())
        return resetTo(std::move(incoming));

    // The usual poll: the same rows in the same order. Changed rows are
    // replaced in place, with no map and no new list.
    QList<qsizetype> changedRows;
    if (m_rows.size() == incoming.size()) {
        qsizetype i = 0;
        while (i < incoming.size() && sameKey(m_rows[i], incoming[i]))
            ++i;
        if (i == incoming.size()) {
            for (qsizetype j = 0; j < incoming.size(); ++j) {
                if (same(m_rows[j], incoming[j]))
                    continue;
                m_rows[j] = std::move(incoming[j]);
                changedRows.append(j);
            }
            announceChanged(changedRows);
            return;
        }
    }

    using Key = std::decay_t<decltype(keyOf(incoming.first()))>;
    QList<Key> oldKeys, newKeys;
    oldKeys.reserve(m_rows.size());
    newKeys.reserve(incoming.size());
    for (const Row &r : std::as_const(m_rows))
        oldKeys.append(keyOf(r));
    for (const Row &r : std::as_const(incoming))
        newKeys.append(keyOf(r));
    if (mergeByKeys(incoming, oldKeys, newKeys, same))
        return;
    // A list that repeats a key: the n-th row of a key follows the n-th row
    // of that key, so rows and the selection are still kept.
    using Nth = std::pair<Key, int>;
    auto numbered = [](const QList<Key> &keys) {
        QHash<Key, int> seen;
        seen.reserve(keys.size());
        QList<Nth> out;
        out.reserve(keys.size());
        for (const Key &k : keys)
            out.append({ k, seen[k]++ });
        return out;
    };
    mergeByKeys(incoming, numbered(oldKeys), numbered(newKeys), same);
}

template <class Row>
template <class Key, class Same>
bool KeyedListModel<Row>::mergeByKeys(
    QList<Row> &incoming, const QList<Key> &oldKeys, const QList<Key> &newKeys, Same same)
{
    QHash<Key, qsizetype> newPos;
    newPos.reserve(incoming.size());
    for (qsizetype i = 0; i < incoming.size(); ++i)
        newPos.insert(newKeys[i], i);
    if (newPos.size() != incoming.size())
        return false;

    // Where each old row goes (-1: it left), and whether the rows that stay
    // keep their order.
    QList<qsizetype> target(m_rows.size());
    QList<bool> stays(incoming.size(), false);
    bool inOrder = true;
    qsizetype last = -1;
    for (qsizetype j = 0; j < m_rows.size(); ++j) {
        const auto it = newPos.constFind(oldKeys[j]);
        target[j] = it == newPos.constEnd() ? -1 : *it;
        if (target[j] < 0)
            continue;
        if (stays[target[j]]) // the old list repeats a key
            return false;
        stays[target[j]] = true;
        if (target[j] < last)
            inOrder = false;
        last = target[j];
    }

    // One pass, top down: runs of old rows that left are removed, runs of
    // new rows are inserted where they belong (when the order holds; else
    // at the end), rows that stay are moved across with their new content.
    QList<qsizetype> changedRows;
    // Out of order: where each row placed goes in the end.
    QList<qsizetype> finalPos;
    m_merge.emplace();
    Merge &m = *m_merge;
    m.out.reserve(inOrder ? incoming.size() : m_rows.size() + incoming.size());
    qsizetype next = 0; // next new row to place (in order)
    auto insertRun = [&](qsizetype from, qsizetype to) {
        const int at = int(m.out.size());
        beginInsertRows({}, at, at + int(to - from) - 1);
        for (qsizetype k = from; k < to; ++k)
            m.out.append(std::move(incoming[k]));
        endInsertRows();
        m_stats.inserted += int(to - from);
    };
    while (m.read < m_rows.size()) {
        if (target[m.read] < 0) {
            qsizetype end = m.read;
            while (end < m_rows.size() && target[end] < 0)
                ++end;
            const int at = int(m.out.size());
            beginRemoveRows({}, at, at + int(end - m.read) - 1);
            m_stats.removed += int(end - m.read);
            m.read = end;
            endRemoveRows();
            continue;
        }
        if (inOrder && next < target[m.read]) {
            // New rows that come before this one (none of them stays).
            insertRun(next, target[m.read]);
            next = target[m.read];
            continue;
        }
        const qsizetype to = target[m.read];
        if (inOrder) {
            const bool unchanged = same(m_rows[m.read], incoming[to]);
            if (!unchanged)
                changedRows.append(m.out.size());
            m.out.append(unchanged ? std::move(m_rows[m.read]) : std::move(incoming[to]));
            next = to + 1;
        } else {
            m.out.append(std::move(m_rows[m.read]));
            finalPos.append(to);
        }
        ++m.read;
    }
    if (inOrder) {
        if (next < incoming.size())
            insertRun(next, incoming.size());
    } else {
        // The new rows that do not stay go at the end for now.
        QList<Row> arrivals;
        for (qsizetype i = 0; i < incoming.size(); ++i)
            if (!stays[i]) {
                arrivals.append(incoming[i]);
                finalPos.append(i);
            }
        if (!arrivals.isEmpty()) {
            const int at = int(m.out.size());
            beginInsertRows({}, at, at + int(arrivals.size()) - 1);
            for (Row &r : arrivals)
                m.out.append(std::move(r));
            endInsertRows();
            m_stats.inserted += int(arrivals.size());
        }
    }
    m_rows = std::move(m.out);
    m_merge.reset();

    if (!inOrder) {
        // Every row to its place in one layout change.
        m_stats.moved = true;
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        const QModelIndexList before = persistentIndexList();
        QModelIndexList after;
        after.reserve(before.size());
        for (const QModelIndex &i : before)
            after.append(index(int(finalPos.value(i.row())), i.column()));
        m_rows = std::move(incoming);
        changePersistentIndexList(before, after);
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
        return true;
    }

    announceChanged(changedRows);
    return true;
}

template <class Row> void KeyedListModel<Row>::announceChanged(const QList<qsizetype> &changedRows)
{
    // Changed cells, in runs of consecutive rows.
    m_stats.changedRows = int(changedRows.size());
    const int columns = columnCount();
    for (qsizetype k = 0; k < changedRows.size();) {
        qsizetype end = k + 1;
        while (end < changedRows.size() && changedRows[end] == changedRows[end - 1] + 1)
            ++end;
        emit dataChanged(
            index(int(changedRows[k]), 0), index(int(changedRows[end - 1]), columns - 1));
        k = end;
    }
}

} // namespace flk
