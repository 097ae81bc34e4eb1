// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// The task list: cell rules, row updates without resets, selection kept by
// type and id, totals and counts, commands in pairs, and polls that never
// pile up.
#include "TaskListScreen.h"

#include "api/CgiCtrl.h"
#include "api/CgiOperations.h"
#include "api/Localization.h"
#include "api/NotificationCenter.h"
#include "api/Notifications.h"
#include "servers/FavoriteObject.h"
#include "tasks/TaskListController.h"
#include "tasks/TaskListModel.h"
#include "tasks/ui/DownloadCategoryViewController.h"
#include "tasks/ui/DownloadViewController.h"
#include "tasks/ui/TorrentDeleteViewController.h"
#include "tasks/ui/TorrentTrackerAddViewController.h"
#include "ui/KSTProgressHUDHelper.h"
#include <QAction>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>

#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

using namespace flk;
using nassim::SimReply;

namespace {
QJsonObject task(qint64 id, const QString &type, const QString &name = "t")
{
    return { { "id", id }, { "type", type }, { "name", name }, { "queuePosition_active", 0 },
        { "complete_time", 0 } };
}
QJsonObject reply(const QJsonArray &files, bool withTotals = true)
{
    QJsonObject r { { "success", 1 }, { "files", files }, { "all", files.size() },
        { "downloading", 1 }, { "completed", 0 }, { "active", 2 }, { "inactive", 3 } };
    if (withTotals) {
        r.insert("total_download_speed", "1.00 MB/s");
        r.insert("total_upload_speed", "2.00 KB/s");
    }
    return r;
}
// Has the simulator answer "torrent-list" with tasks and the given acts with success.
void scriptNas(SimFixture &sim, const QJsonArray &tasks, std::initializer_list<const char *> acts)
{
    sim.server().on(kCgiPathBtdlm, "torrent-list", true, [tasks](nassim::Call &) {
        SimReply r;
        r.json = reply(tasks);
        return r;
    });
    for (const char *act : acts)
        sim.server().on(kCgiPathBtdlm, act, true, [](nassim::Call &) { return SimReply::ok(); });
}

} // namespace

class TestTaskList : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { installTranslations(); }

    void cellRules()
    {
        QJsonObject t = task(1, "BT");
        QCOMPARE(TaskListModel::cellText(TaskListModel::ColQueuePosition, t), QString());
        QCOMPARE(TaskListModel::cellText(TaskListModel::ColEndTime, t), QString());
        t["queuePosition_active"] = 3;
        t["complete_time"] = 1700000000;
        QCOMPARE(TaskListModel::cellText(TaskListModel::ColQueuePosition, t), QStringLiteral("3"));
        QVERIFY(!TaskListModel::cellText(TaskListModel::ColEndTime, t).isEmpty());
        QCOMPARE(TaskListModel::cellText(TaskListModel::ColStatus, t), QString()); // missing key
        QCOMPARE(TaskListModel::cellText(TaskListModel::ColType, t), QStringLiteral("BT"));
        QCOMPARE(QString(TaskListModel::columnIdentifier(TaskListModel::ColEndTime)),
            QStringLiteral("ColEndTime"));
    }

    void decodeTotalsAndCounts()
    {
        const TaskListSnapshot s = TaskListModel::decode(reply({ task(1, "BT") }, false));
        QCOMPARE(s.totalDownload, QStringLiteral("0"));
        QCOMPARE(s.totalUpload, QStringLiteral("0"));
        QCOMPARE(s.counts.value("inactive").toInt(), 3);
        // Rubbish in the reply reads as empty, never a crash.
        const TaskListSnapshot bad = TaskListModel::decode(
            QJsonObject { { "files", QJsonArray { 1, "x", QJsonValue() } } });
        QCOMPARE(bad.rows.size(), 3);
        QCOMPARE(bad.rows[0]->type, QString());
    }

    void bodyDecoderMatchesTheDocumentDecoder_data()
    {
        QTest::addColumn<QByteArray>("body");
        // Whether the list is read by the fast path, which shares texts.
        QTest::addColumn<bool>("shares");
        QTest::newRow("plain") << QByteArray(
            "{\"success\":1,\"files\":[{\"id\":7,\"type\":\"BT\","
            "\"name\":\"\u00e9t\u00e9 \\\"x\\\"\",\"queuePosition_active\":0,"
            "\"complete_time\":1700000000}],\"all\":1,"
            "\"total_download_speed\":\"1 MB/s\"}")
                               << true;
        QTest::newRow("odd types") << QByteArray(
            "{\"files\":[{\"id\":\"12\",\"type\":\"HTTP/FTP\",\"size\":123.5,\"percent\":true,"
            "\"eta\":null,\"queuePosition_active\":\"4\",\"complete_time\":\"0\",\"status\":[1],"
            "\"owner\":{\"a\":1},\"position\":18446744073709551615},5,null],"
            "\"total_upload_speed\":null,\"inactive\":\"3\"}")
                                   << true;
        QTest::newRow("no files") << QByteArray("{\"success\":0,\"error_code\":5000}") << true;
        QTest::newRow("files not a list") << QByteArray("{\"files\":{\"id\":1}}") << true;
        // Qt drops a raw byte-order mark at the start of any text (so
        // "\xEF\xBB\xBFid" names the id) but keeps an escaped one.
        QTest::newRow("byte-order marks in names") << QByteArray(
            "{\"files\":[{\"id\":1,\"type\":\"BT\",\"\xEF\xBB\xBFid\":\"-NaN\","
            "\"\xEF\xBB\xBFqueuePosition_active\":7,\"\\ufeffname\":\"n\"}],"
            "\"\xEF\xBB\xBF\x61ll\":2}") << false;
        QTest::newRow("byte-order marks in texts") << QByteArray(
            "{\"files\":[{\"id\":\"\xEF\xBB\xBF\x35\",\"type\":\"\\uFEFFBT\","
            "\"name\":\"\xEF\xBB\xBF\x61\",\"owner\":[\"\\ufeffx\"]}],"
            "\"total_upload_speed\":\"\\ufeff1\"}") << false;
        QTest::newRow("a byte-order mark names the list") << QByteArray(
            "{\"files\":[{\"id\":1}],\"\xEF\xBB\xBF\x66iles\":[{\"id\":2},{\"id\":3}]}")
                                                          << false;
        QTest::newRow("signed zero")
            << QByteArray("{\"files\":[{\"id\":-0,\"size\":-0,\"queuePosition_active\":-0.0}]}")
            << true;
    }
    void bodyDecoderMatchesTheDocumentDecoder()
    {
        QFETCH(QByteArray, body);
        QFETCH(bool, shares);
        const QJsonObject doc = QJsonDocument::fromJson(body).object();
        QVERIFY(!doc.isEmpty());
        const TaskListSnapshot expected = TaskListModel::decode(doc);
        TaskListSnapshot got;
        const auto envelope = TaskListModel::decodeBody(body, &got);
        QVERIFY(envelope);
        QCOMPARE(got.rows.size(), expected.rows.size());
        for (int i = 0; i < got.rows.size(); ++i) {
            QCOMPARE(got.rows[i].key(), expected.rows[i].key());
            QCOMPARE(got.rows[i]->id, expected.rows[i]->id);
            for (int c = 0; c < TaskListModel::ColumnCount; ++c)
                QCOMPARE(got.rows[i]->cells[size_t(c)], expected.rows[i]->cells[size_t(c)]);
        }
        QCOMPARE(got.totalDownload, expected.totalDownload);
        QCOMPARE(got.totalUpload, expected.totalUpload);
        QCOMPARE(got.counts, expected.counts);
        // Decoded again against the rows it gave: the same values, sharing
        // the unchanged (ASCII) texts instead of copying them.
        TaskListSnapshot again;
        QVERIFY(TaskListModel::decodeBody(body, &again, got.rows));
        for (int i = 0; i < again.rows.size(); ++i) {
            QCOMPARE(again.rows[i].key(), got.rows[i].key());
            for (int c = 0; c < TaskListModel::ColumnCount; ++c) {
                const QString &was = got.rows[i]->cells[size_t(c)];
                const QString &now = again.rows[i]->cells[size_t(c)];
                QCOMPARE(now, was);
            }
            // "type" arrives as text in every row that has one.
            const QString &type = got.rows[i]->cells[TaskListModel::ColType];
            if (shares && !type.isEmpty())
                QVERIFY(
                    again.rows[i]->cells[TaskListModel::ColType].constData() == type.constData());
        }
        // A text that changed is never taken from the previous rows.
        if (body.contains("\"BT\"")) {
            QByteArray changed = body;
            changed.replace("\"BT\"", "\"BX\"");
            TaskListSnapshot third;
            QVERIFY(TaskListModel::decodeBody(changed, &third, got.rows));
            QCOMPARE(third.rows[0]->type, QStringLiteral("BX"));
        }
        // The members that judge the reply are handed back as they came.
        for (const QString &key : doc.keys())
            if (key != "files")
                QCOMPARE(envelope->value(key), doc.value(key));
        // Not JSON, or not an object: no reply.
        TaskListSnapshot none;
        QVERIFY(!TaskListModel::decodeBody("<html>", &none));
        QVERIFY(!TaskListModel::decodeBody("[1,2]", &none));
        QVERIFY(!TaskListModel::decodeBody(body.left(body.size() / 2), &none));
    }

    // A task whose members come exactly as before keeps its row (nothing of
    // it is read or made); any difference, even of a member's kind, makes a
    // new row.
    void unchangedTasksKeepTheirRows()
    {
        const QByteArray body = R"({"files":[{"id":1,"type":"BT","name":"a","size":"1 KB"},
            {"id":2,"type":"BT","name":"b","peers":[1]},null,{},
            {"id":3,"type":"HTTP/FTP","name":"c\u0000d","up":1.5,"ok":true,"x":null}]})";
        TaskListModel model;
        TaskListSnapshot first;
        QVERIFY(TaskListModel::decodeBody(body, &first));
        model.apply(first);
        auto again = [&model](const QByteArray &b) {
            TaskListSnapshot s;
            TaskListModel::decodeBody(b, &s, model.rows(), model.digests());
            return s;
        };
        const TaskListSnapshot same = again(body);
        QCOMPARE(same.rows.size(), 5);
        QVERIFY(same.rows[0].isKept());
        QVERIFY(!same.rows[1].isKept()); // an array member: read afresh
        QVERIFY(same.rows[1].sameAs(model.row(1)));
        QVERIFY(!same.rows[2].isKept()); // not a task: read afresh
        QVERIFY(same.rows[3].isKept());
        QVERIFY(same.rows[4].isKept());
        QVERIFY(same.resolvedRows()[4].isSameRow(model.row(4)));

        QByteArray changed = body;
        changed.replace(R"("name":"a")", R"("name":"A")");
        changed.replace(R"("id":3,)", R"("id":"3",)"); // the same digits as a text
        changed.replace("null,{}", "{},null"); // kinds swap places
        const TaskListSnapshot other = again(changed);
        QVERIFY(!other.rows[0].isKept());
        QCOMPARE(other.rows[0]->cells[TaskListModel::ColName], QStringLiteral("A"));
        QVERIFY(!other.rows[2].isKept());
        QVERIFY(!other.rows[3].isKept());
        QVERIFY(!other.rows[4].isKept());
        QCOMPARE(other.rows[4]->id, QJsonValue("3"));

        // A task that comes first moves every row: none is taken for another.
        QByteArray shifted = body;
        shifted.replace(R"({"files":[)", R"({"files":[{"id":9,"type":"BT","name":"new"},)");
        const TaskListSnapshot moved = again(shifted);
        QCOMPARE(moved.rows.size(), 6);
        for (int i = 0; i < 5; ++i)
            QVERIFY(!moved.rows[i].isKept());
        QCOMPARE(moved.rows[1]->cells[TaskListModel::ColName], QStringLiteral("a"));

        // Applied: the rows kept are the very rows shown; the one changed
        // is announced.
        const TaskRow shownFirst = model.row(0), shownLast = model.row(4);
        QSignalSpy changedRows(&model, &QAbstractItemModel::dataChanged);
        model.apply(other);
        QVERIFY(!model.row(0).isSameRow(shownFirst));
        QCOMPARE(model.row(0)->cells[TaskListModel::ColName], QStringLiteral("A"));
        QVERIFY(!changedRows.isEmpty());
        QCOMPARE(model.digests().size(), 5);
        // Kept rows decoded against a list that is no longer shown are taken
        // from that list.
        TaskListModel elsewhere;
        elsewhere.apply(TaskListModel::decode(QJsonDocument::fromJson(shifted).object()));
        elsewhere.apply(same);
        QCOMPARE(elsewhere.rowCount(), 5);
        QVERIFY(elsewhere.row(4).sameAs(shownLast));
        QCOMPARE(elsewhere.row(3)->cells[TaskListModel::ColName], QString());
        // A list read another way has no digests to compare with.
        const TaskListSnapshot viaQt
            = TaskListModel::decode(QJsonDocument::fromJson(body).object());
        QVERIFY(viaQt.digests.isEmpty());
        TaskListSnapshot fresh;
        QVERIFY(TaskListModel::decodeBody(body, &fresh, viaQt.rows, viaQt.digests));
        QVERIFY(!fresh.rows[0].isKept());
        QVERIFY(fresh.rows[0].sameAs(viaQt.rows[0]));
    }

    // A number JSON cannot carry costs that value, not the whole list; an id
    // that is no whole number is no id (so "3,4" never addresses two tasks).
    void oddNumbersAndIdsInAList_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QJsonValue>("id");
        QTest::addColumn<QString>("size");
        QTest::newRow("NaN") << QByteArray("{\"id\":1,\"size\":NaN}") << QJsonValue(1) << "";
        QTest::newRow("Infinity") << QByteArray("{\"id\":1,\"size\":-Infinity}") << QJsonValue(1)
                                  << "";
        QTest::newRow("beyond a double")
            << QByteArray("{\"id\":1,\"size\":1e400}") << QJsonValue(1) << "";
        QTest::newRow("NaN as an id")
            << QByteArray("{\"id\":NaN,\"name\":\"NaN 1e400\"}") << QJsonValue() << "";
        QTest::newRow("two ids in a text") << QByteArray("{\"id\":\"3,4\"}") << QJsonValue() << "";
        QTest::newRow("a fraction") << QByteArray("{\"id\":3.5}") << QJsonValue() << "";
        QTest::newRow("digits") << QByteArray("{\"id\":\"12\"}") << QJsonValue("12") << "";
    }
    void oddNumbersAndIdsInAList()
    {
        QFETCH(QByteArray, file);
        QFETCH(QJsonValue, id);
        const QByteArray body = "{\"files\":[" + file + ",{\"id\":2,\"type\":\"BT\"}],\"all\":2}";
        TaskListSnapshot got;
        QVERIFY(TaskListModel::decodeBody(body, &got));
        QCOMPARE(got.rows.size(), 2);
        QCOMPARE(got.rows[0]->id, id);
        QCOMPARE(got.rows[1]->id, QJsonValue(2));
        QCOMPARE(got.counts.value("all").toInt(), 2);
        if (file.contains("name"))
            QCOMPARE(got.rows[0]->cells[TaskListModel::ColName], QStringLiteral("NaN 1e400"));
        // Commands leave out a task without an id.
        TaskListModel model;
        model.apply(got);
        QCOMPARE(model.idStringFromType({ 0, 1 }, QString()),
            id.isNull() ? QStringLiteral("2") : id.toVariant().toString() + ",2");
    }

    void sameTasksUpdateInPlace()
    {
        TaskListModel model;
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
        model.apply(TaskListModel::decode(reply({ task(1, "BT", "a"), task(2, "BT", "b") })));
        QCOMPARE(resets.size(), 1);
        model.apply(TaskListModel::decode(reply({ task(1, "BT", "a"), task(2, "BT", "b2") })));
        QCOMPARE(resets.size(), 1); // no reset for the same tasks
        QCOMPARE(changes.size(), 1);
        QCOMPARE(changes[0][0].value<QModelIndex>().row(), 1);
    }

    void comingAndGoingTasksAreInsertedAndRemoved()
    {
        TaskListModel model;
        model.apply(TaskListModel::decode(
            reply({ task(1, "BT", "a"), task(2, "BT", "b"), task(3, "HTTP/FTP", "c") })));
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy layouts(&model, &QAbstractItemModel::layoutChanged);
        QPersistentModelIndex c(model.index(2, 0)); // a view's current row, say
        // Task 2 left, task 4 came between 1 and 3.
        model.apply(TaskListModel::decode(
            reply({ task(1, "BT", "a"), task(4, "BT", "d"), task(3, "HTTP/FTP", "c") })));
        QCOMPARE(resets.size(), 0);
        QCOMPARE(removed.size(), 1);
        QCOMPARE(removed[0][1].toInt(), 1);
        QCOMPARE(inserted.size(), 1);
        QCOMPARE(inserted[0][1].toInt(), 1);
        QCOMPARE(model.row(1)->idValue, 4);
        QCOMPARE(c.row(), 2);
        // A new order (a sort by progress, say) is a layout change; the
        // persistent index follows its task.
        model.apply(TaskListModel::decode(reply({ task(3, "HTTP/FTP", "c"), task(5, "BT", "e"),
            task(1, "BT", "a"), task(4, "BT", "d") })));
        QCOMPARE(resets.size(), 0);
        QCOMPARE(layouts.size(), 1);
        QCOMPARE(c.row(), 0);
        QStringList order;
        for (const TaskRow &r : model.rows())
            order << QString::number(r->idValue);
        QCOMPARE(order, (QStringList { "3", "5", "1", "4" }));
        QCOMPARE(model.data(model.index(1, TaskListModel::ColName), Qt::DisplayRole).toString(),
            QStringLiteral("e"));
    }

    void idsByType()
    {
        TaskListModel model;
        model.apply(
            TaskListModel::decode(reply({ task(12, "BT"), task(5, "HTTP/FTP"), task(40, "BT") })));
        QCOMPARE(model.idStringFromType({ 2, 0 }, "BT"), QStringLiteral("12,40"));
        QCOMPARE(model.idStringFromType({ 0, 1, 2 }, "HTTP/FTP"), QStringLiteral("5"));
        QCOMPARE(model.idStringFromType({ 1 }, "BT"), QString());
        QCOMPARE(model.idStringFromType({ 0, 1, 2 }, QString()), QStringLiteral("12,5,40"));
        QCOMPARE(model.idsFromType({ 0 }, "BT").first().toInteger(), 12);
    }

    void selectionKeptByTypeAndId()
    {
        TaskListController list;
        list.applyList(TaskListModel::decode(
            reply({ task(7, "BT"), task(7, "HTTP/FTP"), task(9, "BT"), task(8, "HTTP/FTP") })));
        selectRows(list, { 0, 1 });
        QCOMPARE(list.selectedRows(), (QList<int> { 0, 1 }));
        // New order; task 9 gone; another "BT" 8 appears.
        list.applyList(TaskListModel::decode(
            reply({ task(8, "BT"), task(7, "HTTP/FTP"), task(8, "HTTP/FTP"), task(7, "BT") })));
        QCOMPARE(list.selectedRows(), (QList<int> { 1, 3 }));
        // Only the "BT" 7 selected: the "HTTP/FTP" 7 does not come along.
        selectRows(list, { 3 });
        list.applyList(TaskListModel::decode(reply({ task(7, "HTTP/FTP"), task(7, "BT") })));
        QCOMPARE(list.selectedRows(), QList<int> { 1 });
        QCOMPARE(list.currentTaskRow(), 1);
        QCOMPARE(list.nowSpeedText(),
            stringWithKSTFormat(localized("TXT_NOW_SPEED"), { "1.00 MB/s", "2.00 KB/s" }));
        list.applyList(TaskListModel::decode(reply({}, false)));
        QCOMPARE(list.model()->rowCount(), 0);
        QCOMPARE(list.currentTaskRow(), -1);
        QCOMPARE(
            list.nowSpeedText(), stringWithKSTFormat(localized("TXT_NOW_SPEED"), { "0", "0" }));
    }

    void countsReachTheCategoryListOfTheSameHostOnly()
    {
        TaskListController list, otherList;
        DownloadCategoryViewController categories;
        QObject::connect(&list, &TaskListController::countsChanged, &categories,
            &DownloadCategoryViewController::setCounts);
        otherList.applyList(TaskListModel::decode(reply({ task(1, "BT") })));
        QCOMPARE(categories.entries()->entry(0).title, localized("ITEM_CATE_ALL") + " (0)");
        list.applyList(TaskListModel::decode(reply({ task(1, "BT"), task(2, "BT") })));
        QCOMPARE(categories.entries()->entry(0).title, localized("ITEM_CATE_ALL") + " (2)");
        QCOMPARE(categories.entries()->entry(4).title, localized("ITEM_CATE_INACTIVE") + " (3)");
        QSignalSpy category(&categories, &DownloadCategoryViewController::categoryChanged);
        categories.selectCategory(2);
        QCOMPARE(category.size(), 1);
        QCOMPARE(category[0][0].toUInt(), 2u);
    }

    void refreshAgainstTheNas()
    {
        TaskListHarness h(false);
        TaskListController &list = h.list;
        QSignalSpy applied(&list, &TaskListController::listApplied);
        QSignalSpy admin(&list, &TaskListController::administratorChanged);
        list.refresh_Items();
        QVERIFY(list.listRefresh()->isOutstanding());
        QTRY_COMPARE(applied.size(), 1);
        QCOMPARE(h.sim.server().requestsFor("torrent-list").size(), 1);
        QCOMPARE(h.lastForm("torrent-list"),
            (QJsonObject { { "type", "0" }, { "sortby", "position" }, { "orderby", "asc" },
                { "filter", "" } }));
        QCOMPARE(list.model()->rowCount(), h.sim.state().tasks().count());
        QCOMPARE(admin.size(), 1); // said once, when first known
        QVERIFY(admin[0][0].toBool());
        QTRY_VERIFY(!list.isBusy());
        list.refresh_Items();
        QTRY_COMPARE(applied.size(), 2);
        QCOMPARE(admin.size(), 1);

        // A failed request changes nothing.
        QTRY_VERIFY(!list.isBusy());
        const int rows = list.model()->rowCount();
        selectRows(list, { 0 });
        h.sim.server().applyControl("non_json", "1");
        list.refresh_Items();
        QTRY_VERIFY(!list.listRefresh()->isOutstanding());
        QCOMPARE(list.model()->rowCount(), rows);
        QCOMPARE(list.selectedRows(), QList<int> { 0 });

        // Category, filter and sort travel to the NAS.
        list.setCategory(2);
        QTRY_VERIFY(!list.listRefresh()->isOutstanding());
        list.on_Edit_Filter("Sintel");
        QTRY_VERIFY(!list.listRefresh()->isOutstanding());
        list.setSort("name", "desc");
        QTRY_VERIFY(!list.listRefresh()->isOutstanding());
        QCOMPARE(h.lastForm("torrent-list"),
            (QJsonObject { { "type", "2" }, { "sortby", "name" }, { "orderby", "desc" },
                { "filter", "Sintel" } }));
    }

    // A refresh asked for while one is out goes once, right after it; a
    // reply to a question no longer asked is never shown.
    void pollsCoalesceAndStaleRepliesAreDropped()
    {
        TaskListHarness h(true);
        TaskListController &list = h.list;
        h.sim.server().applyControl("delay_ms", "200");
        h.sim.server().clearLog();
        QSignalSpy applied(&list, &TaskListController::listApplied);
        list.refresh_Items();
        list.refresh_Items();
        list.refresh_Items();
        list.refresh_Items();
        QTRY_VERIFY_WITH_TIMEOUT(!list.isBusy(), 5000);
        QCOMPARE(h.sim.server().requestsFor("torrent-list").size(), 2);
        QCOMPARE(applied.size(), 2);

        // A category click while a poll of "All" is out: the "All" reply is
        // dropped and the new category's list follows at once.
        h.sim.server().clearLog();
        applied.clear();
        list.refresh_Items();
        QVERIFY(list.listRefresh()->isOutstanding());
        list.setCategory(2); // completed
        QTRY_VERIFY_WITH_TIMEOUT(!list.isBusy(), 5000);
        h.sim.server().applyControl("delay_ms", "0");
        const auto sent = h.sim.server().requestsFor("torrent-list");
        QCOMPARE(sent.size(), 2);
        QCOMPARE(sent[0].value("form").toObject().value("type").toString(), QStringLiteral("0"));
        QCOMPARE(sent[1].value("form").toObject().value("type").toString(), QStringLiteral("2"));
        QCOMPARE(applied.size(), 1); // only the completed list was shown
        QCOMPARE(list.listRefresh()->droppedCount(), 1);
        QVERIFY(list.model()->rowCount() < h.sim.state().tasks().count());
        for (const TaskRow &r : list.model()->rows())
            QVERIFY(r->cells[TaskListModel::ColPercent].startsWith("100"));
    }

    void commandsSendOneRequestPerKind()
    {
        TaskListHarness h(false);
        TaskListController &list = h.list;
        scriptNas(h.sim, { task(1, "BT"), task(2, "HTTP/FTP"), task(3, "HTTP/FTP"), task(4, "BT") },
            { "torrent-start", "download-start", "torrent-queue", "torrent-stop",
                "download-stop" });
        h.refreshAndWait();
        QSignalSpy applied(&list, &TaskListController::listApplied);
        selectRows(list, { 0, 1, 2 });
        QVERIFY(list.action(TaskListController::Command::Up)->isEnabled());
        list.action(TaskListController::Command::Start)->trigger();
        // The overlay shows: a second command is dropped.
        QVERIFY(list.overlay()->isShowing());
        list.action(TaskListController::Command::Pause)->trigger();
        QTRY_COMPARE(applied.size(), 1);
        QCOMPARE(h.lastForm("torrent-start").value("id").toString(), QStringLiteral("1"));
        QCOMPARE(h.lastForm("download-start").value("id").toString(), QStringLiteral("2,3"));
        QVERIFY(h.sim.server().requestsFor("torrent-stop").isEmpty());
        settle(list);

        list.on_Torrent_Up();
        QTRY_COMPARE(applied.size(), 2);
        QCOMPARE(h.lastForm("torrent-queue"),
            (QJsonObject { { "id", "1,2,3" }, { "direction", "up" } }));
        settle(list);

        // Plain tasks only: nothing for torrents is sent, and no queue moves.
        selectRows(list, { 1, 2 });
        QVERIFY(!list.action(TaskListController::Command::Up)->isEnabled());
        QVERIFY(list.action(TaskListController::Command::Start)->isEnabled());
        list.on_Pause_Torrent();
        QTRY_COMPARE(applied.size(), 3);
        QVERIFY(h.sim.server().requestsFor("torrent-stop").isEmpty());
        QCOMPARE(h.sim.server().requestsFor("download-stop").size(), 1);
    }

    void enablingRulesFollowTheSelection_data()
    {
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<bool>("any");
        QTest::addColumn<bool>("torrents");
        QTest::newRow("none") << QList<int> {} << false << false;
        QTest::newRow("plain only") << QList<int> { 1, 2 } << true << false;
        QTest::newRow("one torrent") << QList<int> { 0 } << true << true;
        QTest::newRow("mixed") << QList<int> { 0, 2 } << true << true;
    }
    void enablingRulesFollowTheSelection()
    {
        QFETCH(QList<int>, rows);
        QFETCH(bool, any);
        QFETCH(bool, torrents);
        using C = TaskListController::Command;
        TaskListController list;
        list.applyList(TaskListModel::decode(
            reply({ task(1, "BT"), task(2, "HTTP/FTP"), task(3, "HTTP/FTP") })));
        selectRows(list, rows);
        for (C c : { C::Delete, C::Start, C::Pause })
            QCOMPARE(list.action(c)->isEnabled(), any);
        for (C c : { C::Edit, C::Up, C::Down })
            QCOMPARE(list.action(c)->isEnabled(), torrents);
        QVERIFY(list.action(C::Add)->isEnabled()); // a list came
        QVERIFY(list.action(C::Preference)->isEnabled());
        // The context menu holds the same actions, in the menu's order.
        const QList<QAction *> menu = list.contextMenuActions();
        QCOMPARE(menu.size(), 8);
        QCOMPARE(menu[0], list.action(C::Edit));
        QVERIFY(!menu[2] && !menu[5]);
        QCOMPARE(menu[7], list.action(C::Down));
    }

    void deleteSheetGivesTheMode()
    {
        for (int mode : { 0, 1 }) {
            TorrentDeleteViewController sheet;
            QVariant result;
            bool ok = false;
            sheet.setCompletion([&](bool o, const QVariant &r) {
                ok = o;
                result = r;
            });
            if (mode == 1)
                sheet.taskAndFiles()->setChecked(true);
            sheet.on_Ok();
            QVERIFY(ok);
            QCOMPARE(result.toInt(), mode);
        }
        TorrentDeleteViewController sheet;
        bool ok = true;
        QVariant result = 5;
        sheet.setCompletion([&](bool o, const QVariant &r) {
            ok = o;
            result = r;
        });
        sheet.on_Cancel();
        QVERIFY(!ok);
        QVERIFY(!result.isValid());
    }

    void deleteSendsTheModeToBothActs()
    {
        TaskListHarness h(false);
        TaskListController &list = h.list;
        scriptNas(h.sim, { task(1, "BT"), task(2, "HTTP/FTP"), task(3, "HTTP/FTP") },
            { "torrent-remove", "download-delete" });
        h.refreshAndWait();
        QSignalSpy sheet(&list, &TaskListController::deleteSheetRequested);
        list.on_Delete_Torrent();
        QCOMPARE(sheet.size(), 0); // nothing selected
        selectRows(list, { 0, 1, 2 });
        list.on_Delete_Torrent();
        QCOMPARE(sheet.size(), 1);
        QSignalSpy applied(&list, &TaskListController::listApplied);
        list.deleteSelected(1);
        QTRY_COMPARE(applied.size(), 1);
        QCOMPARE(h.lastForm("torrent-remove"), (QJsonObject { { "id", "1" }, { "mode", "1" } }));
        QCOMPARE(h.lastForm("download-delete"), (QJsonObject { { "id", "2,3" }, { "mode", "1" } }));
    }

    void screenDrawsTheControllersActions()
    {
        DownloadViewController view;
        TaskListController *list = view.controller();
        using C = TaskListController::Command;
        QCOMPARE(view.btnStart()->defaultAction(), list->action(C::Start));
        QCOMPARE(view.btnAdd()->defaultAction(), list->action(C::Add));
        QCOMPARE(view.menuDownload()->actions().size(), 8);
        QCOMPARE(view.menuDownload()->actions().at(0), list->action(C::Edit));
        QCOMPARE(view.tableView()->selectionModel(), list->selectionModel());
        QVERIFY(!view.btnAdd()->isEnabled()); // until a list has come
        list->applyList(TaskListModel::decode(reply({ task(1, "BT") })));
        QVERIFY(view.btnAdd()->isEnabled());
        QCOMPARE(view.textNowSpeed()->text(), list->nowSpeedText());
        // The Owner column: hidden unless administrator, and a column the
        // administrator hid stays hidden through later polls.
        QVERIFY(view.tableView()->isColumnHidden(TaskListModel::ColOwner));
    }

    void trackerSheetNeedsAKnownScheme()
    {
        TorrentTrackerAddViewController sheet;
        QVERIFY(!sheet.btnOk()->isEnabled());
        sheet.tvTracker()->setPlainText("ftp://tracker.example:21/announce");
        QVERIFY(!sheet.btnOk()->isEnabled());
        const QString both = "ftp://tracker.example:21/announce\nUDP://tracker.example:80/announce";
        sheet.tvTracker()->setPlainText(both);
        QVERIFY(sheet.btnOk()->isEnabled());
        QString sent;
        sheet.setCompletion([&](bool, const QVariant &r) { sent = r.toString(); });
        sheet.on_Ok();
        QCOMPARE(sent, both); // the whole text, every line
        QVERIFY(TorrentTrackerAddViewController::hasTrackerLine("HTTPS://x"));
        QVERIFY(!TorrentTrackerAddViewController::hasTrackerLine(" udp://leading-space"));
    }

    void failureViewAndReconnect()
    {
        DownloadViewController view;
        TaskListController *list = view.controller();
        view.resize(600, 400);
        view.show();
        list->setCategory(3);
        auto record = std::make_shared<FavoriteObject>(QJsonObject { { "host_id", "HOST-1" } });
        view.setFavObj(record);
        list->applyList(TaskListModel::decode(reply({ task(1, "BT") })));
        selectRows(*list, { 0 });
        view.on_Show_Login_Fail_View();
        QCOMPARE(list->category(), 0u);
        QVERIFY(view.emptyView()->isVisible());
        QVERIFY(!view.btnStart()->isEnabled());
        QVERIFY(!view.btnAdd()->isEnabled());
        // The view covers the list whatever size the window takes.
        view.resize(800, 500);
        QTRY_COMPARE(view.emptyView()->geometry(), view.rect());
        QObject observer;
        QString heard;
        NotificationCenter::defaultCenter()->addObserver(kNOTIFY_RE_LOGIN_FAVORITE, &observer,
            [&](const Notification &n) { heard = n.userInfo.value("hostID").toString(); });
        QTest::mouseClick(view.emptyView()->button(), Qt::LeftButton);
        QCOMPARE(heard, QStringLiteral("HOST-1"));
        list->applyList(TaskListModel::decode(reply({ task(1, "BT") })));
        QVERIFY(!view.emptyView()->isVisible());
        QVERIFY(view.btnAdd()->isEnabled());
    }
};

QTEST_MAIN(TestTaskList)
#include "tst_tasklist.moc"
