// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// How tasks come to the NAS, headless against the simulated NAS: the one
// default-folder lookup, the torrent link with its bare-link fallback, and
// the multi-download batch; and the commands' request pairs.
#include "TaskListScreen.h"

#include "api/CgiOperations.h"
#include "api/JsonUtil.h"
#include "api/Localization.h"
#include "models/TaskIntake.h"
#include "tasks/TaskCommands.h"

#include <QtTest>

using namespace flk;

class TestTaskIntake : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(installTranslations()); }
    void cleanup() { waitForNetworkWork(); }

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
