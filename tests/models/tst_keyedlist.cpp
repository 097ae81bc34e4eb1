// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// The keyed list updater every table uses: the model ends equal to the new
// list, rows and persistent indexes follow their keys (so a selection is
// kept by key), signals describe a consistent model at every step, and a
// reset happens only to or from an empty list.
#include "models/KeyedListModel.h"

#include <QAbstractItemModelTester>
#include <QItemSelectionModel>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

using namespace flk;

namespace {
struct Item {
    int key = 0;
    QString text;
    bool operator==(const Item &o) const = default;
};

class ItemModel : public KeyedListModel<Item>
{
public:
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : 2;
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || role != Qt::DisplayRole)
            return {};
        const Item &i = rowAt(index.row());
        return index.column() == 0 ? QVariant(i.key) : QVariant(i.text);
    }
    void set(QList<Item> items)
    {
        updateRows(
            std::move(items), [](const Item &i) { return i.key; },
            [](const Item &a, const Item &b) { return a == b; });
    }
};

QList<int> keysOf(const ItemModel &m)
{
    QList<int> out;
    for (int r = 0; r < m.rowCount(); ++r)
        out << m.rowAt(r).key;
    return out;
}

QList<Item> items(std::initializer_list<int> keys)
{
    QList<Item> out;
    for (int k : keys)
        out.append({ k, QStringLiteral("v%1").arg(k) });
    return out;
}

// A random next list: some keys leave, some come, some texts change, and
// now and then the order is shuffled.
QList<Item> nextList(const QList<Item> &prev, QRandomGenerator &rng, int &nextKey)
{
    QList<Item> out;
    for (const Item &i : prev) {
        if (rng.bounded(100) < 20)
            continue; // left
        Item kept = i;
        if (rng.bounded(100) < 30)
            kept.text += QLatin1Char('*');
        out.append(kept);
    }
    const int arrivals = int(rng.bounded(6));
    for (int a = 0; a < arrivals; ++a)
        out.insert(int(rng.bounded(quint32(out.size() + 1))),
            Item { nextKey, QStringLiteral("n%1").arg(nextKey) }),
            ++nextKey;
    if (rng.bounded(100) < 25)
        std::shuffle(out.begin(), out.end(), std::mt19937(rng.generate()));
    if (rng.bounded(100) < 5)
        out.clear();
    return out;
}
} // namespace

class TestKeyedList : public QObject
{
    Q_OBJECT

private slots:
    void randomSequencesEndEqualAndKeepSelectionByKey()
    {
        QRandomGenerator rng(20261207);
        for (int run = 0; run < 40; ++run) {
            ItemModel model;
            // Fatal: any inconsistent signal or row count aborts the test.
            QAbstractItemModelTester tester(
                &model, QAbstractItemModelTester::FailureReportingMode::Fatal);
            QItemSelectionModel selection(&model);
            QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
            int nextKey = 0;
            QList<Item> list;
            for (int i = 0; i < 8; ++i)
                list.append({ nextKey, QStringLiteral("n%1").arg(nextKey) }), ++nextKey;
            model.set(list);
            for (int step = 0; step < 30; ++step) {
                // Select a random subset and remember it by key.
                selection.clearSelection();
                QSet<int> selectedKeys;
                for (int r = 0; r < model.rowCount(); ++r)
                    if (rng.bounded(100) < 40) {
                        selection.select(model.index(r, 0),
                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
                        selectedKeys.insert(model.rowAt(r).key);
                    }
                const bool wasEmpty = model.rowCount() == 0;
                const int resetsBefore = int(resets.size());
                const QList<Item> next = nextList(list, rng, nextKey);
                model.set(next);
                list = next;

                QCOMPARE(model.rows(), next);
                QCOMPARE(model.rowCount(), int(next.size()));
                for (int r = 0; r < model.rowCount(); ++r)
                    QCOMPARE(
                        model.data(model.index(r, 1), Qt::DisplayRole).toString(), next[r].text);
                if (!wasEmpty && !next.isEmpty()) {
                    QCOMPARE(int(resets.size()), resetsBefore); // never a reset between lists
                    // The selection is the rows whose keys were selected and stayed.
                    QSet<int> expected, got;
                    for (const Item &i : next)
                        if (selectedKeys.contains(i.key))
                            expected.insert(i.key);
                    for (const QModelIndex &i : selection.selectedRows())
                        got.insert(model.rowAt(i.row()).key);
                    QCOMPARE(got, expected);
                }
                if (next.isEmpty())
                    list = items({ 1000 + step });
                if (next.isEmpty())
                    model.set(list);
            }
        }
    }

    void signalsAreRunsAndOrderChangesAreOneLayoutChange()
    {
        ItemModel model;
        model.set(items({ 1, 2, 3, 4, 5, 6 }));
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy layouts(&model, &QAbstractItemModel::layoutChanged);
        QPersistentModelIndex five(model.index(4, 0));
        // 2 and 3 leave (one run), 7 and 8 come before 6 (one run), 4 changes.
        QList<Item> next = items({ 1, 4, 5, 7, 8, 6 });
        next[1].text = QStringLiteral("changed");
        model.set(next);
        QCOMPARE(removed.size(), 1);
        QCOMPARE(removed[0][1].toInt(), 1);
        QCOMPARE(removed[0][2].toInt(), 2);
        QCOMPARE(inserted.size(), 1);
        QCOMPARE(inserted[0][1].toInt(), 3);
        QCOMPARE(inserted[0][2].toInt(), 4);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed[0][0].value<QModelIndex>().row(), 1);
        QCOMPARE(layouts.size(), 0);
        QCOMPARE(five.row(), 2);
        QCOMPARE(model.lastUpdate().removed, 2);
        QCOMPARE(model.lastUpdate().inserted, 2);

        // A new order: one layout change, the persistent index follows 5.
        model.set(items({ 6, 8, 7, 5, 4, 1 }));
        QCOMPARE(layouts.size(), 1);
        QCOMPARE(five.row(), 3);
        QCOMPARE(keysOf(model), (QList<int> { 6, 8, 7, 5, 4, 1 }));
        QVERIFY(model.lastUpdate().moved);
    }

    void resetsOnlyToOrFromEmpty()
    {
        ItemModel model;
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        model.set({});
        QCOMPARE(resets.size(), 0); // empty to empty: nothing at all
        model.set(items({ 1, 2 }));
        QCOMPARE(resets.size(), 1);
        model.set(items({ 2, 3 }));
        QCOMPARE(resets.size(), 1);
        model.set({});
        QCOMPARE(resets.size(), 2);
        model.set(items({ 1, 2 }));
        QCOMPARE(resets.size(), 3);
    }

    void repeatedKeysFollowTheirNthRow()
    {
        // A list that repeats a key (the NAS sent one task twice) is no
        // reason to lose the selection: the n-th row of a key follows the
        // n-th row of that key.
        ItemModel model;
        QAbstractItemModelTester tester(
            &model, QAbstractItemModelTester::FailureReportingMode::Fatal);
        QItemSelectionModel selection(&model);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        model.set(items({ 1, 2, 3 }));
        selection.select(
            model.index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        selection.setCurrentIndex(model.index(2, 0), QItemSelectionModel::NoUpdate);
        model.set(items({ 1, 1, 2, 3 }));
        QCOMPARE(keysOf(model), (QList<int> { 1, 1, 2, 3 }));
        QCOMPARE(selection.selectedRows().size(), 1);
        QCOMPARE(selection.selectedRows().first().row(), 3);
        QCOMPARE(selection.currentIndex().row(), 3);
        // Reordered with the repeat: still followed.
        QList<Item> next = items({ 3, 1, 2, 1 });
        next[3].text = QStringLiteral("second one");
        model.set(next);
        QCOMPARE(model.rows(), next);
        QCOMPARE(selection.selectedRows().first().row(), 0);
        // And back to one of each.
        model.set(items({ 2, 3, 1 }));
        QCOMPARE(keysOf(model), (QList<int> { 2, 3, 1 }));
        QCOMPARE(selection.selectedRows().first().row(), 1);
        QCOMPARE(resets.size(), 1); // only the first list
    }

    // Many runs at once (every other row leaves, each gap takes a new row):
    // still the new list, one signal per run. (Its time is measured by
    // bench_tasklist.)
    void manyRunsStayOnePass()
    {
        ItemModel model;
        QList<Item> big;
        for (int i = 0; i < 100000; ++i)
            big.append({ i, QString() });
        model.set(big);
        QList<Item> next;
        for (int i = 0; i < 100000; i += 2)
            next.append({ i, QString() }), next.append({ 200000 + i, QString() });
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        model.set(next);
        QCOMPARE(removed.size(), 50000);
        QCOMPARE(inserted.size(), 50000);
        QCOMPARE(model.rows(), next);
    }
};

QTEST_MAIN(TestKeyedList)
#include "tst_keyedlist.moc"
