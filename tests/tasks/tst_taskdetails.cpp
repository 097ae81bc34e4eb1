// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// The detail tabs under the task list: what each tab shows, the tracker tab
// coming and going with the reply, client-side tracker order, selection kept
// by tracker id, tracker commands, Edit, and one details request at a time.
#include "TaskListScreen.h"

#include "api/CgiCtrl.h"
#include "api/CgiOperations.h"
#include "api/Localization.h"
#include "tasks/TaskContentModel.h"
#include "tasks/TaskDetails.h"
#include "tasks/TaskDetailsController.h"
#include "tasks/TaskFilesModel.h"
#include "tasks/TaskTrackerModel.h"
#include "tasks/ui/DownloadTaskViewController.h"
#include "tasks/ui/DownloadViewController.h"
#include "tasks/ui/TaskDetailsView.h"
#include "tasks/ui/TorrentTrackerAddViewController.h"
#include "ui/KSTProgressHUDHelper.h"

#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QSplitter>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

using namespace flk;
using nassim::SimReply;

namespace {
QJsonObject tracker(qint64 id, const QString &url, qint64 next = 0)
{
    return { { "tracker_id", id }, { "tracker_name", url }, { "tracker_stats", "Working" },
        { "tracker_next_update", next }, { "seeds", "4" }, { "peers", "7" } };
}

// A signed-in list screen on the simulator, its first refresh applied.
struct Screen : TaskListScreen {
    Screen() : TaskListScreen(true) { }
    int rowNamed(const QString &name) const
    {
        for (int r = 0; r < view.model()->rowCount(); ++r)
            if (view.model()
                    ->data(view.model()->index(r, TaskListModel::ColName), Qt::DisplayRole)
                    .toString()
                == name)
                return r;
        return -1;
    }
    // Selects the row and waits for its details.
    void select(int row)
    {
        QSignalSpy applied(details(), &TaskDetailsController::detailsApplied);
        view.tableView()->selectRow(row);
        // A plain download's empty state comes at once, without a request.
        QVERIFY(!applied.isEmpty() || applied.wait(5000));
        QTRY_VERIFY(!details()->isRequestOutstanding());
    }
    // Selected tracker ids.
    QSet<qint64> selectedTrackers() const
    {
        QSet<qint64> ids;
        for (const QModelIndex &i : details()->trackerSelection()->selectedRows())
            ids.insert(details()->trackerModel()->trackerId(i.row()));
        return ids;
    }
    TaskDetailsView *tabs() const { return view.tabView(); }
};
} // namespace

class TestTaskDetails : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { installTranslations(); }

    void decodeFillsMissingValuesAndSortsTrackers()
    {
        const QJsonObject reply { { "time_elapsed", "1h" }, { "seeds", 12 },
            { "files", QJsonArray { QJsonObject { { "file_id", 0 } }, 5 } },
            { "tracker",
                QJsonArray { tracker(1, "udp://c.example:80", 300),
                    tracker(2, "https://b.example", 100), tracker(3, "http://a.example", 200),
                    "junk" } } };
        TaskDetails d = TaskDetails::decode(reply, "tracker_name", "asc", nullptr);
        QCOMPARE(d.info.value("time_elapsed"), QStringLiteral("1h"));
        QCOMPARE(d.info.value("seeds"), QStringLiteral("12")); // a number shown as text
        QCOMPARE(d.info.value("share_ratio"), QStringLiteral("-"));
        QCOMPARE(d.files.size(), 1);
        QVERIFY(d.hasTrackers);
        QStringList urls;
        for (const QJsonObject &t : d.trackers)
            urls << t.value("tracker_name").toString();
        QCOMPARE(
            urls, (QStringList { "http://a.example", "https://b.example", "udp://c.example:80" }));
        // Numbers compare as numbers; anything but "asc" is descending.
        TaskDetails::sortTrackers(d.trackers, "tracker_next_update", "desc");
        QCOMPARE(d.trackers.first().value("tracker_id").toInt(), 1);
        TaskDetails::sortTrackers(d.trackers, "tracker_next_update", "asc");
        QCOMPARE(d.trackers.first().value("tracker_id").toInt(), 2);
        QVERIFY(!TaskDetails::decode(
            QJsonObject { { "files", QJsonArray() } }, "tracker_name", "asc", nullptr)
                     .hasTrackers);
    }

    void trackerAndContentCells()
    {
        TaskTrackerModel trackers;
        trackers.setRecords({ tracker(1, "udp://x", 0), tracker(2, "udp://y", 1700000000) });
        QCOMPARE(trackers.data(trackers.index(0, TaskTrackerModel::ColUpdateTime), Qt::DisplayRole)
                     .toString(),
            QString());
        QVERIFY(!trackers.data(trackers.index(1, TaskTrackerModel::ColUpdateTime), Qt::DisplayRole)
                     .toString()
                     .isEmpty());
        TaskContentModel content;
        content.setRecords({ QJsonObject { { "file_wanted", true }, { "file_name", "a" } },
            QJsonObject { { "file_wanted", false }, { "file_name", "b" } } });
        QSignalSpy resets(&content, &QAbstractItemModel::modelReset);
        QVERIFY(!content.data(content.index(0, TaskContentModel::ColCheck), Qt::DecorationRole)
                     .isNull());
        QVERIFY(content.data(content.index(1, TaskContentModel::ColCheck), Qt::DecorationRole)
                    .isNull());
        QVERIFY(!(content.flags(content.index(0, 1)) & Qt::ItemIsSelectable));
        content.setRecords({ QJsonObject { { "file_name", "a2" } } });
        QCOMPARE(content.rowCount(), 1);
        QCOMPARE(resets.size(), 0); // row-level changes only
    }

    void tabsFollowTheSelection()
    {
        Screen s;
        QCOMPARE(s.tabs()->count(), 2); // nothing selected yet
        // Each empty state says why it is empty.
        auto *why = s.tabs()->findChild<QLabel *>("textEmptyDetails");
        QVERIFY(why);
        QCOMPARE(why->text(), localized("DETAILS_SELECT_TASK"));
        s.sim.server().clearLog();
        const int bbb = s.rowNamed("Big Buck Bunny (2008) 1080p");
        s.select(bbb);
        const auto infos = s.sim.server().requestsFor("torrent-info");
        QCOMPARE(infos.size(), 1);
        QCOMPARE(infos[0].value("form").toObject(),
            (QJsonObject { { "id", QString::number(s.view.model()->row(bbb)->idValue) },
                { "sortby", "file_id" }, { "orderby", "asc" } }));
        QCOMPARE(s.tabs()->count(), 3);
        QCOMPARE(s.tabs()->tabText(2), localized("TAB_ITEM_TRACKER"));
        QCOMPARE(s.tabs()->valueLabel("download_dir")->text(), QStringLiteral("/Download"));
        QVERIFY(s.tabs()->textTorrentFile()->isVisibleTo(s.tabs()));
        QVERIFY(s.tabs()->textTorrentFile()->text().contains("act=torrent-get"));
        QCOMPARE(s.tabs()->contentModel()->rowCount(), 2);
        QCOMPARE(s.tabs()->trackerModel()->rowCount(), 2);
        // Default order: by URL text, so http before udp.
        QVERIFY(s.tabs()
                    ->trackerModel()
                    ->record(0)
                    .value("tracker_name")
                    .toString()
                    .startsWith("http://"));

        // A plain download: no request, empty state, no tracker tab.
        s.sim.server().clearLog();
        s.select(s.rowNamed("archlinux-2024.12.01-x86_64.iso"));
        QCOMPARE(s.sim.server().requestsFor("torrent-info").size(), 0);
        QCOMPARE(s.tabs()->count(), 2);
        QCOMPARE(s.tabs()->valueLabel("seeds")->text(), QStringLiteral("-"));
        QVERIFY(!s.tabs()->textTorrentFile()->isVisibleTo(s.tabs()));
        QCOMPARE(s.tabs()->contentModel()->rowCount(), 0);
        QCOMPARE(why->text(), localized("DETAILS_PLAIN_TASK"));
        QVERIFY(why->isVisibleTo(s.tabs()));

        // A torrent without a tracker member: two tabs.
        s.select(s.rowNamed("Tears of Steel 4K"));
        QCOMPARE(s.tabs()->count(), 2);
        QCOMPARE(s.tabs()->contentModel()->rowCount(), 1);

        // A failed details request shows the empty state.
        s.select(bbb);
        QCOMPARE(s.tabs()->count(), 3);
        s.sim.server().applyControl("non_json", "1");
        QSignalSpy details(s.details(), &TaskDetailsController::detailsApplied);
        s.details()->_refresh_Contents();
        QVERIFY(details.wait(5000));
        QCOMPARE(s.tabs()->count(), 2);
        QCOMPARE(s.tabs()->valueLabel("download_dir")->text(), QStringLiteral("-"));
        QCOMPARE(why->text(), localized("DETAILS_NOT_ANSWERED"));
        s.sim.server().applyControl("non_json", "0");

        // A filter that matches no task says so over the list.
        s.view.editFilter()->setText("no such task at all");
        QTRY_VERIFY(s.view.model()->rowCount() == 0);
        auto *hint = s.view.tableView()->viewport()->findChild<QLabel *>("emptyViewHint");
        QVERIFY(hint);
        QTRY_COMPARE(hint->text(),
            stringWithKSTFormat(localized("TXT_NO_TASK_MATCHES"), { "no such task at all" }));
        QVERIFY(hint->isVisibleTo(s.view.tableView()));
        s.view.editFilter()->clear();
        QTRY_VERIFY(s.view.model()->rowCount() > 0);
        QVERIFY(!hint->isVisibleTo(s.view.tableView()));
    }

    void trackerSelectionKeptByIdAndCommands()
    {
        Screen s;
        const int row = s.rowNamed("Sintel.2010.720p.mkv");
        const qint64 taskId = s.view.model()->row(row)->idValue;
        s.select(row);
        TaskDetailsView *tabs = s.tabs();
        QVERIFY(!tabs->btnRemoveTracker()->isEnabled());
        // Select the udp tracker (row 1 under URL order).
        tabs->trackerTableView()->selectRow(1);
        const qint64 udpId = tabs->trackerModel()->trackerId(1);
        QVERIFY(tabs->btnRemoveTracker()->isEnabled());

        // Adding through the sheet sends the whole text; a new tracker that
        // sorts first moves the selected one down, and it stays selected.
        s.sim.server().clearLog();
        s.details()->on_Add_Tracker();
        auto *sheet = qApp->activeModalWidget()
            ? qApp->activeModalWidget()->findChild<TorrentTrackerAddViewController *>()
            : nullptr;
        if (!sheet)
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *found = w->findChild<TorrentTrackerAddViewController *>())
                    sheet = found;
        QVERIFY(sheet);
        const QString text = "ftp://ignored.example/\nHTTP://aaa.example/announce";
        sheet->tvTracker()->setPlainText(text);
        QVERIFY(sheet->btnOk()->isEnabled());
        QSignalSpy details(s.details(), &TaskDetailsController::detailsApplied);
        sheet->btnOk()->click();
        QVERIFY(details.wait(5000));
        QTRY_VERIFY(!s.details()->isRequestOutstanding());
        const auto adds = s.sim.server().requestsFor("tracker-add");
        QCOMPARE(adds.size(), 1);
        QCOMPARE(adds[0].value("form").toObject(),
            (QJsonObject { { "id", QString::number(taskId) }, { "tracker", text } }));
        QCOMPARE(tabs->trackerModel()->rowCount(), 3);
        QCOMPARE(s.selectedTrackers(), QSet<qint64> { udpId });
        QCOMPARE(tabs->trackerModel()->trackerId(2), udpId);

        // Removing the selected trackers sends their ids in row order.
        tabs->trackerTableView()->selectAll();
        QStringList ids;
        for (int r = 0; r < 3; ++r)
            ids << QString::number(tabs->trackerModel()->trackerId(r));
        s.sim.server().clearLog();
        tabs->btnRemoveTracker()->click();
        QVERIFY(details.wait(5000));
        QTRY_VERIFY(!s.details()->isRequestOutstanding());
        const auto removes = s.sim.server().requestsFor("tracker-remove");
        QCOMPARE(removes.size(), 1);
        QCOMPARE(removes[0].value("form").toObject().value("tracker_id").toString(), ids.join(','));
        // With every tracker gone the reply has no tracker member: the tab goes.
        QCOMPARE(tabs->count(), 2);
    }

    void removeSendsIdsInRowOrder()
    {
        Screen s;
        const QJsonArray trackers { tracker(9, "udp://z.example"), tracker(5, "http://m.example"),
            tracker(3, "http://a.example") };
        s.sim.server().on(kCgiPathBtdlm, "torrent-info", true, [trackers](nassim::Call &) {
            return SimReply::ok(
                { { "name", "x" }, { "files", QJsonArray() }, { "tracker", trackers } });
        });
        s.sim.server().on(
            kCgiPathBtdlm, "tracker-remove", true, [](nassim::Call &) { return SimReply::ok(); });
        s.select(0);
        TaskDetailsView *tabs = s.tabs();
        // Sorted by URL: 3 (a), 5 (m), 9 (z).
        QCOMPARE(tabs->trackerModel()->trackerId(0), 3);
        QItemSelection sel;
        for (int r : { 2, 0 })
            sel.select(tabs->trackerModel()->index(r, 0), tabs->trackerModel()->index(r, 4));
        tabs->trackerTableView()->selectionModel()->select(
            sel, QItemSelectionModel::ClearAndSelect);
        s.details()->on_Remove_Tracker();
        settle(*s.list());
        QTRY_COMPARE(s.sim.server().requestsFor("tracker-remove").size(), 1);
        QCOMPARE(s.sim.server().requestsFor("tracker-remove")[0].value("form").toObject().value(
                     "tracker_id"),
            QJsonValue("3,9"));
    }

    void sortClicksTravelAndEditOpensTheDialog()
    {
        Screen s;
        const int row = s.rowNamed("Big Buck Bunny (2008) 1080p");
        s.select(row);
        s.sim.server().clearLog();
        // A click on the content table's Name header sorts on the NAS.
        QSignalSpy details(s.details(), &TaskDetailsController::detailsApplied);
        QHeaderView *h = s.tabs()->contentTableView()->horizontalHeader();
        emit h->sectionClicked(TaskContentModel::ColName);
        QVERIFY(details.wait(5000));
        QCOMPARE(s.details()->sortKeyContent(), QStringLiteral("file_name"));
        QCOMPARE(s.sim.server()
                     .requestsFor("torrent-info")
                     .last()
                     .value("form")
                     .toObject()
                     .value("sortby"),
            QJsonValue("file_name"));
        // A second click flips the tracker order (client side).
        QHeaderView *th = s.tabs()->trackerTableView()->horizontalHeader();
        emit th->sectionClicked(TaskTrackerModel::ColURL);
        QVERIFY(details.wait(5000));
        QCOMPARE(s.details()->orderTracker(), QStringLiteral("desc"));
        QVERIFY(s.tabs()
                    ->trackerModel()
                    ->record(0)
                    .value("tracker_name")
                    .toString()
                    .startsWith("udp://"));

        // Edit: the details with the default sort, then the dialog in edit mode.
        QSignalSpy dialog(&s.view, &DownloadViewController::taskDialogOpened);
        s.sim.server().clearLog();
        s.list()->on_Edit_Torrent();
        QVERIFY(dialog.wait(5000));
        auto *edit = qobject_cast<DownloadTaskViewController *>(dialog[0][0].value<QWidget *>());
        QVERIFY(edit && edit->editMode());
        QCOMPARE(edit->torrentID(), s.view.model()->row(row)->idValue);
        QCOMPARE(edit->contentName(), QStringLiteral("Big Buck Bunny (2008) 1080p"));
        QCOMPARE(edit->model()->rowCount(), 2);
        const auto infos = s.sim.server().requestsFor("torrent-info");
        QCOMPARE(infos.first().value("form").toObject().value("sortby"), QJsonValue("file_id"));
        edit->on_Cancel();

        // A mixed selection whose current row is a plain download: Edit is
        // offered for the torrent and opens it.
        const int plain = s.rowNamed("archlinux-2024.12.01-x86_64.iso");
        QItemSelectionModel *sel = s.view.tableView()->selectionModel();
        sel->select(s.view.model()->index(row, 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        sel->setCurrentIndex(s.view.model()->index(plain, 0),
            QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QVERIFY(s.list()->action(TaskListController::Command::Edit)->isEnabled());
        s.list()->on_Edit_Torrent();
        QVERIFY(dialog.wait(5000));
        auto *mixed = qobject_cast<DownloadTaskViewController *>(dialog[1][0].value<QWidget *>());
        QVERIFY(mixed && mixed->editMode());
        QCOMPARE(mixed->torrentID(), s.view.model()->row(row)->idValue);
        mixed->on_Cancel();
    }

    void oneDetailsRequestAtATime()
    {
        Screen s;
        s.sim.server().applyControl("delay_ms", "300");
        s.sim.server().clearLog();
        QSignalSpy details(s.details(), &TaskDetailsController::detailsApplied);
        const int a = s.rowNamed("Big Buck Bunny (2008) 1080p");
        const int b = s.rowNamed("Sintel.2010.720p.mkv");
        s.view.tableView()->selectRow(a);
        QTRY_VERIFY(s.details()->isRequestOutstanding());
        s.view.tableView()->selectRow(b);
        s.details()->_refresh_Contents();
        QTRY_VERIFY_WITH_TIMEOUT(details.size() >= 1 && !s.details()->isRequestOutstanding(), 5000);
        s.sim.server().applyControl("delay_ms", "0");
        // The first request's answer is dropped; the last selection is shown.
        const auto infos = s.sim.server().requestsFor("torrent-info");
        QCOMPARE(infos.size(), 2);
        QCOMPARE(infos.last().value("form").toObject().value("id").toString(),
            QString::number(s.view.model()->row(b)->idValue));
        QCOMPARE(s.tabs()->contentModel()->record(0).value("file_name").toString(),
            QStringLiteral("Sintel.2010.720p.mkv"));
    }

    void splitViewLimits()
    {
        DownloadViewController view;
        QSplitter *split = view.splitView();
        QCOMPARE(split->orientation(), Qt::Vertical);
        QCOMPARE(split->handleWidth(), 8);
        QVERIFY(!split->childrenCollapsible());
        QCOMPARE(split->widget(0)->minimumHeight(), 120);
        QCOMPARE(split->widget(1)->minimumHeight(), 120);
        view.resize(800, 600);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const int details = split->sizes().at(1);
        view.resize(800, 800);
        QTRY_COMPARE(split->sizes().at(1), details); // the details keep their height
    }
};

QTEST_MAIN(TestTaskDetails)
#include "tst_taskdetails.moc"
