// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// How tasks come to the NAS, headless against the simulated NAS: the add
// sheet's requests, hand-overs and drops, the new-task dialog chain, the one
// default-folder lookup, the torrent link with its bare-link fallback, and
// the multi-download batch; the commands' request pairs and the finished
// check.
#include "TaskListScreen.h"

#include "api/CgiOperations.h"
#include "api/JsonUtil.h"
#include "api/Localization.h"
#include "models/TaskIntake.h"
#include "tasks/FinishedTaskCheck.h"
#include "tasks/TaskCommands.h"

#include <QMimeData>
#include <QtTest>

using namespace flk;

class TestTaskIntake : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(installTranslations()); }
    void cleanup() { waitForNetworkWork(); }

    void theSheetSendsLinksWithTheirOptionsOrFiles()
    {
        SignedInClient s;
        CgiCtrl *c = s.client.get();
        const QVariantMap links {
            { "items", QStringList { "ftp://x/a\t ", " https://skipped", "not a link", "" } },
            { "save_to", "/Public" }, { "show_dialog_enabled", 1 }, { "auto_torrent_enabled", 0 },
            { "auth_enabled", 1 }, { "auth_account", "u" }, { "auth_password", "p" }
        };
        onWorker([c, links] {
            Error e;
            return TaskIntake::fromSheet(links)(c, &e).has_value();
        });
        QCOMPARE(s.lastForm("download-add"),
            (QJsonObject { { "url", "ftp://x/a\n" }, { "save_to", "/Public" },
                { "show_dialog_enabled", "1" }, { "auto_torrent_enabled", "0" },
                { "auth_enabled", "1" }, { "auth_account", "u" }, { "auth_password", "p" } }));

        // Without "auto_torrent_enabled" the items are torrent files; one
        // that cannot be read is reported by name and nothing is sent.
        const QVariantMap files { { "items", QStringList { "/nonexistent/gone.torrent" } },
            { "save_to", "/Public" }, { "show_dialog_enabled", 1 } };
        const Error failure = onWorker([c, files] {
            Error e;
            TaskIntake::fromSheet(files)(c, &e);
            return e;
        });
        QVERIFY(failure.is(kTransportErrorDomain, kTransportFileNotReadable));
        QCOMPARE(
            failure.userInfo.value("path").toString(), QStringLiteral("/nonexistent/gone.torrent"));
    }

    void handedOverItemsGoToTheDefaultFolderOrWait()
    {
        SignedInClient s;
        CgiCtrl *c = s.client.get();
        QJsonObject prefs = *s.sim.state().preferences("admin");
        prefs.insert("default_dl_dir", "/Volume2/Incoming");
        s.sim.state().setPreferences("admin", prefs);
        QMimeData mime;
        mime.setText("magnet:?xt=urn:btih:feed&dn=Dropped\njust words");
        const TaskIntake::Items items = TaskIntake::dropped(&mime);
        QCOMPARE(items.links, QStringList { "magnet:?xt=urn:btih:feed&dn=Dropped" });
        QVERIFY(items.files.isEmpty());
        // Handed over by path or link: links go as link text, the rest as files.
        const TaskIntake::Items handed = TaskIntake::handedOverItems(
            { "/home/u/a.torrent", "MAGNET:?xt=urn:btih:ab", "not-a-link.txt" });
        QCOMPARE(handed.links, QStringList { "MAGNET:?xt=urn:btih:ab" });
        QCOMPARE(handed.files, (QStringList { "/home/u/a.torrent", "not-a-link.txt" }));
        QMimeData words;
        words.setText("just words");
        QVERIFY(TaskIntake::dropped(&words).isEmpty());

        const auto sent = onWorker([c, items] {
            Error e;
            return TaskIntake::handedOver(items.files, items.links)(c, &e);
        });
        QVERIFY(sent);
        const QJsonObject form = s.lastForm("download-add");
        QCOMPARE(form.value("save_to").toString(), QStringLiteral("/Volume2/Incoming"));
        QCOMPARE(form.value("show_dialog_enabled").toString(), QStringLiteral("1"));
        QCOMPARE(form.value("auto_torrent_enabled").toString(), QStringLiteral("0"));

        // A NAS without preferences gets nothing, and the caller learns why
        // (it keeps the items until they are set).
        QVERIFY(s.sim.server().applyControl("prefs", "missing"));
        const Error why = onWorker([c, items] {
            Error e;
            TaskIntake::handedOver(items.files, items.links)(c, &e);
            return e;
        });
        QVERIFY(why.is(kCgiErrorDomain, kCgiErrorNoPreference));
        QCOMPARE(s.sim.server().requestsFor("download-add").size(), 1);
    }

    void oneDialogPerNewTorrentInOrder()
    {
        NewTaskChain chain;
        const QJsonArray torrents { QJsonObject { { "name", "a" } },
            QJsonObject { { "name", "b" } }, QJsonObject { { "name", "c" } } };
        QCOMPARE(chain.start(torrents, 1).value_or(QJsonObject()).value("name").toString(), "b");
        QCOMPARE(chain.index(), 1);
        QCOMPARE(chain.next().value_or(QJsonObject()).value("name").toString(), "c");
        QVERIFY(!chain.next()); // that was the last: the chain ends
        QVERIFY(!chain.isRunning());
        QVERIFY(!chain.next());
        QVERIFY(!chain.start(torrents, 3));
        QVERIFY(!chain.start(torrents, -1));
        QVERIFY(!chain.start({}));
        QVERIFY(chain.start(torrents));
        chain.clear();
        QVERIFY(!chain.next());
    }

    void theFinishedCheckAsksOnceWhenTheCountsMove()
    {
        QTemporaryDir dir;
        FinishedTasksWatcher watcher(dir.filePath("finished.json"));
        FinishedTaskCheck check;
        const QVariantMap counts { { "completed", 2 }, { "all", 5 } };
        QVERIFY(!check.onList(counts, {}, 0, QString())); // no watcher: nothing asked
        check.setWatcher(&watcher);
        TaskRow done;
        done.edit().type = "BT";
        done.edit().id = 4;
        done.edit().cells[TaskListModel::ColName] = "Done";
        // Another list on show: the finished category is fetched, once.
        QVERIFY(check.onList(counts, {}, 0, QString()));
        const std::optional<qint64> wanted = check.take();
        QVERIFY(wanted);
        QVERIFY(!check.take());
        check.deliver(*wanted, { done });
        QVERIFY(watcher.knownKeys().contains(done.key()));
        // The same counts again: nothing to check.
        QVERIFY(!check.onList(counts, {}, 0, QString()));
        // The unfiltered finished list on show answers at once; a filtered
        // one does not.
        const QVariantMap moved { { "completed", 3 }, { "all", 5 } };
        QVERIFY(check.onList(moved, {}, FinishedTaskCheck::kFinishedCategory, "Do"));
        check.take();
        TaskRow also = done;
        also.edit().id = 9;
        QList<FinishedTask> news;
        connect(&watcher, &FinishedTasksWatcher::finished, this,
            [&news](const QList<FinishedTask> &tasks, bool) { news += tasks; });
        const QVariantMap again { { "completed", 4 }, { "all", 6 } };
        QVERIFY(!check.onList(again, { done, also }, FinishedTaskCheck::kFinishedCategory, {}));
        QVERIFY(!check.take());
        QCOMPARE(news, (QList<FinishedTask> { { also.key(), "Done" } }));
    }

    void oneDefaultFolderWithOneFallback()
    {
        SignedInClient s;
        CgiCtrl *c = s.client.get();
        auto folder = [c](Error *e) {
            return onWorker([c, e] { return TaskIntake::defaultFolder(c, e); });
        };
        Error e;
        QCOMPARE(folder(&e).value_or("none"), QStringLiteral("/Download"));

        // A folder the NAS gives as text is taken; one in another form is not.
        QJsonObject prefs = *s.sim.state().preferences("admin");
        prefs.insert("default_dl_dir", "/Volume2/Incoming");
        s.sim.state().setPreferences("admin", prefs);
        QCOMPARE(folder(&e).value_or("none"), QStringLiteral("/Volume2/Incoming"));
        prefs.insert("default_dl_dir", 42);
        s.sim.state().setPreferences("admin", prefs);
        QCOMPARE(folder(&e).value_or("none"), QString::fromLatin1(TaskIntake::kStandardFolder));

        // No preferences yet: none, and the caller learns why.
        QVERIFY(s.sim.server().applyControl("prefs", "missing"));
        Error missing;
        QVERIFY(!folder(&missing));
        QVERIFY(missing.is(kCgiErrorDomain, kCgiErrorNoPreference));
    }

    void aTorrentLinkOrTheBareLink()
    {
        SignedInClient s;
        CgiCtrl *c = s.client.get();
        const QJsonObject read = onWorker([c] {
            return TaskIntake::torrentOrLink(
                c, "https://releases.example.org/t/Show.S01E01.torrent");
        });
        QVERIFY(read.contains("files") || read.contains("torrent"));
        QVERIFY(json::stringValue(read, u"name").contains("Show.S01E01"));
        // The NAS cannot read it: the dialog gets the bare link, the magnet first.
        const QString magnet = "magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567";
        QCOMPARE(onWorker([c, magnet] {
            return TaskIntake::torrentOrLink(c, "https://fail.example.org/x.torrent", magnet);
        }),
            QJsonObject({ { "url", magnet } }));
        QCOMPARE(onWorker([c] { return TaskIntake::torrentOrLink(c, "ftp://x/y.torrent"); }),
            QJsonObject({ { "url", "ftp://x/y.torrent" } }));
    }

    void theBatchAddsEachOrSaysWhyPerRow()
    {
        SignedInClient s;
        CgiCtrl *c = s.client.get();
        c->setShowErrorAlert(true);
        const QJsonArray torrents {
            QJsonObject { { "torrent", "https://releases.example.org/t/A.torrent" } },
            QJsonObject { { "torrent", "https://fail.example.org/B.torrent" },
                { "magnet", "magnet:?xt=urn:btih:bbbb" } },
            QJsonObject { { "torrent", "https://fail.example.org/C.torrent" } },
        };
        const QList<QJsonObject> rows
            = onWorker([c, torrents] { return TaskIntake::addBatch(c, torrents, false, 1); });
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0].value("success").toBool(), true);
        QCOMPARE(rows[1].value("name").toString(), QStringLiteral("magnet:?xt=urn:btih:bbbb"));
        QCOMPARE(rows[2].value("success").toBool(), false);
        QVERIFY(c->showErrorAlert()); // restored after the batch
        // Each added one went to the default folder at the top of the queue.
        for (const QJsonObject &entry : s.sim.server().requestsFor("torrent-add")) {
            const QJsonObject form = entry.value("form").toObject();
            QCOMPARE(form.value("download_dir").toString(), QStringLiteral("/Download"));
        }
        // Manual mode reads each for the dialog and adds nothing.
        s.sim.server().clearLog();
        const QList<QJsonObject> manual
            = onWorker([c, torrents] { return TaskIntake::addBatch(c, torrents, true, 1); });
        QCOMPARE(manual.size(), 3);
        QCOMPARE(manual[1].value("url").toString(), QStringLiteral("magnet:?xt=urn:btih:bbbb"));
        QVERIFY(s.sim.server().requestsFor("torrent-add").isEmpty());
        // Without the default folder nothing is sent.
        QVERIFY(s.sim.server().applyControl("prefs", "missing"));
        QVERIFY(onWorker([c, torrents] {
            return TaskIntake::addBatch(c, torrents, false, 1);
        }).isEmpty());
    }

    void eachCommandSendsItsPairAndSkipsAnEmptyHalf()
    {
        SignedInClient s;
        CgiCtrl *c = s.client.get();
        using C = TaskCommands::Command;
        auto send = [c](C command, TaskCommands::Ids ids, int mode = 0) {
            onWorker([c, command, ids, mode] {
                TaskCommands::send(c, command, ids, mode);
                return true;
            });
        };
        send(C::Start, { "1,2", "", "1,2" });
        QCOMPARE(s.lastForm("torrent-start").value("id").toString(), QStringLiteral("1,2"));
        QVERIFY(s.sim.server().requestsFor("download-start").isEmpty());
        send(C::Pause, { "", "7", "7" });
        QCOMPARE(s.lastForm("download-stop").value("id").toString(), QStringLiteral("7"));
        QVERIFY(s.sim.server().requestsFor("torrent-stop").isEmpty());
        send(C::Up, { "1", "7", "7,1" });
        QCOMPARE(s.lastForm("torrent-queue").value("id").toString(), QStringLiteral("7,1"));
        send(C::Delete, { "1", "7", "1,7" }, 1);
        QCOMPARE(s.lastForm("torrent-remove").value("id").toString(), QStringLiteral("1"));
        QCOMPARE(s.lastForm("download-delete").value("id").toString(), QStringLiteral("7"));
        QCOMPARE(s.lastForm("torrent-remove").value("mode").toString(), QStringLiteral("1"));
        send(C::Start, { "", "", "" }); // nothing selected of either kind: nothing sent
        QCOMPARE(s.sim.server().requestsFor("torrent-start").size(), 1);
    }
};

QTEST_MAIN(TestTaskIntake)
#include "tst_taskintake.moc"
