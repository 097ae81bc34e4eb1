// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// The delete, folder-choice and folder-creation sheets: the tree read level
// by level from the NAS, re-read on every opening, and a new folder created
// under the selection and selected; the first default folder saved.
#include "SimFixture.h"
#include "TestUtil.h"

#include "api/CgiCtrl.h"
#include "api/CommandOverlay.h"
#include "api/Localization.h"
#include "models/FolderChooser.h"
#include "models/FolderTreeModel.h"
#include "preferences/FirstFolderController.h"
#include "ui/FolderCreateViewController.h"
#include "ui/FolderSelViewController.h"

#include <QApplication>
#include <QJsonArray>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeView>
#include <QtTest>

using namespace flk;

namespace {
QStringList forms(SimFixture &sim, const QString &act, const QString &key)
{
    QStringList out;
    for (const QJsonObject &r : sim.server().requestsFor(act))
        out << r.value("form").toObject().value(key).toString();
    return out;
}
} // namespace

class TestFolders : public QObject
{
    Q_OBJECT

    std::unique_ptr<SimFixture> sim;
    std::shared_ptr<CgiCtrl> client;

private slots:
    void initTestCase() { installTranslations(); }

    void init()
    {
        sim = std::make_unique<SimFixture>();
        client = std::make_shared<CgiCtrl>();
        Error e;
        QVERIFY(onWorker(
            [&] { return client->login_Server(sim->http(), "admin", "admin", false, &e); }));
        sim->server().clearLog();
    }

    void cleanup()
    {
        client.reset();
        sim.reset();
    }

    void modelRules()
    {
        FolderTreeModel m;
        m.setChildren({},
            QJsonArray { QJsonObject { { "id", "/A" }, { "text", "A" } }, 7,
                QJsonObject { { "text", "no id" } }, QJsonObject { { "id", "/B/C" } } });
        QCOMPARE(m.rowCount(), 2);
        QCOMPARE(m.folderText(m.index(1, 0)), QStringLiteral("C")); // name from the path
        const QModelIndex a = m.index(0, 0);
        QVERIFY(m.hasChildren(a)); // unread: shows an arrow
        m.setChildren(a, {});
        QVERIFY(!m.hasChildren(a)); // read and empty: no arrow
        m.setChildren(a, QJsonArray { QJsonObject { { "id", "/A/x" }, { "text", "x" } } });
        QCOMPARE(m.indexOfId("/A/x"), m.index(0, 0, a));
        QCOMPARE(m.childNamed(a, "x"), m.index(0, 0, a));
        QVERIFY(!m.childNamed(a, "y").isValid());
    }

    void chooserReadsLevelsAndEnablesOk()
    {
        FolderSelViewController sheet(client);
        QSignalSpy loaded(&sheet, &FolderSelViewController::levelLoaded);
        QVERIFY(loaded.wait(5000));
        QCOMPARE(forms(*sim, "get_tree", "node"), QStringList { "share_folders" });
        QCOMPARE(sheet.model()->rowCount(), 3);
        QVERIFY(!sheet.btnOk()->isEnabled());
        QVERIFY(!sheet.btnCreateFolder()->isEnabled());

        const QModelIndex download = sheet.model()->index(0, 0);
        sheet.outlineView()->expand(download);
        QVERIFY(loaded.wait(5000));
        QVERIFY(sheet.model()->rowCount(download) >= 4);
        // Opening again reads again.
        sheet.outlineView()->collapse(download);
        sheet.outlineView()->expand(download);
        QVERIFY(loaded.wait(5000));
        QCOMPARE(forms(*sim, "get_tree", "node"),
            (QStringList { "share_folders", "/Download", "/Download" }));

        sheet.outlineView()->setCurrentIndex(sheet.model()->index(1, 0, download));
        QVERIFY(sheet.btnOk()->isEnabled());
        QVERIFY(sheet.btnCreateFolder()->isEnabled());
        QCOMPARE(sheet.resultObject().toString(),
            sheet.model()->folderId(sheet.model()->index(1, 0, download)));
    }

    // The chooser's rules headless: levels, the choice, a folder made
    // inside it (announced after its parent is read again), a refusal.
    void chooserWithoutWidgets()
    {
        FolderChooser chooser(client);
        QSignalSpy loaded(&chooser, &FolderChooser::levelLoaded);
        chooser.loadRoot();
        QVERIFY(loaded.wait(5000));
        QCOMPARE(chooser.model()->rowCount(), 3);
        QVERIFY(!chooser.hasChoice());
        bool refused = true;
        chooser.createFolder("nowhere", [&](bool ok) { refused = !ok; });
        QVERIFY(refused); // nothing chosen: nothing sent
        QVERIFY(sim->server().requestsFor("createdir").isEmpty());

        const QModelIndex publicFolder = chooser.model()->indexOfId("/Public");
        chooser.choose(publicFolder);
        QCOMPARE(chooser.chosenPath(), QStringLiteral("/Public"));
        QSignalSpy reread(&chooser, &FolderChooser::aboutToReread);
        QSignalSpy created(&chooser, &FolderChooser::folderCreated);
        std::optional<bool> answer;
        chooser.createFolder("Fresh", [&](bool ok) { answer = ok; });
        QVERIFY(created.wait(5000));
        QCOMPARE(answer, std::optional<bool>(true));
        QCOMPARE(reread.size(), 1);
        QCOMPARE(chooser.model()->folderId(created[0][0].toModelIndex()),
            QStringLiteral("/Public/Fresh"));
        // The same name again: refused, nothing read again.
        answer.reset();
        chooser.createFolder("Fresh", [&](bool ok) { answer = ok; });
        QTRY_VERIFY(answer.has_value());
        QCOMPARE(*answer, false);
        QCOMPARE(reread.size(), 1);
        // A choice that went with a newer read of its parent is no choice.
        chooser.choose(chooser.model()->indexOfId("/Public/Fresh"));
        QVERIFY(chooser.hasChoice());
        chooser.loadChildren(QPersistentModelIndex(chooser.model()->indexOfId("/Public")));
        QVERIFY(!chooser.hasChoice());
    }

    void firstFolderIsSavedOnce()
    {
        sim->server().applyControl("prefs", "missing");
        CommandOverlay overlay;
        FirstFolderController first(client, &overlay);
        QCOMPARE(first.folder(), QStringLiteral("/Download"));
        // A folder the NAS does not have is refused; the sheet can try again.
        first.setFolder("/Public/Gone");
        QSignalSpy saved(&first, &FirstFolderController::saved);
        QVERIFY(first.save());
        QVERIFY(!first.save()); // one request at a time
        QVERIFY(saved.wait(5000));
        QCOMPARE(saved.takeFirst().at(0).toBool(), false);
        QVERIFY(!sim->state().preferences("admin").has_value());
        first.setFolder("/Public");
        QVERIFY(first.save());
        QVERIFY(saved.wait(5000));
        QCOMPARE(saved.takeFirst().at(0).toBool(), true);
        const auto sent = sim->server().requestsFor("set-user-initial-pref");
        QCOMPARE(sent.size(), 2);
        QCOMPARE(sent[1].value("form").toObject().value("default_dl_dir").toString(),
            QStringLiteral("/Public"));
        QCOMPARE(sim->state().preferences("admin")->value("default_dl_dir").toString(),
            QStringLiteral("/Public"));
    }

    void failedListingShowsAnEmptyLevel()
    {
        sim->server().applyControl("non_json", "1");
        FolderSelViewController sheet(client);
        QSignalSpy loaded(&sheet, &FolderSelViewController::levelLoaded);
        QVERIFY(loaded.wait(5000));
        QCOMPARE(sheet.model()->rowCount(), 0);
    }

    void createUnderACollapsedFolderSelectsIt()
    {
        FolderSelViewController sheet(client);
        QSignalSpy loaded(&sheet, &FolderSelViewController::levelLoaded);
        QVERIFY(loaded.wait(5000));
        const QModelIndex publicFolder = sheet.model()->index(1, 0);
        QCOMPARE(sheet.model()->folderId(publicFolder), QStringLiteral("/Public"));
        sheet.outlineView()->setCurrentIndex(publicFolder);
        QVERIFY(!sheet.outlineView()->isExpanded(publicFolder));

        sheet.on_Create_Folder();
        FolderCreateViewController *create = nullptr;
        QTRY_VERIFY((create = sheet.window()->findChild<FolderCreateViewController *>()) || [&] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if ((create = w->findChild<FolderCreateViewController *>()))
                    return true;
            return false;
        }());
        QVERIFY(!create->btnOk()->isEnabled());
        create->nameField()->setText("Q");
        QVERIFY(create->btnOk()->isEnabled());
        create->nameField()->setText("");
        QVERIFY(!create->btnOk()->isEnabled());
        create->nameField()->setText("Old & New #2");
        QCOMPARE(create->resultObject().toString(), QStringLiteral("Old & New #2"));
        create->btnOk()->click();

        QTRY_VERIFY(sheet.outlineView()->isExpanded(sheet.model()->indexOfId("/Public")));
        QTRY_COMPARE(sheet.resultObject().toString(), QStringLiteral("/Public/Old & New #2"));
        const auto created = sim->server().requestsFor("createdir");
        QCOMPARE(created.size(), 1);
        QCOMPARE(created[0].value("form").toObject(),
            (QJsonObject { { "dest_path", "/Public" }, { "dest_folder", "Old & New #2" } }));
        QCOMPARE(forms(*sim, "get_tree", "node"), (QStringList { "share_folders", "/Public" }));

        // A name the NAS refuses leaves the tree as it was, and its sheet
        // stays open with the name to correct.
        const int rows = sheet.model()->rowCount(sheet.model()->indexOfId("/Public"));
        sheet.outlineView()->setCurrentIndex(sheet.model()->indexOfId("/Public"));
        sheet.on_Create_Folder();
        FolderCreateViewController *again = nullptr;
        QTRY_VERIFY([&] {
            for (QWidget *w : QApplication::topLevelWidgets())
                for (auto *c : w->findChildren<FolderCreateViewController *>())
                    if (c->isVisible() && c != create)
                        again = c;
            return again != nullptr;
        }());
        QPointer<FolderCreateViewController> alive(again);
        again->nameField()->setText("Old & New #2");
        again->btnOk()->click();
        QTRY_COMPARE(sim->server().requestsFor("createdir").size(), 2);
        QTRY_VERIFY(!alive || !again->isSubmitting());
        settleEverything();
        QVERIFY(alive && again->isVisible());
        QCOMPARE(again->nameField()->text(), QStringLiteral("Old & New #2"));
        QCOMPARE(sheet.model()->rowCount(sheet.model()->indexOfId("/Public")), rows);
        again->on_Cancel();
    }
};

QTEST_MAIN(TestFolders)
#include "tst_folders.moc"
