// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// Ferrylink on the desktop: progress cells, menu mnemonics, the remembered
// layout, finished-task notifications through a notification service of the
// test's own, and keyboard access to the task list.
#include "FakeNotifications.h"
#include "TaskListScreen.h"

#include "api/Localization.h"
#include "app/AppDelegate.h"
#include "app/DesktopIntegration.h"
#include "app/FLKMainViewController.h"
#include "app/HostViewController.h"
#include "desktop/DesktopNotifier.h"
#include "desktop/FinishedTasksWatcher.h"
#include "desktop/LayoutState.h"
#include "models/DisplayText.h"
#include "models/Mnemonics.h"
#include "servers/DefaultsStore.h"
#include "servers/FavoriteManager.h"
#include "ui/ProgressDelegate.h"

#include <QAccessible>
#include <QHeaderView>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QTableView>
#include <QToolButton>
#include <QUuid>

using namespace flk;

namespace {
QString letterAfterAmpersand(const QString &text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) == u'&' && text.at(i + 1) != u'&')
            return text.at(i + 1).toLower();
        if (text.at(i) == u'&')
            ++i;
    }
    return QString();
}

nassim::NasTasks::Task finishedTask(const QString &name)
{
    nassim::NasTasks::Task t;
    t.type = QStringLiteral("HTTP/FTP");
    t.name = name;
    t.size = 1000;
    t.progress = 1;
    t.status = nassim::NasTasks::Completed;
    t.completeTime = QDateTime::currentSecsSinceEpoch();
    return t;
}
} // namespace

class TestDesktop : public QObject
{
    Q_OBJECT

private slots:
    void progressTextsAreReadAndClamped()
    {
        QCOMPARE(progressPercent("45.2%"), std::optional<double>(45.2));
        QCOMPARE(progressPercent(" 7 %"), std::optional<double>(7));
        QCOMPARE(progressPercent("12,5%"), std::optional<double>(12.5));
        QCOMPARE(progressPercent("100.0%"), std::optional<double>(100));
        QCOMPARE(progressPercent("250%"), std::optional<double>(100));
        QCOMPARE(progressPercent("-3.5%"), std::optional<double>(0));
        QCOMPARE(progressPercent("1e308"), std::optional<double>(1));
        QVERIFY(!progressPercent("").has_value());
        QVERIFY(!progressPercent("n/a").has_value());
        QVERIFY(!progressPercent("%").has_value());
        QVERIFY(!progressPercent(".5").has_value());
    }

    void progressColumnDrawsABarAndKeepsTheText()
    {
        TaskListScreen s(true);
        QTableView *table = s.view.tableView();
        QVERIFY(qobject_cast<ProgressDelegate *>(
            table->itemDelegateForColumn(TaskListModel::ColPercent)));
        // The text stays what the NAS sent, for copying and screen readers.
        const QString text
            = s.list()->model()->index(0, TaskListModel::ColPercent).data().toString();
        QVERIFY(text.endsWith(u'%'));
        // Painting odd values draws without trouble.
        TaskListController list;
        QJsonArray files;
        for (const char *p : { "-5%", "0%", "37.5%", "100%", "900%", "", "n/a" })
            files.append(QJsonObject {
                { "id", files.size() + 1 }, { "type", "BT" }, { "name", "x" }, { "percent", p } });
        list.applyList(TaskListModel::decode(QJsonObject { { "files", files } }));
        QTableView view;
        view.setModel(list.model());
        view.setItemDelegateForColumn(TaskListModel::ColPercent, new ProgressDelegate(&view));
        view.resize(600, 300);
        QImage image(view.size(), QImage::Format_ARGB32);
        view.render(&image);
        QCOMPARE(list.model()->index(4, TaskListModel::ColPercent).data().toString(), "900%");
    }

    void mnemonicsAreUniqueWithinAMenu()
    {
        const QStringList marked
            = assignMnemonics({ "Add Server", "Remove Server", "Reconnect Server", "",
                "Previous Server", "Next Server", "&Quit", "Tom & Jerry", "サーバー" });
        QCOMPARE(marked.at(0), "&Add Server");
        QCOMPARE(marked.at(1), "&Remove Server");
        QCOMPARE(marked.at(2), "Reconnect &Server");
        QCOMPARE(marked.at(3), QString());
        QCOMPARE(marked.at(6), "&Quit");
        QVERIFY(marked.at(7).contains("&&"));
        QVERIFY(marked.at(8).startsWith(QStringLiteral("サーバー(&")));
        QSet<QString> letters;
        for (const QString &m : marked) {
            if (m.isEmpty())
                continue;
            const QString l = letterAfterAmpersand(m);
            QVERIFY2(!l.isEmpty(), qPrintable(m));
            QVERIFY2(!letters.contains(l), qPrintable(m));
            letters.insert(l);
        }
    }

    void layoutStateRoundTripAndBadFiles()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("state/ferrylink/state.json");
        {
            LayoutState state(path);
            QVERIFY(!state.loaded());
            state.setSizes("server:a", "splitMain", { 240, 800 });
            state.setBytes("window", "geometry", QByteArray("\x01\x02\xff", 3));
            QVERIFY(state.save());
        }
        LayoutState again(path);
        QVERIFY(again.loaded());
        QCOMPARE(again.sizes("server:a", "splitMain"), (QList<int> { 240, 800 }));
        QCOMPARE(again.bytes("window", "geometry"), QByteArray("\x01\x02\xff", 3));
        // Odd values read as none.
        again.setValue("server:a", "splitLeft", QJsonArray { 100, -4 });
        again.setValue("server:a", "splitTasks", QJsonArray { 100 });
        again.setValue("server:a", "odd", QJsonArray { 1.5, 2 });
        again.setValue("window", "geometry", 42);
        QVERIFY(again.sizes("server:a", "splitLeft").isEmpty());
        QVERIFY(again.sizes("server:a", "splitTasks").isEmpty());
        QVERIFY(again.sizes("server:a", "odd").isEmpty());
        QVERIFY(again.bytes("window", "geometry").isEmpty());
        // A file that is not a state file is ignored, and replaced on save.
        for (const QByteArray &junk : { QByteArray("{\"window\": "), QByteArray("[1,2]"),
                 QByteArray("\xff\xfe garbage", 11) }) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(junk);
            f.close();
            LayoutState broken(path);
            QVERIFY(!broken.loaded());
            QVERIFY(broken.sizes("server:a", "splitMain").isEmpty());
            QVERIFY(broken.save());
            QVERIFY(LayoutState(path).loaded());
        }
    }

    void taskColumnsComeBackAsLeft()
    {
        QByteArray saved;
        {
            TaskListScreen s(true);
            QTableView *table = s.view.tableView();
            table->setColumnWidth(TaskListModel::ColName, 410);
            s.view.menuDownloadHeader()->actions().at(TaskListModel::ColUpload)->setChecked(false);
            QVERIFY(table->isColumnHidden(TaskListModel::ColUpload));
            table->horizontalHeader()->sectionClicked(TaskListModel::ColSize);
            table->horizontalHeader()->sectionClicked(TaskListModel::ColSize);
            QCOMPARE(s.list()->sortKey(), "size");
            QCOMPARE(s.list()->order(), "desc");
            saved = s.view.saveListState();
        }
        TaskListScreen s(false);
        QVERIFY(s.view.restoreListState(saved));
        QTableView *table = s.view.tableView();
        QCOMPARE(table->columnWidth(TaskListModel::ColName), 410);
        QVERIFY(table->isColumnHidden(TaskListModel::ColUpload));
        QVERIFY(!s.view.menuDownloadHeader()->actions().at(TaskListModel::ColUpload)->isChecked());
        // The sort goes to the NAS with the next list.
        QCOMPARE(s.list()->sortKey(), "size");
        QCOMPARE(s.list()->order(), "desc");
        QSignalSpy applied(s.list(), &TaskListController::listApplied);
        s.list()->refresh_Items();
        QVERIFY(applied.wait(5000));
        QCOMPARE(s.lastForm("torrent-list").value("sortby").toString(), "size");
        // Another table's state, or junk, changes nothing.
        QVERIFY(!s.view.restoreListState(QByteArray("junk")));
        QVERIFY(!s.view.restoreListState(QByteArray()));
        QCOMPARE(table->columnWidth(TaskListModel::ColName), 410);
    }

    void finishedTasksAreLearntThenReported()
    {
        QTemporaryDir dir;
        const QString cache = dir.filePath("finished.json");
        const QList<FinishedTask> old { { "BT:1", "old one" }, { "BT:2", "old two" } };
        {
            FinishedTasksWatcher first(cache);
            QSignalSpy finished(&first, &FinishedTasksWatcher::finished);
            QVERIFY(first.wantsCheck(FinishedTasksWatcher::signature(2, 9)));
            first.check(FinishedTasksWatcher::signature(2, 9), old);
            // A server seen for the first time: its old downloads are not news.
            QCOMPARE(finished.size(), 0);
            QVERIFY(!first.wantsCheck(FinishedTasksWatcher::signature(2, 9)));
            // One finishes while watched; one finished task is removed in
            // the same interval (the total moves, so it is still checked).
            QVERIFY(first.wantsCheck(FinishedTasksWatcher::signature(2, 8)));
            first.check(FinishedTasksWatcher::signature(2, 8),
                { { "BT:1", "old one" }, { "HTTP/FTP:3", "new" } });
            QCOMPARE(finished.size(), 1);
            QCOMPARE(finished.at(0).at(0).value<QList<FinishedTask>>(),
                (QList<FinishedTask> { { "HTTP/FTP:3", "new" } }));
            QCOMPARE(finished.at(0).at(1).toBool(), false);
        }
        // Next run: what finished meanwhile comes as one "while away" report.
        FinishedTasksWatcher next(cache);
        QSignalSpy finished(&next, &FinishedTasksWatcher::finished);
        next.check(FinishedTasksWatcher::signature(4, 8),
            { { "BT:1", "old one" }, { "HTTP/FTP:3", "new" }, { "BT:4", "a" }, { "BT:5", "b" } });
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.at(0).at(0).value<QList<FinishedTask>>().size(), 2);
        QCOMPARE(finished.at(0).at(1).toBool(), true);
        // An unreadable cache is learnt again, silently.
        QFile f(cache);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("{\"finished\": 7}");
        f.close();
        FinishedTasksWatcher broken(cache);
        QSignalSpy none(&broken, &FinishedTasksWatcher::finished);
        broken.check(1, { { "BT:9", "z" } });
        QCOMPARE(none.size(), 0);
        QVERIFY(FinishedTasksWatcher::cacheFileFor("host-1").contains("/ferrylink/finished-"));
        QVERIFY(FinishedTasksWatcher::cacheFileFor("host-1")
            != FinishedTasksWatcher::cacheFileFor("host-2"));
    }

    void notificationsThroughTheSessionBus()
    {
        PrivateBus bus;
        if (!bus.ok())
            QSKIP("dbus-daemon could not be started");
        {
            // A bus without a notification service: sent, answered with an
            // error, nothing else happens.
            DesktopNotifier lonely(bus.connect("lonely"));
            QSignalSpy delivered(&lonely, &DesktopNotifier::delivered);
            QVERIFY(lonely.notify("s", "b", {}));
            QVERIFY(delivered.wait(5000));
            QCOMPARE(delivered.at(0).at(0).toUInt(), 0u);
        }
        FakeNotifications service(bus.connect("service"));
        QVERIFY(service.registered());
        DesktopNotifier notifier(bus.connect("client"));
        notifier.setDesktopEntry(kDesktopId);
        QSignalSpy delivered(&notifier, &DesktopNotifier::delivered);
        QSignalSpy activated(&notifier, &DesktopNotifier::activated);
        QVERIFY(notifier.notify(
            "Download finished", "x.iso finished on Home.", { "server:h1", "BT:7" }));
        QVERIFY(delivered.wait(5000));
        QCOMPARE(service.calls.size(), 1);
        const NotifyCall call = service.calls.first();
        QCOMPARE(call.summary, "Download finished");
        QCOMPARE(call.hints.value("desktop-entry").toString(), QString(kDesktopId));
        QCOMPARE(call.actions.value(0), "default");
        // A click on it names the server and the task; other actions do not.
        service.click(delivered.at(0).at(0).toUInt(), "other");
        service.click(delivered.at(0).at(0).toUInt());
        QVERIFY(activated.wait(5000));
        QCOMPARE(activated.size(), 1);
        QCOMPARE(activated.at(0).at(0).toString(), "server:h1");
        QCOMPARE(activated.at(0).at(1).toString(), "BT:7");
        // Off: nothing is sent.
        notifier.setEnabled(false);
        QVERIFY(!notifier.notify("s", "b", {}));
        QTest::qWait(100);
        QCOMPARE(service.calls.size(), 1);
        // No bus at all: nothing is sent and nothing fails.
        DesktopNotifier noBus(QDBusConnection::connectToBus(
            QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("none")));
        QVERIFY(!noBus.notify("s", "b", {}));
    }

    void finishedWhileAwayReachesTheDesktopAndAClickSelectsTheTask()
    {
        PrivateBus bus;
        if (!bus.ok())
            QSKIP("dbus-daemon could not be started");
        FakeNotifications service(bus.connect("service2"));
        QVERIFY(service.registered());
        QTemporaryDir home;
        const QString defaultsPath = home.filePath("defaults.json");
        qputenv("XDG_CACHE_HOME", home.filePath("cache").toUtf8());
        SimFixture sim;
        // A saved server on the simulator.
        {
            DefaultsStore d(defaultsPath);
            d.setValue(kDefaultsFavoritesKey,
                QJsonArray { QJsonObject { { "host", "127.0.0.1" },
                    { "port", QString::number(QUrl(sim.http()).port()) }, { "account", "admin" },
                    { "password", "admin" }, { "host_id", "sim-host" }, { "server_name", "Sim" },
                    { "is_default", true } } });
            QVERIFY(d.synchronize());
        }
        const auto runOnce = [&](const std::function<void(AppDelegate &)> &then) {
            DefaultsStore defaults(defaultsPath);
            FavoriteManager favorites(&defaults);
            AppDelegate app(&favorites, &defaults);
            app.launcher = [](const QString &, const QStringList &) { return true; };
            // The app's notifications go to the test's own bus.
            app.desktop()->setNotifier(
                std::make_unique<DesktopNotifier>(bus.connect(QUuid::createUuid().toString())));
            HostViewController *host = app.mainViewController()->hostAt(0);
            QVERIFY(host);
            TaskListController *list = host->downloadView()->controller();
            QVERIFY(list->finishedWatcher());
            app.applicationDidFinishLaunching();
            QTRY_VERIFY_WITH_TIMEOUT(!list->finishedWatcher()->knownKeys().isEmpty(), 10000);
            then(app);
            app.mainWindow()->close();
            waitForNetworkWork();
        };
        // First run: the server's finished tasks are learnt without a word.
        runOnce([&service](AppDelegate &) {
            QTest::qWait(300);
            QCOMPARE(service.calls.size(), 0);
        });
        // While Ferrylink is closed, a download finishes on the NAS.
        const qint64 id = sim.state().tasks().add(finishedTask("while-away.iso"));
        runOnce([id, &service](AppDelegate &app) {
            FakeNotifications &s = service;
            QTRY_COMPARE_WITH_TIMEOUT(s.calls.size(), 1, 10000);
            QCOMPARE(s.calls.first().summary,
                stringWithKSTFormat(localized("NOTIFY_FINISHED_AWAY"), { "1", "Sim" }));
            QCOMPARE(s.calls.first().body, "while-away.iso");
            QCOMPARE(s.calls.first().hints.value("desktop-entry").toString(), QString(kDesktopId));
            // A click: the window on that server, the task selected.
            HostViewController *host = app.mainViewController()->hostAt(0);
            TaskListController *list = host->downloadView()->controller();
            list->setCategory(1);
            host->downloadView()->editFilter()->setText("away");
            QSignalSpy activated(app.desktop()->notifier(), &DesktopNotifier::activated);
            s.click(1);
            QVERIFY(activated.wait(5000));
            QTRY_VERIFY_WITH_TIMEOUT(list->currentTaskRow() >= 0
                    && list->model()->row(list->currentTaskRow())->idValue == id,
                10000);
            QCOMPARE(app.mainViewController()->tabView()->currentIndex(), 0);
            QCOMPARE(list->category(), 0u);
            // The filter that was typed went, and its field says so.
            QCOMPARE(list->filter(), QString());
            QCOMPARE(host->downloadView()->editFilter()->text(), QString());
        });
        qunsetenv("XDG_CACHE_HOME");
    }

    void keyboardReachesTheTaskCommands()
    {
        TaskListScreen s(true);
        using Command = TaskListController::Command;
        QCOMPARE(s.list()->action(Command::Add)->shortcut(), QKeySequence(QKeySequence::New));
        QCOMPARE(s.list()->action(Command::Start)->shortcut(), QKeySequence("Ctrl+S"));
        QCOMPARE(s.list()->action(Command::Pause)->shortcut(), QKeySequence("Ctrl+P"));
        QCOMPARE(s.view.actRefresh()->shortcut(), QKeySequence(QKeySequence::Refresh));
        // Every toolbar button has a name a screen reader can say.
        for (QToolButton *b : s.view.findChildren<QToolButton *>()) {
            QAccessibleInterface *a = QAccessible::queryAccessibleInterface(b);
            QVERIFY(a);
            QVERIFY2(!a->text(QAccessible::Name).isEmpty(),
                qPrintable(b->parentWidget()->metaObject()->className()));
        }
        // Find puts the cursor in the filter field; Edit > Delete asks to
        // delete the selection.
        s.view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s.view));
        s.view.actFind()->trigger();
        QVERIFY(s.view.editFilter()->hasFocus());
        selectRows(*s.list(), { 0 });
        QSignalSpy deleteSheet(s.list(), &TaskListController::deleteSheetRequested);
        s.view.del();
        QCOMPARE(deleteSheet.size(), 1);
    }

    void everyMenuItemHasAMnemonicAndServersCycle()
    {
        QTemporaryDir home;
        DefaultsStore defaults(home.filePath("defaults.json"));
        FavoriteManager favorites(&defaults);
        AppDelegate app(&favorites, &defaults);
        QMenuBar *bar = app.mainWindow()->menuBar();
        QSet<QString> top;
        for (QAction *menu : bar->actions()) {
            const QString l = letterAfterAmpersand(menu->text());
            QVERIFY2(!l.isEmpty() && !top.contains(l), qPrintable(menu->text()));
            top.insert(l);
            QSet<QString> inner;
            for (QAction *item : menu->menu()->actions()) {
                if (item->isSeparator())
                    continue;
                const QString m = letterAfterAmpersand(item->text());
                QVERIFY2(!m.isEmpty() && !inner.contains(m), qPrintable(item->text()));
                inner.insert(m);
            }
        }
        // The notification setting is in the Options menu and remembered.
        QAction *notifications = app.desktop()->actNotifications();
        QVERIFY(bar->actions().last()->menu()->actions().contains(notifications));
        QVERIFY(notifications->isChecked());
        notifications->setChecked(false);
        QVERIFY(!app.desktop()->notifier()->isEnabled());
        QCOMPARE(DefaultsStore(home.filePath("defaults.json"))
                     .value(kDefaultsNotificationsKey)
                     .toBool(true),
            false);
        // Off by default: the notification-area icon.
        QVERIFY(!app.desktop()->actTrayIcon()->isChecked());
        QVERIFY(!app.desktop()->trayIcon());
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
