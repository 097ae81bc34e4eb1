// The task list: cell rules, row updates without resets, selection kept by
// type and id, totals and counts, commands in pairs, and polls that never
// pile up.
#include "TaskListScreen.h"

#include "api/CgiCtrl.h"
#include "api/CgiOperations.h"
#include "api/Localization.h"
#include "api/NotificationCenter.h"
#include "api/Notifications.h"
#include "app/KSTProgressHUDHelper.h"
#include "servers/FavoriteObject.h"
#include "tasks/DownloadCategoryViewController.h"
#include "tasks/DownloadViewController.h"
#include "tasks/TaskListModel.h"
#include "tasks/TorrentDeleteViewController.h"
#include "tasks/TorrentTrackerAddViewController.h"
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

void selectRows(DownloadViewController &view, const QList<int> &rows)
{
    QItemSelection s;
    for (int r : rows)
        s.select(view.model()->index(r, 0), view.model()->index(r, TaskListModel::ColumnCount - 1));
    view.tableView()->selectionModel()->select(s, QItemSelectionModel::ClearAndSelect);
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
        QCOMPARE(bad.rows[0].type, QString());
    }

    void bodyDecoderMatchesTheDocumentDecoder_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("plain") << QByteArray(
            "{\"success\":1,\"files\":[{\"id\":7,\"type\":\"BT\","
            "\"name\":\"\u00e9t\u00e9 \\\"x\\\"\",\"queuePosition_active\":0,"
            "\"complete_time\":1700000000}],\"all\":1,"
            "\"total_download_speed\":\"1 MB/s\"}");
        QTest::newRow("odd types") << QByteArray(
            "{\"files\":[{\"id\":\"12\",\"type\":\"HTTP/FTP\",\"size\":123.5,\"percent\":true,"
            "\"eta\":null,\"queuePosition_active\":\"4\",\"complete_time\":\"0\",\"status\":[1],"
            "\"owner\":{\"a\":1},\"position\":18446744073709551615},5,null],"
            "\"total_upload_speed\":null,\"inactive\":\"3\"}");
        QTest::newRow("no files") << QByteArray("{\"success\":0,\"error_code\":5000}");
        QTest::newRow("files not a list") << QByteArray("{\"files\":{\"id\":1}}");
    }
    void bodyDecoderMatchesTheDocumentDecoder()
    {
        QFETCH(QByteArray, body);
        const QJsonObject doc = QJsonDocument::fromJson(body).object();
        QVERIFY(!doc.isEmpty());
        const TaskListSnapshot expected = TaskListModel::decode(doc);
        TaskListSnapshot got;
        const auto envelope = TaskListModel::decodeBody(body, &got);
        QVERIFY(envelope);
        QCOMPARE(got.rows.size(), expected.rows.size());
        for (int i = 0; i < got.rows.size(); ++i) {
            QCOMPARE(got.rows[i].key(), expected.rows[i].key());
            QCOMPARE(got.rows[i].id, expected.rows[i].id);
            for (int c = 0; c < TaskListModel::ColumnCount; ++c)
                QCOMPARE(got.rows[i].cells[size_t(c)], expected.rows[i].cells[size_t(c)]);
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
                const QString &was = got.rows[i].cells[size_t(c)];
                const QString &now = again.rows[i].cells[size_t(c)];
                QCOMPARE(now, was);
            }
            // "type" arrives as text in every row that has one.
            const QString &type = got.rows[i].cells[TaskListModel::ColType];
            if (!type.isEmpty())
                QVERIFY(
                    again.rows[i].cells[TaskListModel::ColType].constData() == type.constData());
        }
        // A text that changed is never taken from the previous rows.
        if (body.contains("\"BT\"")) {
            QByteArray changed = body;
            changed.replace("\"BT\"", "\"BX\"");
            TaskListSnapshot third;
            QVERIFY(TaskListModel::decodeBody(changed, &third, got.rows));
            QCOMPARE(third.rows[0].type, QStringLiteral("BX"));
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
        QCOMPARE(model.row(1).idValue, 4);
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
            order << QString::number(r.idValue);
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
        DownloadViewController view;
        view.applyList(TaskListModel::decode(
            reply({ task(7, "BT"), task(7, "HTTP/FTP"), task(9, "BT"), task(8, "HTTP/FTP") })));
        QTableView *table = view.tableView();
        table->selectionModel()->select(
            QItemSelection(view.model()->index(0, 0), view.model()->index(1, 11)),
            QItemSelectionModel::ClearAndSelect);
        QCOMPARE(view.selectedRows(), (QList<int> { 0, 1 }));
        // New order; task 9 gone; another "BT" 8 appears.
        view.applyList(TaskListModel::decode(
            reply({ task(8, "BT"), task(7, "HTTP/FTP"), task(8, "HTTP/FTP"), task(7, "BT") })));
        QCOMPARE(view.selectedRows(), (QList<int> { 1, 3 }));
        // Only the "BT" 7 selected: the "HTTP/FTP" 7 does not come along.
        table->selectionModel()->select(
            QItemSelection(view.model()->index(3, 0), view.model()->index(3, 11)),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        view.applyList(TaskListModel::decode(reply({ task(7, "HTTP/FTP"), task(7, "BT") })));
        QCOMPARE(view.selectedRows(), QList<int> { 1 });
        QCOMPARE(view.textNowSpeed()->text(),
            stringWithKSTFormat(localized("TXT_NOW_SPEED"), { "1.00 MB/s", "2.00 KB/s" }));
        view.applyList(TaskListModel::decode(reply({}, false)));
        QCOMPARE(view.model()->rowCount(), 0);
        QCOMPARE(view.textNowSpeed()->text(),
            stringWithKSTFormat(localized("TXT_NOW_SPEED"), { "0", "0" }));
    }

    void countsReachTheCategoryListOfTheSameHostOnly()
    {
        DownloadViewController list, otherList;
        DownloadCategoryViewController categories;
        NotificationCenter::defaultCenter()->addObserver(
            kNOTIFY_DOWNLOAD_ENTRY_UPDATED, &categories,
            [&](const Notification &n) { categories.on_Download_Entry_Changed(n); }, &list);
        otherList.applyList(TaskListModel::decode(reply({ task(1, "BT") })));
        QCOMPARE(categories.entries()->entry(0).title, localized("ITEM_CATE_ALL") + " (0)");
        list.applyList(TaskListModel::decode(reply({ task(1, "BT"), task(2, "BT") })));
        QCOMPARE(categories.entries()->entry(0).title, localized("ITEM_CATE_ALL") + " (2)");
        QCOMPARE(categories.entries()->entry(4).title, localized("ITEM_CATE_INACTIVE") + " (3)");
        QObject observer;
        QVariant category;
        NotificationCenter::defaultCenter()->addObserver(
            kNOTIFY_DOWNLOAD_CATEGORY_CHANGED, &observer,
            [&](const Notification &n) { category = n.userInfo.value("category"); }, &categories);
        categories.selectCategory(2);
        QCOMPARE(category.toUInt(), 2u);
    }

    void refreshAgainstTheNas()
    {
        TaskListScreen screen(false);
        SimFixture &sim = screen.sim;
        DownloadViewController &view = screen.view;
        QSignalSpy applied(&view, &DownloadViewController::listApplied);
        view.refresh_Items();
        QVERIFY(view.isListRequestOutstanding());
        view.refresh_Items(); // skipped: the previous one is still out
        QTRY_COMPARE(applied.size(), 1);
        QCOMPARE(sim.server().requestsFor("torrent-list").size(), 1);
        const QJsonObject form
            = sim.server().requestsFor("torrent-list").last().value("form").toObject();
        QCOMPARE(form,
            (QJsonObject { { "type", "0" }, { "sortby", "position" }, { "orderby", "asc" },
                { "filter", "" } }));
        QCOMPARE(view.model()->rowCount(), sim.state().tasks().count());
        QVERIFY(!view.tableView()->isColumnHidden(TaskListModel::ColOwner)); // admin

        // A failed request changes nothing.
        const int rows = view.model()->rowCount();
        view.tableView()->selectRow(0);
        sim.server().applyControl("non_json", "1");
        view.refresh_Items();
        QTRY_VERIFY(!view.isListRequestOutstanding());
        QCOMPARE(view.model()->rowCount(), rows);
        QCOMPARE(view.selectedRows(), QList<int> { 0 });

        // Category and filter travel to the NAS.
        view.on_Category_Changed(
            Notification { kNOTIFY_DOWNLOAD_CATEGORY_CHANGED, nullptr, { { "category", 2u } } });
        QTRY_VERIFY(!view.isListRequestOutstanding());
        QCOMPARE(sim.server()
                     .requestsFor("torrent-list")
                     .last()
                     .value("form")
                     .toObject()
                     .value("type")
                     .toString(),
            QStringLiteral("2"));
    }

    void commandsSendOneRequestPerKind()
    {
        TaskListScreen screen(false);
        SimFixture &sim = screen.sim;
        DownloadViewController &view = screen.view;
        scriptNas(sim, { task(1, "BT"), task(2, "HTTP/FTP"), task(3, "HTTP/FTP"), task(4, "BT") },
            { "torrent-start", "download-start", "torrent-queue", "torrent-stop",
                "download-stop" });
        QSignalSpy applied(&view, &DownloadViewController::listApplied);
        view.refresh_Items();
        QTRY_COMPARE(applied.size(), 1);
        selectRows(view, { 0, 1, 2 });
        QVERIFY(view.btnUp()->isEnabled());
        view.on_Start_Torrent();
        view.on_Pause_Torrent(); // the overlay shows: dropped
        KSTProgressHUDHelper::waitForAllQueues();
        QTRY_COMPARE(applied.size(), 2);
        QCOMPARE(sim.server()
                     .requestsFor("torrent-start")
                     .last()
                     .value("form")
                     .toObject()
                     .value("id")
                     .toString(),
            QStringLiteral("1"));
        QCOMPARE(sim.server()
                     .requestsFor("download-start")
                     .last()
                     .value("form")
                     .toObject()
                     .value("id")
                     .toString(),
            QStringLiteral("2,3"));
        QVERIFY(sim.server().requestsFor("torrent-stop").isEmpty());

        view.on_Torrent_Up();
        KSTProgressHUDHelper::waitForAllQueues();
        QTRY_COMPARE(applied.size(), 3);
        const QJsonObject queue
            = sim.server().requestsFor("torrent-queue").last().value("form").toObject();
        QCOMPARE(queue, (QJsonObject { { "id", "1,2,3" }, { "direction", "up" } }));

        // Plain tasks only: nothing for torrents is sent, and no queue moves.
        selectRows(view, { 1, 2 });
        QVERIFY(!view.btnUp()->isEnabled());
        QVERIFY(view.btnStart()->isEnabled());
        view.on_Pause_Torrent();
        KSTProgressHUDHelper::waitForAllQueues();
        QTRY_COMPARE(applied.size(), 4);
        QVERIFY(sim.server().requestsFor("torrent-stop").isEmpty());
        QCOMPARE(sim.server().requestsFor("download-stop").size(), 1);
    }

    void deleteSheetGivesTheMode()
    {
        for (int mode : { 0, 1 }) {
            TorrentDeleteViewController sheet;
            QVariant result;
            bool ok = false;
            sheet.completion = [&](bool o, const QVariant &r) {
                ok = o;
                result = r;
            };
            if (mode == 1)
                sheet.taskAndFiles()->setChecked(true);
            sheet.on_Ok();
            QVERIFY(ok);
            QCOMPARE(result.toInt(), mode);
        }
        TorrentDeleteViewController sheet;
        bool ok = true;
        QVariant result = 5;
        sheet.completion = [&](bool o, const QVariant &r) {
            ok = o;
            result = r;
        };
        sheet.on_Cancel();
        QVERIFY(!ok);
        QVERIFY(!result.isValid());
    }

    void deleteSendsTheModeToBothActsAndMenuFollowsSelection()
    {
        TaskListScreen screen(false);
        SimFixture &sim = screen.sim;
        DownloadViewController &view = screen.view;
        scriptNas(sim, { task(1, "BT"), task(2, "HTTP/FTP"), task(3, "HTTP/FTP") },
            { "torrent-remove", "download-delete" });
        QSignalSpy applied(&view, &DownloadViewController::listApplied);
        view.refresh_Items();
        QTRY_COMPARE(applied.size(), 1);
        const QList<QAction *> items = view.menuDownload()->actions();
        QCOMPARE(items.size(), 8);
        QVERIFY(!items[1]->isEnabled());
        selectRows(view, { 1, 2 });
        // Plain tasks only: delete, start, pause yes; queue moves no.
        QVERIFY(items[1]->isEnabled() && items[3]->isEnabled() && items[4]->isEnabled());
        QVERIFY(!items[6]->isEnabled() && !items[7]->isEnabled());
        QVERIFY(view.btnDelete()->isEnabled());
        selectRows(view, { 0, 1, 2 });
        QVERIFY(items[6]->isEnabled());
        view.deleteSelected(1);
        KSTProgressHUDHelper::waitForAllQueues();
        QTRY_COMPARE(applied.size(), 2);
        QCOMPARE(sim.server().requestsFor("torrent-remove").last().value("form").toObject(),
            (QJsonObject { { "id", "1" }, { "mode", "1" } }));
        QCOMPARE(sim.server().requestsFor("download-delete").last().value("form").toObject(),
            (QJsonObject { { "id", "2,3" }, { "mode", "1" } }));
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
        sheet.completion = [&](bool, const QVariant &r) { sent = r.toString(); };
        sheet.on_Ok();
        QCOMPARE(sent, both); // the whole text, every line
        QVERIFY(TorrentTrackerAddViewController::hasTrackerLine("HTTPS://x"));
        QVERIFY(!TorrentTrackerAddViewController::hasTrackerLine(" udp://leading-space"));
    }

    void failureViewAndReconnect()
    {
        DownloadViewController view;
        view.resize(600, 400);
        view.show();
        view.category = 3;
        auto record = std::make_shared<FavoriteObject>(QJsonObject { { "host_id", "HOST-1" } });
        view.setFavObj(record);
        view.applyList(TaskListModel::decode(reply({ task(1, "BT") })));
        view.tableView()->selectRow(0);
        view.on_Show_Login_Fail_View();
        QCOMPARE(view.category, 0u);
        QVERIFY(view.emptyView()->isVisible());
        QVERIFY(!view.btnStart()->isEnabled());
        QObject observer;
        QString heard;
        NotificationCenter::defaultCenter()->addObserver(kNOTIFY_RE_LOGIN_FAVORITE, &observer,
            [&](const Notification &n) { heard = n.userInfo.value("hostID").toString(); });
        QTest::mouseClick(view.emptyView()->button(), Qt::LeftButton);
        QCOMPARE(heard, QStringLiteral("HOST-1"));
        view.applyList(TaskListModel::decode(reply({ task(1, "BT") })));
        QVERIFY(!view.emptyView()->isVisible());
    }
};

QTEST_MAIN(TestTaskList)
#include "tst_tasklist.moc"
