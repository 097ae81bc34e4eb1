// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// Adding tasks: the add sheet's checks and results, the links sent, uploads
// with the task dialog chain, the new-task dialog in both modes, the
// multi-download wizard, drops, and the single-instance hand-over.
#include "RecordingAlertPresenter.h"
#include "TaskListScreen.h"
#include "TorrentFile.h"

#include "api/CgiCtrl.h"
#include "api/CgiErrorRules.h"
#include "api/CgiOperations.h"
#include "api/CommandOverlay.h"
#include "api/Localization.h"
#include "api/NotificationCenter.h"
#include "api/Notifications.h"
#include "models/TaskLinks.h"
#include "tasks/MultiDownloadResultModel.h"
#include "tasks/NewTaskController.h"
#include "tasks/TaskFilesModel.h"
#include "tasks/ui/DownloadTaskViewController.h"
#include "tasks/ui/DownloadViewController.h"
#include "tasks/ui/MultiDownloadWizardViewController.h"
#include "tasks/ui/TorrentAddViewController.h"
#include "ui/CheckBoxHeaderView.h"
#include "ui/KSTProgressHUDHelper.h"

#include <QCheckBox>
#include <QDialog>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtConcurrent/QtConcurrentRun>
#include <QtTest>

using namespace flk;
using nassim::SimReply;

namespace {
QJsonObject file(qint64 id, const QString &name, qint64 bytes, bool wanted = true)
{
    return { { "file_id", id }, { "file_name", name }, { "file_size", QString::number(bytes) },
        { "file_isize", bytes }, { "file_wanted", wanted } };
}

void closeSheets()
{
    TaskListScreen::closeSheets();
}

// A signed-in list screen whose client reports through the app's rules.
struct Screen : TaskListScreen {
    Screen() : TaskListScreen(false) { }
};

QString writeTorrent(const QTemporaryDir &dir, const QString &name, int files = 1)
{
    QList<nassim::TorrentFile::Entry> entries;
    for (int i = 0; i < files; ++i)
        entries.append({ QStringLiteral("%1-%2.bin").arg(name).arg(i), 1024 * (i + 1) });
    const QString path = dir.filePath(name + ".torrent");
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(nassim::TorrentFile::make(name, entries));
    return path;
}
} // namespace

class TestAddTasks : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { installTranslations(); }
    void cleanup() { closeSheets(); }

    void linksAreCountedBeforeTrimmingAndSentTrimmed()
    {
        TorrentAddViewController sheet(nullptr);
        sheet.on_By_Link();
        const QString text = " http://a.example/x.iso\nHTTP://b.example/y.iso  \n"
                             "magnet:?xt=urn:btih:abc\n\ned2k://|file|z|1|/";
        sheet.tvLink()->setPlainText(text);
        QCOMPARE(sheet.validLinkCount(), 3 - 1 + 0); // the space-led line does not count
        QCOMPARE(sheet.txtValidLinkNum()->text(), QStringLiteral("2"));
        QCOMPARE(sheet.aryItems().size(), 5);
        QCOMPARE(TaskLinks::linkText(sheet.aryItems()),
            QStringLiteral("HTTP://b.example/y.iso\nmagnet:?xt=urn:btih:abc\n"));
        // Trailing tabs trimmed too; other characters are sent as typed.
        QCOMPARE(TaskLinks::linkText({ "ftp://c.example/\x01z\t ", "\tftp://d/" }),
            QStringLiteral("ftp://c.example/\x01z\n"));
        for (const char *scheme : { "flashget://x", "qqdl://x", "HTTPS://x" })
            QVERIFY(TorrentAddViewController::isValidLink(scheme));
        // A huge list stays linear.
        QStringList many;
        for (int i = 0; i < 10000; ++i)
            many << QStringLiteral("https://mirror.example/file%1.bin").arg(i);
        sheet.tvLink()->setPlainText(many.join('\n'));
        QCOMPARE(sheet.validLinkCount(), 10000);
    }

    void addSheetChecksItsInput()
    {
        RecordingAlertPresenter alerts;
        alerts.answer = 0;
        QTemporaryDir dir;
        TorrentAddViewController sheet(nullptr);
        QSignalSpy errors(&sheet, &TorrentAddViewController::inputError);
        bool closed = false;
        QVariant result;
        sheet.setCompletion([&](bool ok, const QVariant &r) {
            closed = ok;
            result = r;
        });
        sheet.on_Ok();
        sheet.setChosenFiles({ writeTorrent(dir, "one"), dir.filePath("missing.torrent"),
            dir.filePath("UPPER.TORRENT") });
        QCOMPARE(sheet.aryItems().size(), 1); // only existing files with the exact extension
        QCOMPARE(sheet.browseFiles(),
            stringWithKSTFormat(localized("ADD_TXT_SEL_TORRENTS"), { QStringLiteral("1") }));
        sheet.on_Ok(); // no folder yet
        sheet.on_By_Link();
        sheet.on_Ok(); // no valid link
        sheet.tvLink()->setPlainText("magnet:?xt=urn:btih:abc");
        sheet.setSaveFolder("/Public");
        sheet.chkAuth()->setChecked(true);
        QVERIFY(sheet.editAccount()->isEnabled());
        sheet.editAccount()->setText("me");
        sheet.on_Ok(); // password missing
        QCOMPARE(errors.size(), 4);
        QStringList keys;
        for (const auto &e : errors)
            keys << e[0].toString();
        QCOMPARE(keys,
            (QStringList { "ERROR_TORRENT_FILE_EMPTY", "ERROR_DEST_DIR_EMPTY",
                "ERROR_NO_VALID_LINK", "ERROR_AUTH_USER_PWD_EMPTY" }));
        QCOMPARE(alerts.shown.size(), 4);
        QCOMPARE(alerts.shown[3].request.title, localized("ERROR"));
        QVERIFY(!closed);
        QCOMPARE(sheet.tvLink()->toPlainText(), QStringLiteral("magnet:?xt=urn:btih:abc"));

        sheet.editPwd()->setText("pw");
        sheet.on_Ok();
        QVERIFY(closed);
        const QVariantMap r = result.toMap();
        QCOMPARE(r.value("save_to").toString(), QStringLiteral("/Public"));
        QCOMPARE(r.value("auth_enabled").toInt(), 1);
        QCOMPARE(r.value("auth_account").toString(), QStringLiteral("me"));
        QCOMPARE(r.value("items").toStringList(), QStringList { "magnet:?xt=urn:btih:abc" });
        // Switching back finds the chosen files again.
        sheet.on_By_Torrent();
        QCOMPARE(sheet.aryItems().size(), 1);
        QVERIFY(sheet.aryItems().first().endsWith("one.torrent"));
    }

    void fileChooserRule()
    {
        QTemporaryDir dir;
        QFile(dir.filePath("a.torrent")).open(QIODevice::WriteOnly);
        QFile(dir.filePath("b.TORRENT")).open(QIODevice::WriteOnly);
        QFile(dir.filePath("c.torrent.txt")).open(QIODevice::WriteOnly);
        QVERIFY(TorrentAddViewController::shouldEnableURL(QFileInfo(dir.filePath("a.torrent"))));
        QVERIFY(!TorrentAddViewController::shouldEnableURL(QFileInfo(dir.filePath("b.TORRENT"))));
        QVERIFY(
            !TorrentAddViewController::shouldEnableURL(QFileInfo(dir.filePath("c.torrent.txt"))));
        QVERIFY(TorrentAddViewController::shouldEnableURL(QFileInfo(dir.path())));
    }

    void totalSizeText_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("1536 B") << qint64(1536) << "1.50 KB";
        QTest::newRow("nothing") << qint64(0) << "0.00 KB";
        QTest::newRow("1 MiB") << qint64(1048576) << "1.00 MB";
        QTest::newRow("5 TiB") << qint64(5) * 1024 * 1024 * 1024 * 1024 << "5120.00 GB";
    }
    void totalSizeText()
    {
        QFETCH(qint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(TaskFilesModel::formatTotalSize(bytes), text);
    }

    void fileChoiceListsFollowTheShownOrder()
    {
        const QJsonArray files { file(0, "b", 300), file(1, "a", 100, false), file(2, "c", 200) };
        TaskFilesModel model;
        model.setFiles(files, false); // new mode: every file
        model.setData(model.index(1, TaskFilesModel::ColCheck), Qt::Unchecked, Qt::CheckStateRole);
        QCOMPARE(model.unwantedList(), QStringLiteral("1,"));
        model.setFiles(files, true); // edit mode: by file_wanted
        QCOMPARE(model.wantedList(), QStringLiteral("0,2,"));
        QCOMPARE(model.unwantedList(), QStringLiteral("1,"));
        model.sortBy(TaskFilesModel::ColSize, "asc");
        QCOMPARE(model.wantedList(), QStringLiteral("2,0,"));
        QCOMPARE(model.data(model.index(0, TaskFilesModel::ColCheck), Qt::CheckStateRole).toInt(),
            int(Qt::Unchecked)); // "a" kept its choice
        model.sortBy(TaskFilesModel::ColName, "desc");
        QCOMPARE(model.wantedList(), QStringLiteral("2,0,"));
        QCOMPARE(model.chosenBytes(), 500);

        // Edit mode with choices in another shape: such a file is in
        // neither list until the user ticks or unticks it; a file without a
        // whole id is never addressed.
        QJsonObject oddChoice = file(3, "d", 1);
        oddChoice.insert("file_wanted", "yes");
        QJsonObject noChoice = file(4, "e", 1);
        noChoice.remove("file_wanted");
        QJsonObject oddId = file(0, "f", 1);
        oddId.insert("file_id", "5,6");
        model.setFiles({ file(0, "a", 1), oddChoice, noChoice, oddId }, true);
        QCOMPARE(model.wantedList(), QStringLiteral("0,"));
        QCOMPARE(model.unwantedList(), QString());
        model.setData(model.index(1, TaskFilesModel::ColCheck), Qt::Checked, Qt::CheckStateRole);
        QCOMPARE(model.wantedList(), QStringLiteral("0,3,"));
        model.chooseAll(false); // every file touched: all go, but the one without an id
        QCOMPARE(model.unwantedList(), QStringLiteral("0,3,4,"));
    }

    void dialogHeaderBoxAndEmptyTorrent()
    {
        DownloadTaskViewController dialog(
            QJsonObject { { "name", "t" },
                { "files", QJsonArray { file(0, "x", 1024), file(1, "y", 512) } } },
            0, nullptr);
        QVERIFY(dialog.header()->isChecked());
        QCOMPARE(dialog.contentSize(), QStringLiteral("1.50 KB"));
        auto *m = dialog.model();
        m->setData(m->index(1, 0), Qt::Unchecked, Qt::CheckStateRole);
        QVERIFY(!dialog.header()->isChecked());
        QCOMPARE(dialog.contentSize(), QStringLiteral("1.00 KB"));
        m->setData(m->index(1, 0), Qt::Checked, Qt::CheckStateRole);
        QVERIFY(dialog.header()->isChecked());
        emit dialog.header()->checkBoxClicked(true); // clear all
        QVERIFY(!dialog.header()->isChecked());
        QCOMPARE(dialog.contentSize(), QStringLiteral("0.00 KB"));
        emit dialog.header()->checkBoxClicked(false); // choose all
        QCOMPARE(m->indexSet().size(), 2);

        DownloadTaskViewController empty(QJsonObject { { "name", "magnet" } }, 0, nullptr);
        QVERIFY(!empty.tableView()->isEnabled());
        QVERIFY(!empty.header()->isChecked());
        QCOMPARE(empty.contentSize(), QStringLiteral("0.00 KB"));
    }

    void dialogRequestsInBothModes()
    {
        Screen s;
        auto client = s.client;
        QObject observer;
        int refreshes = 0;
        NotificationCenter::defaultCenter()->addObserver(
            kNOTIFY_DOWNLOAD_REFRESH_ITEMS, &observer, [&](const Notification &) { ++refreshes; });

        // New mode: the folder from the NAS, the url when there is no torrent.
        {
            DownloadTaskViewController dialog(
                QJsonObject { { "name", "x" }, { "url", "magnet:?xt=urn:btih:abc" },
                    { "files", QJsonArray { file(0, "a", 1), file(1, "b", 1), file(2, "c", 1) } } },
                0, client);
            QVERIFY(!dialog.editMode());
            QVERIFY(dialog.btnAddTopQueue()->isVisibleTo(&dialog)); // administrator
            QSignalSpy folder(&dialog, &DownloadTaskViewController::defaultFolderLoaded);
            dialog.loadDefaultFolder();
            QVERIFY(folder.wait(5000));
            QCOMPARE(dialog.editDownloadDir()->text(), QStringLiteral("/Download"));
            dialog.model()->setData(dialog.model()->index(1, 0), Qt::Unchecked, Qt::CheckStateRole);
            bool closed = false;
            dialog.setCompletion([&](bool ok, const QVariant &) { closed = ok; });
            dialog.on_Ok();
            QTRY_VERIFY(closed);
            QCOMPARE(s.lastForm("torrent-add"),
                (QJsonObject { { "torrent", "magnet:?xt=urn:btih:abc" },
                    { "download_dir", "/Download" }, { "enable_top_queue", "0" },
                    { "file_unwanted", "1," } }));
            QCOMPARE(refreshes, 1);
        }
    }

    // The dialog's rules without its widgets.
    void newTaskControllerRequests()
    {
        Screen s;
        auto client = s.client;
        CommandOverlay overlay;
        QObject observer;
        int refreshes = 0;
        NotificationCenter::defaultCenter()->addObserver(
            kNOTIFY_DOWNLOAD_REFRESH_ITEMS, &observer, [&](const Notification &) { ++refreshes; });
        auto submit = [](NewTaskController &c) {
            QSignalSpy done(&c, &NewTaskController::submitted);
            if (!c.submit() || !done.wait(5000))
                return false;
            return done[0][0].toBool();
        };

        // A folder chosen before the NAS default arrives is kept; the queue
        // place is sent for an administrator.
        {
            NewTaskController c(
                QJsonObject { { "name", "x" }, { "url", "magnet:?xt=urn:btih:aa1" } }, 0, client,
                &overlay);
            QVERIFY(c.canChooseQueuePlace());
            QSignalSpy loaded(&c, &NewTaskController::defaultFolderLoaded);
            c.loadDefaultFolder();
            c.setFolder("/Public/Mine");
            QVERIFY(loaded.wait(5000));
            QCOMPARE(c.folder(), QStringLiteral("/Public/Mine"));
            c.setTopOfQueue(true);
            QVERIFY(submit(c));
            QCOMPARE(s.lastForm("torrent-add"),
                (QJsonObject { { "torrent", "magnet:?xt=urn:btih:aa1" },
                    { "download_dir", "/Public/Mine" }, { "enable_top_queue", "1" },
                    { "file_unwanted", "" } }));
            QCOMPARE(refreshes, 1);
        }
        // Neither torrent nor url: "undefine", which the NAS refuses; the
        // dialog stays open and nothing is posted.
        {
            NewTaskController c(QJsonObject { { "name", "x" } }, 0, client, &overlay);
            QCOMPARE(c.torrentHandle(), QStringLiteral("undefine"));
            c.setFolder("/Download");
            QVERIFY(!submit(c));
            QCOMPARE(
                s.lastForm("torrent-add").value("torrent").toString(), QStringLiteral("undefine"));
            QCOMPARE(refreshes, 1);
        }
        // Edit mode: the task's folder unchanged, both lists.
        {
            NewTaskController c(
                QJsonObject { { "name", "x" }, { "download_dir", "/Download/Movies" },
                    { "files",
                        QJsonArray { file(0, "a", 1, true), file(1, "b", 1, false),
                            file(2, "c", 1, true) } } },
                1, client, &overlay);
            QVERIFY(c.editMode());
            QVERIFY(!c.canChooseQueuePlace());
            QCOMPARE(c.taskFolder(), QStringLiteral("/Download/Movies"));
            c.setFolder("/elsewhere"); // not editable in this mode: not sent
            QVERIFY(submit(c));
            QCOMPARE(s.lastForm("torrent-set"),
                (QJsonObject { { "id", "1" }, { "download_dir", "/Download/Movies" },
                    { "file_wanted", "0,2," }, { "file_unwanted", "1," } }));
        }
        // Edit mode with a folder that did not come as text: the task stays
        // where the NAS has it (no folder sent).
        {
            NewTaskController c(QJsonObject { { "name", "x" }, { "download_dir", QJsonValue::Null },
                                    { "files", QJsonArray { file(0, "a", 1, true) } } },
                1, client, &overlay);
            QVERIFY(submit(c));
            QCOMPARE(s.lastForm("torrent-set"),
                (QJsonObject { { "id", "1" }, { "file_wanted", "0," }, { "file_unwanted", "" } }));
        }
        // A second send while one is out is refused.
        {
            NewTaskController c(
                QJsonObject { { "name", "x" }, { "url", "magnet:?xt=urn:btih:aa2" } }, 0, client,
                &overlay);
            QSignalSpy done(&c, &NewTaskController::submitted);
            QVERIFY(c.submit());
            QVERIFY(!c.submit());
            QVERIFY(done.wait(5000));
            QCOMPARE(s.sim.server().requestsFor("torrent-add").size(), 3);
        }
    }

    void uploadOpensOneDialogPerNewTorrent()
    {
        Screen s;
        QTemporaryDir dir;
        const QStringList files { writeTorrent(dir, "one", 2), writeTorrent(dir, "two"),
            writeTorrent(dir, "three", 3) };
        QList<QString> shown;
        connect(&s.view, &DownloadViewController::taskDialogOpened, this, [&](QWidget *w) {
            auto *d = qobject_cast<DownloadTaskViewController *>(w);
            shown << d->contentName();
            // Each dialog ends (here by Cancel); the next one follows.
            QTimer::singleShot(0, d, [d] { d->on_Cancel(); });
        });
        s.list()->_add_Torrent_Files(
            { { "items", files }, { "show_dialog_enabled", 1 }, { "save_to", "/Public" } });
        QTRY_COMPARE_WITH_TIMEOUT(shown.size(), 3, 5000);
        QCOMPARE(shown, (QList<QString> { "one", "two", "three" }));
        const QJsonObject upload = s.sim.server().requestsFor("multi-torrent-upload").first();
        QCOMPARE(upload.value("files").toArray().size(), 3);
        QCOMPARE(upload.value("files").toArray()[1].toObject().value("filename").toString(),
            QStringLiteral("two.torrent"));
        QCOMPARE(s.sim.state().tasks().pendingCount(), 3); // cancelled: still waiting

        // Without the dialog the tasks start at once and the list refreshes.
        QSignalSpy applied(s.list(), &TaskListController::listApplied);
        s.list()->_add_Torrent_Files({ { "items", QStringList { writeTorrent(dir, "four") } },
            { "show_dialog_enabled", 0 }, { "save_to", "/Public" } });
        QVERIFY(applied.wait(5000));
        QCOMPARE(shown.size(), 3);
    }

    void unreadableTorrentFileIsReported()
    {
        Screen s;
        RecordingAlertPresenter alerts;
        alerts.answer = 0;
        QSignalSpy unreadable(s.list(), &TaskListController::uploadFileUnreadable);
        s.list()->_add_Torrent_Files({ { "items", QStringList { "/nonexistent/gone.torrent" } },
            { "show_dialog_enabled", 1 }, { "save_to", "/Download" } });
        QVERIFY(unreadable.wait(5000));
        QCOMPARE(unreadable[0][0].toString(), QStringLiteral("/nonexistent/gone.torrent"));
        QVERIFY(alerts.shown.last().request.message.contains("gone.torrent"));
        QVERIFY(s.sim.server().requestsFor("multi-torrent-upload").isEmpty());
    }

    void aFileThatIsNotATorrentIsRefusedWithAMessage()
    {
        Screen s;
        RecordingAlertPresenter alerts;
        alerts.answer = 0;
        s.client->setShowErrorAlert(true);
        QTemporaryDir dir;
        QFile junk(dir.filePath("holiday.torrent"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("<html>not a torrent</html>");
        junk.close();
        QSignalSpy applied(s.list(), &TaskListController::listApplied);
        s.list()->_add_Torrent_Files({ { "items", QStringList { junk.fileName() } },
            { "show_dialog_enabled", 1 }, { "save_to", "/Download" } });
        QVERIFY(applied.wait(5000)); // nothing to set up: the list is refreshed
        QCOMPARE(s.sim.server().requestsFor("multi-torrent-upload").size(), 1);
        QCOMPARE(alerts.shown.size(), 1);
        QVERIFY(!alerts.shown[0].request.message.isEmpty());
        QCOMPARE(s.sim.state().tasks().pendingCount(), 0);
    }

    void linksGoWithTheirOptionsAndDropsAdd()
    {
        Screen s;
        QSignalSpy applied(s.list(), &TaskListController::listApplied);
        s.list()->_add_Download_Links(
            { { "items", QStringList { " ftp://x/a", "https://m.example/f.iso  ", "" } },
                { "save_to", "/Public" }, { "show_dialog_enabled", 0 },
                { "auto_torrent_enabled", 1 }, { "auth_enabled", 1 }, { "auth_account", "u" },
                { "auth_password", "p" } });
        QVERIFY(applied.wait(5000)); // no torrent_list: just a refresh
        QCOMPARE(s.lastForm("download-add"),
            (QJsonObject { { "url", "https://m.example/f.iso\n" }, { "save_to", "/Public" },
                { "show_dialog_enabled", "0" }, { "auto_torrent_enabled", "1" },
                { "auth_enabled", "1" }, { "auth_account", "u" }, { "auth_password", "p" } }));

        // Dropped magnet text: the NAS default folder, the dialog asked for.
        s.view.refresh_Items();
        QVERIFY(applied.wait(5000)); // the add button is enabled by a list
        QMimeData mime;
        mime.setText("magnet:?xt=urn:btih:feed&dn=Dropped\nnot a link");
        QMimeData nothing;
        nothing.setText("just words");
        QVERIFY(!s.list()->canAddDropped(&nothing));
        QVERIFY(s.list()->canAddDropped(&mime));
        QSignalSpy opened(&s.view, &DownloadViewController::taskDialogOpened);
        QVERIFY(s.list()->addDropped(&mime));
        QVERIFY(opened.wait(5000));
        QCOMPARE(s.lastForm("download-add").value("url").toString(),
            QStringLiteral("magnet:?xt=urn:btih:feed&dn=Dropped\n"));
        QCOMPARE(s.lastForm("download-add").value("show_dialog_enabled").toString(),
            QStringLiteral("1"));
        QCOMPARE(qobject_cast<DownloadTaskViewController *>(opened[0][0].value<QWidget *>())
                     ->contentName(),
            QStringLiteral("Dropped"));
    }

    // A hand-over while the list's overlay is busy waits for it; it is not
    // dropped.
    void handOverWhileBusyWaitsForTheOverlay()
    {
        Screen s;
        QSignalSpy applied(s.list(), &TaskListController::listApplied);
        s.view.refresh_Items();
        QVERIFY(applied.wait(5000));
        QVERIFY(s.list()->overlay()->hold());
        bool sent = false;
        s.list()->on_Open_With_Items(
            {}, { "magnet:?xt=urn:btih:busy&dn=Busy" }, [&](bool ok) { sent = ok; });
        QCoreApplication::processEvents();
        QVERIFY(s.sim.server().requestsFor("download-add").isEmpty());
        s.list()->overlay()->release();
        QTRY_COMPARE(s.sim.server().requestsFor("download-add").size(), 1);
        QTRY_VERIFY(sent);
        closeSheets();
    }

    void multiDownloadManualChain()
    {
        Screen s;
        auto client = s.client;
        const QJsonArray torrents { QJsonObject { { "torrent", "http://feeds.example/a.torrent" } },
            QJsonObject { { "torrent", "http://fail.example/b.torrent" } },
            QJsonObject { { "torrent", "http://fail.example/c.torrent" },
                { "magnet", "magnet:?xt=urn:btih:c" } } };
        MultiDownloadWizardViewController wizard(client, 1, torrents);
        wizard.setManualMode(true);
        QSignalSpy batch(&wizard, &MultiDownloadWizardViewController::batchFinished);
        wizard.on_Ok();
        QCOMPARE(wizard.currentPage(), QStringLiteral("SelTorrent"));
        QVERIFY(batch.wait(5000));
        MultiDownloadResultModel *m = wizard.model();
        QCOMPARE(m->rowCount(), 3);
        QVERIFY(m->flags(m->index(0, 0)) & Qt::ItemIsEnabled);
        QVERIFY(!(m->flags(m->index(1, 0)) & Qt::ItemIsEnabled));
        QVERIFY(!m->data(m->index(1, 0), Qt::DecorationRole).isNull()); // failure mark
        QVERIFY(m->data(m->index(0, 0), Qt::DecorationRole).isNull());
        QCOMPARE(m->records()[2].value("url").toString(), QStringLiteral("magnet:?xt=urn:btih:c"));
        QCOMPARE(wizard.btnOk()->text(), localized("START"));
        QVERIFY(!wizard.btnSuccessDesc()->isVisibleTo(&wizard));

        QList<QJsonObject> dialogs;
        connect(
            &wizard, &MultiDownloadWizardViewController::taskDialogOpened, this, [&](QWidget *w) {
                auto *d = qobject_cast<DownloadTaskViewController *>(w);
                dialogs << d->torrentInfo();
                QTimer::singleShot(0, d, [d] { d->on_Cancel(); });
            });
        QObject observer;
        int refreshes = 0;
        NotificationCenter::defaultCenter()->addObserver(
            kNOTIFY_DOWNLOAD_REFRESH_ITEMS, &observer, [&](const Notification &) { ++refreshes; });
        bool closed = false;
        wizard.setCompletion([&](bool ok, const QVariant &) { closed = ok; });
        wizard.on_Ok(); // START
        QTRY_VERIFY(closed);
        QCOMPARE(dialogs.size(), 2); // rows 0 and 2; the failed row is skipped
        QCOMPARE(dialogs[0].value("name").toString(), QStringLiteral("a"));
        QCOMPARE(dialogs[1].value("url").toString(), QStringLiteral("magnet:?xt=urn:btih:c"));
        QVERIFY(dialogs[1].value("files").toArray().isEmpty());
        QCOMPARE(refreshes, 1);
    }

    void multiDownloadAutomaticUsesTheDefaultFolder()
    {
        Screen s;
        auto client = s.client;
        // A preference without default_dl_dir: "/Download".
        s.sim.server().on(kCgiPathBtdlm, "get-user-pref", true, [](nassim::Call &) {
            return SimReply::ok({ { "max_dl_number", 3 } });
        });
        s.client->setShowErrorAlert(true);
        const QJsonArray torrents { QJsonObject { { "torrent", "http://feeds.example/a.torrent" } },
            QJsonObject { { "torrent", "http://fail.example/b.torrent" },
                { "magnet", "magnet:?xt=urn:btih:b" } },
            QJsonObject { { "torrent", "http://fail.example/c.torrent" } } };
        MultiDownloadWizardViewController wizard(client, 1, torrents);
        QSignalSpy batch(&wizard, &MultiDownloadWizardViewController::batchFinished);
        wizard.on_Ok();
        QVERIFY(batch.wait(5000));
        QVERIFY(s.client->showErrorAlert()); // switched on again
        const auto adds = s.sim.server().requestsFor("torrent-add");
        QCOMPARE(adds.size(), 2);
        for (const auto &a : adds) {
            QCOMPARE(a.value("form").toObject().value("download_dir").toString(),
                QStringLiteral("/Download"));
            QCOMPARE(a.value("form").toObject().value("enable_top_queue").toString(),
                QStringLiteral("1"));
        }
        QCOMPARE(adds[1].value("form").toObject().value("torrent").toString(),
            QStringLiteral("magnet:?xt=urn:btih:b"));
        MultiDownloadResultModel *m = wizard.model();
        QVERIFY(MultiDownloadResultModel::succeeded(m->records()[0]));
        QVERIFY(!MultiDownloadResultModel::succeeded(m->records()[2]));
        QVERIFY(!m->data(m->index(0, 0), Qt::DecorationRole).isNull()); // success mark
        QCOMPARE(wizard.btnOk()->text(), localized("COMPLETE"));
        QVERIFY(!wizard.header()->isCheckBoxVisible());
        bool closed = false;
        wizard.setCompletion([&](bool ok, const QVariant &) { closed = ok; });
        wizard.on_Ok();
        QVERIFY(closed);
    }
};

QTEST_MAIN(TestAddTasks)
#include "tst_addtasks.moc"
