// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// Ferrylink in a hostile or broken world: special files handed over as
// torrents, uploads the NAS refuses or drops, replies that trickle, odd
// numbers and byte-order marks in lists, megabyte-long names, malformed
// sign-in replies and cookies. The GUI thread keeps turning throughout.
#include "RecordingAlertPresenter.h"
#include "StallWatch.h"
#include "TaskListScreen.h"

#include "api/CgiErrorRules.h"
#include "api/CgiOperations.h"
#include "api/JsonUtil.h"
#include "api/Localization.h"
#include "api/UploadBody.h"
#include "models/DisplayText.h"
#include "ui/DCBaseViewController.h"
#include "ui/TextCapping.h"

#include <QClipboard>
#include <QHelpEvent>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QMenu>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolTip>

#include <sys/stat.h>

using namespace flk;
using nassim::SimReply;

namespace {
QString writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

// Adds torrent files through the list controller, as the add sheet does.
void addFiles(TaskListScreen &s, const QStringList &files)
{
    s.list()->_add_Torrent_Files(
        { { "items", files }, { "show_dialog_enabled", 1 }, { "save_to", "/Download" } });
}
} // namespace

class TestHostile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(installTranslations());
        installTextCapping();
    }
    void cleanup() { waitForNetworkWork(); }

    // ---- files handed over -------------------------------------------------

    void onlyRegularFilesOfATorrentsSizeAreUploaded()
    {
        TaskListScreen s(true);
        RecordingAlertPresenter alerts;
        alerts.answer = 0;
        QTemporaryDir dir;
        const QString fifo = dir.filePath("x.torrent");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QString big = dir.filePath("big.torrent");
        {
            QFile f(big);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.resize(kMaxUploadFileBytes + 1)); // sparse
        }
        for (const QString &path : { fifo, QStringLiteral("/dev/zero"), dir.path(), big }) {
            StallWatch watch;
            QSignalSpy unreadable(s.list(), &TaskListController::uploadFileUnreadable);
            addFiles(s, { path });
            QVERIFY2(unreadable.wait(5000), qPrintable(path));
            QCOMPARE(unreadable[0][0].toString(), path);
            QVERIFY(!unreadable[0][1].toString().isEmpty());
            settle(*s.list());
            QVERIFY2(watch.longestGapMs() < 1000, qPrintable(path));
        }
        QVERIFY(alerts.shown.last().request.message.contains("big.torrent"));
        QVERIFY(alerts.shown.last().request.message.contains("64"));
        QCOMPARE(s.sim.server().uploadAttempts(), 0);
    }

    void everyUploadFailureIsToldOnceWithTheFileName_data()
    {
        QTest::addColumn<QStringList>("faults");
        QTest::addColumn<QString>("said");
        QTest::newRow("HTML 413 page") << QStringList { "status=413", "status_count=1" } << "413";
        QTest::newRow("dropped") << QStringList { "drop_act=multi-torrent-upload", "drop=1" } << "";
        QTest::newRow("refused before the body") << QStringList { "upload_limit=1000" } << "413";
    }
    void everyUploadFailureIsToldOnceWithTheFileName()
    {
        QFETCH(QStringList, faults);
        QFETCH(QString, said);
        TaskListScreen s(true);
        RecordingAlertPresenter alerts;
        alerts.answer = 0;
        s.client->setShowErrorAlert(true);
        QTemporaryDir dir;
        const QString file
            = writeFile(dir.filePath("holiday-video.torrent"), QByteArray(5000, 'd'));
        for (const QString &f : faults)
            QVERIFY(s.sim.server().applyControl(f.section('=', 0, 0), f.section('=', 1)));
        addFiles(s, { file });
        QTRY_COMPARE_WITH_TIMEOUT(alerts.shown.size(), 1, 10000);
        const QString message = alerts.shown[0].request.message;
        QVERIFY2(message.contains("holiday-video.torrent"), qPrintable(message));
        QVERIFY2(message.contains(said), qPrintable(message));
        settle(*s.list());
        // Sent once: an upload is never repeated on its own.
        QCOMPARE(s.sim.server().uploadAttempts(), 1);
        QCOMPARE(alerts.shown.size(), 1);
    }

    // ---- slow and silent NAS -------------------------------------------------

    // A first list that does not come shows the cue too (not "All (0)" and
    // silence), and goes when the list arrives.
    void aFirstListThatDoesNotComeShowsTheCue()
    {
        TaskListScreen s(false);
        s.list()->setStaleAfter(300);
        QSignalSpy stale(s.list(), &TaskListController::staleChanged);
        QVERIFY(s.sim.server().applyControl("delay_ms", "1500"));
        s.list()->refresh_Items();
        QTRY_VERIFY_WITH_TIMEOUT(!stale.isEmpty() && stale.last()[0].toBool(), 5000);
        QVERIFY(!stale.last()[1].toDateTime().isValid());
        QCOMPARE(s.view.textStale()->text(), localized("TXT_LIST_WAITING"));
        QTRY_VERIFY_WITH_TIMEOUT(!stale.last()[0].toBool(), 5000);
        QVERIFY(s.list()->model()->rowCount() > 0);
        QVERIFY(s.sim.server().applyControl("delay_ms", "0"));
    }

    void aTricklingListEndsAtItsDeadlineAndShowsStale()
    {
        TaskListScreen s(true);
        s.client->setRequestDeadline(1500);
        s.list()->setStaleAfter(400);
        QSignalSpy stale(s.list(), &TaskListController::staleChanged);
        QVERIFY(s.sim.server().applyControl("trickle_act", "torrent-list"));
        QVERIFY(s.sim.server().applyControl("trickle_ms", "20"));
        StallWatch watch;
        QElapsedTimer took;
        took.start();
        s.list()->refresh_Items();
        QTRY_VERIFY_WITH_TIMEOUT(!stale.isEmpty() && stale.last()[0].toBool(), 5000);
        QVERIFY(s.view.textStale()->isVisibleTo(&s.view));
        settle(*s.list());
        // Ends at the deadline (one attempt), not when the last byte comes.
        QVERIFY2(took.elapsed() < 8000, qPrintable(QString::number(took.elapsed())));
        QVERIFY(watch.longestGapMs() < 1000);
        Error e;
        QVERIFY(!onWorker([&] { return s.client->get_Torrent_List(0, "name", "asc", "", &e); }));
        QCOMPARE(e.code, int(kCgiErrorNoReply));

        // A fresh list ends the stale state.
        QVERIFY(s.sim.server().applyControl("trickle_ms", "0"));
        QSignalSpy applied(s.list(), &TaskListController::listApplied);
        s.list()->refresh_Items();
        QVERIFY(applied.wait(5000));
        QVERIFY(!stale.last()[0].toBool());
        QVERIFY(!s.view.textStale()->isVisibleTo(&s.view));
    }

    // ---- what lists carry --------------------------------------------------------

    void oddNumbersAndAByteOrderMarkKeepTheListReadable()
    {
        const QByteArray json = R"({"success":1,"total_download_speed":"0","total_upload_speed":"0",
            "all":4,"files":[
            {"id":18446744073709551615,"type":"BT","name":"huge id","size":"1 GB"},
            {"id":"NaN","type":"BT","name":"text id"},
            {"id":7,"type":"BT","name":"seven","queue_position":123456789012345678901234567890},
            {"id":"7","type":"HTTP/FTP","name":"seven as text"}]})";
        for (const QByteArray &body : { json, "\xEF\xBB\xBF" + json }) {
            TaskListSnapshot fast;
            const auto envelope = TaskListModel::decodeBody(body, &fast, {});
            QVERIFY(envelope);
            QCOMPARE(json::intValue(*envelope, u"success"), 1);
            const TaskListSnapshot slow
                = TaskListModel::decode(QJsonDocument::fromJson(json).object());
            QCOMPARE(fast.rows.size(), 4);
            QSet<QString> keys;
            for (int i = 0; i < 4; ++i) {
                QCOMPARE(fast.rows[i].key(), slow.rows[i].key());
                QCOMPARE(fast.rows[i]->cells, slow.rows[i]->cells);
                keys.insert(fast.rows[i].key());
            }
            QCOMPARE(keys.size(), 4); // no two ids collapse into one
        }

        // Through the NAS: the list is shown, and commands name only the ids
        // that are whole numbers as sent (a text or an inexact number is no
        // id: "3,4" would address two tasks).
        TaskListScreen s(false);
        s.sim.server().on(
            "/apps/haulhouse/btdlm.cgi", "torrent-list", true, [json](nassim::Call &) {
                SimReply r;
                r.body = "\xEF\xBB\xBF" + json;
                r.contentType = "application/json";
                return r;
            });
        QSignalSpy applied(s.list(), &TaskListController::listApplied);
        s.view.refresh_Items();
        QVERIFY(applied.wait(5000));
        QCOMPARE(s.list()->model()->rowCount(), 4);
        QCOMPARE(s.list()->model()->idStringFromType({ 0, 1, 2 }, "BT"), QStringLiteral("7"));
    }

    // ---- long texts ----------------------------------------------------------

    void megabyteNamesAreCappedWhereTheyAreLaidOut()
    {
        const QString huge = QStringLiteral("Sintel ") + QString(5 * 1024 * 1024, QLatin1Char('x'));
        TaskListModel model;
        TaskListSnapshot snapshot;
        TaskRow row;
        row.edit().type = "BT";
        row.edit().id = 1;
        row.edit().cells[TaskListModel::ColName] = huge;
        row.edit().cells[TaskListModel::ColType] = "BT";
        snapshot.rows << row;
        model.apply(snapshot);
        QTableView view;
        view.setModel(&model);
        view.resize(800, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        {
            StallWatch watch;
            view.resizeColumnsToContents();
            view.grab();
            QVERIFY2(
                watch.longestGapMs() < 1000, qPrintable(QString::number(watch.longestGapMs())));
        }
        // The tool tip is capped too; the full text is there to copy.
        const QModelIndex name = model.index(0, TaskListModel::ColName);
        const QRect cell = view.visualRect(name);
        QHelpEvent tip(QEvent::ToolTip, cell.center(), view.viewport()->mapToGlobal(cell.center()));
        view.itemDelegate()->helpEvent(&tip, &view, QStyleOptionViewItem(), name);
        QVERIFY(QToolTip::text().size() <= kMaxDisplayChars + 1);
        view.setCurrentIndex(name);
        QTest::keySequence(&view, QKeySequence::Copy);
        QCOMPARE(QGuiApplication::clipboard()->text(), huge);
        QToolTip::hideText();

        QLabel label;
        {
            StallWatch watch;
            setCappedText(&label, huge);
            label.show();
            label.grab();
            QVERIFY(watch.longestGapMs() < 1000);
        }
        QCOMPARE(label.text().size(), kMaxDisplayChars + 1);
        QCOMPARE(label.actions().size(), 1);
        label.actions().first()->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), huge);
        setCappedText(&label, "short");
        QCOMPARE(label.text(), QStringLiteral("short"));
    }

    // ---- sign-in and session ---------------------------------------------------

    void aSignInReplyWithoutATextSidIsMalformed_data()
    {
        QTest::addColumn<QJsonValue>("sid");
        QTest::newRow("number") << QJsonValue(12345);
        QTest::newRow("object") << QJsonValue(QJsonObject { { "id", "x" } });
        QTest::newRow("empty") << QJsonValue(QString());
    }
    void aSignInReplyWithoutATextSidIsMalformed()
    {
        QFETCH(QJsonValue, sid);
        SimFixture sim;
        sim.server().on("/portal/apis/login.cgi", "login", false, [sid](nassim::Call &) {
            SimReply r
                = SimReply::ok({ { "sid", sid }, { "hostid", "H" }, { "version", "3.5.2" } });
            r.headers.append(
                qMakePair(QByteArray("Set-Cookie"), QByteArray("KSESSIONID=bogus; path=/")));
            return r;
        });
        CgiCtrl c;
        Error e;
        QVERIFY(!onWorker(
            [&] { return c.login_Server(sim.http(), "admin", "admin", false, &e).has_value(); }));
        QCOMPARE(e.code, int(kCgiErrorNoReply));
        QVERIFY(!c.logon());
        QVERIFY(c.cookieHeader().isEmpty());
        // What the user is told: the sign-in failure, not a missing app.
        QCOMPARE(CgiErrorRules::loginErrorCodeFromCgiCode(e.code), int(kLoginErrorConnectFail));
    }

    void onlyCookiePairsOfUsableRepliesAreSent()
    {
        SignedInClient s;
        // The sign-in's Set-Cookie carries attributes; the header does not.
        QCOMPARE(s.client->cookieHeader(), "KSESSIONID=" + s.client->sid().toLatin1());
        Error e;
        onWorker([&] { return s.client->check_Session_Timeout(&e); });
        QCOMPARE(s.sim.server().requestsFor("revive").last().value("cookie").toString(),
            "KSESSIONID=" + s.client->sid());
        // An HTML page with a cookie of its own is not a reply: no cookie taken.
        QVERIFY(s.sim.server().applyControl("non_json", "1"));
        onWorker([&] { return s.client->check_Session_Timeout(&e); });
        QCOMPARE(s.client->cookieHeader(), "KSESSIONID=" + s.client->sid().toLatin1());
        QCOMPARE(
            CgiCtrl::cookiePairs("a=1; path=/; HttpOnly\nb=2; Secure"), QByteArray("a=1; b=2"));
    }

    // ---- screens -------------------------------------------------------------------

    void rowMenusOpenOnRowsOnly()
    {
        QStandardItemModel model(2, 2);
        QTableView table;
        table.setModel(&model);
        table.resize(300, 300);
        table.show();
        QVERIFY(QTest::qWaitForWindowExposed(&table));
        QMenu menu;
        menu.addAction("Remove");
        DCBaseViewController::installRowMenu(&table, &menu);
        emit table.customContextMenuRequested(QPoint(10, 280)); // below the rows
        QVERIFY(!menu.isVisible());
        emit table.customContextMenuRequested(table.visualRect(model.index(1, 0)).center());
        QTRY_VERIFY(menu.isVisible());
        QCOMPARE(table.currentIndex().row(), 1);
        menu.hide();
    }

    void aHiddenOwnerColumnStaysHidden()
    {
        TaskListScreen s(true);
        QTableView *table = s.view.tableView();
        // An administrator's list shows the owners; the user hides them.
        QVERIFY(s.client->administrator());
        QVERIFY(!table->isColumnHidden(TaskListModel::ColOwner));
        table->setColumnHidden(TaskListModel::ColOwner, true);
        for (int poll = 0; poll < 3; ++poll) {
            QSignalSpy applied(s.list(), &TaskListController::listApplied);
            s.view.refresh_Items();
            QVERIFY(applied.wait(5000));
        }
        QVERIFY(table->isColumnHidden(TaskListModel::ColOwner));
    }
};

QTEST_MAIN(TestHostile)
#include "tst_hostile.moc"
