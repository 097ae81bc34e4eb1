// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// RSS: the request forms, the age text, the sidebar's selection rules, the
// feed and item pages' commands, the feed sheet, and the filter manager
// with its editor, against the simulated NAS.
#include "RecordingAlertPresenter.h"
#include "TaskListScreen.h"

#include "api/CgiOperations.h"
#include "api/Localization.h"
#include "api/NotificationCenter.h"
#include "api/Notifications.h"
#include "models/ListRefresh.h"
#include "rss/RSSFeedListController.h"
#include "rss/RSSFilterEditor.h"
#include "rss/RSSFilterManagerController.h"
#include "rss/RSSItemListController.h"
#include "rss/RSSSidebarController.h"
#include "rss/RssModels.h"
#include "rss/ui/RSSFeedAddViewController.h"
#include "rss/ui/RSSFilterManagerViewController.h"

#include <QAction>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using namespace flk;
using nassim::SimReply;

namespace {
// Waits until a controller's overlay and list requests are done.
void settleAll(std::initializer_list<PaneController *> panes)
{
    for (PaneController *p : panes)
        QTRY_VERIFY_WITH_TIMEOUT(!p->overlay()->isShowing(), 5000);
    waitForNetworkWork();
    QCoreApplication::sendPostedEvents();
}

void selectRows(QItemSelectionModel *selection, const QList<int> &rows)
{
    QItemSelection s;
    const QAbstractItemModel *m = selection->model();
    for (int r : rows)
        s.select(m->index(r, 0), m->index(r, m->columnCount() - 1));
    selection->select(s, QItemSelectionModel::ClearAndSelect);
}

QJsonObject feed(qint64 id, const QString &title, int interval = 0)
{
    return { { "id", id }, { "title", title }, { "url", "https://x.example/" + title },
        { "update_interval", interval }, { "last_update", "2026/12/01 10:00" } };
}
} // namespace

class TestRss : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(installTranslations()); }
    void cleanup() { waitForNetworkWork(); }

    void ageText_data()
    {
        QTest::addColumn<qint64>("age");
        QTest::addColumn<QString>("text");
        QTest::newRow("none") << qint64(0) << QString();
        QTest::newRow("negative") << qint64(-5) << QString();
        QTest::newRow("one second") << qint64(1) << "1 " + localized("RSS_AGE_SEC");
        QTest::newRow("59 s") << qint64(59) << "59 " + localized("RSS_AGE_SECS");
        QTest::newRow("60 s") << qint64(60) << "1 " + localized("RSS_AGE_MIN");
        QTest::newRow("119 s") << qint64(119) << "1 " + localized("RSS_AGE_MIN");
        QTest::newRow("120 s") << qint64(120) << "2 " + localized("RSS_AGE_MINS");
        QTest::newRow("an hour") << qint64(3600) << "1 " + localized("RSS_AGE_HOUR");
        QTest::newRow("a day less a second") << qint64(86399) << "23 " + localized("RSS_AGE_HOURS");
        QTest::newRow("two days") << qint64(172800) << "2 " + localized("RSS_AGE_DAYS");
        QTest::newRow("30 days") << qint64(2592000) << "1 " + localized("RSS_AGE_MON");
        QTest::newRow("365 days less a second")
            << qint64(31535999) << "12 " + localized("RSS_AGE_MONS");
        QTest::newRow("a year") << qint64(31536000) << "1 " + localized("RSS_AGE_YEAR");
        QTest::newRow("two years") << qint64(63072000) << "2 " + localized("RSS_AGE_YEARS");
    }
    void ageText()
    {
        QFETCH(qint64, age);
        QFETCH(QString, text);
        QCOMPARE(_get_Age_String(age), text);
    }

    void requestForms()
    {
        SignedInClient s;
        CgiCtrl *c = s.client.get();
        Error e;
        // A new filter: exactly the 30 members, every quality off.
        QVERIFY(onWorker([&] { return c->add_RSS_Filter("Nightly", "/Download", &e); }));
        const QJsonObject add = s.lastForm("rss-filter-add");
        QCOMPARE(add.size(), 30);
        QCOMPARE(add.value("save_as_enabled").toString(), QStringLiteral("1"));
        QCOMPARE(add.value("save_as").toString(), QStringLiteral("/Download"));
        QCOMPARE(add.value("feed_id").toString(), QStringLiteral("0"));
        for (const QString &q : CgiCtrl::rssQualityNames())
            QCOMPARE(add.value(q).toString(), QStringLiteral("0"));
        // Edit: the given id and name win over the settings' own.
        const qint64 id
            = s.sim.state().rss().filterList().last().toObject().value("id").toInteger();
        QVERIFY(onWorker([&] {
            return c->edit_RSS_Filter(id, "Renamed", { { "id", 999 }, { "name", "x" } }, &e);
        }));
        QCOMPARE(s.lastForm("rss-filter-edit").value("id").toString(), QString::number(id));
        QCOMPARE(s.lastForm("rss-filter-edit").value("name").toString(), QStringLiteral("Renamed"));
        // Lists return their items.
        const auto feeds = onWorker([&] { return c->get_RSS_Feed_List("id", "asc", &e); });
        QVERIFY(feeds && feeds->isArray());
        QCOMPARE(feeds->toArray().first().toObject().value("id").toInt(), -1);
        QCOMPARE(s.lastForm("rss-feed-list"),
            (QJsonObject { { "sortby", "id" }, { "orderby", "asc" } }));
        QVERIFY(onWorker([&] { return c->get_RSS_Item_List(2, "age", "desc", &e); }));
        QCOMPARE(s.lastForm("rss-item-list"),
            (QJsonObject { { "feed_id", "2" }, { "sortby", "age" }, { "orderby", "desc" } }));
    }

    void expiredSessionOnDeleteAsksToReconnect()
    {
        SignedInClient s;
        RecordingAlertPresenter alerts;
        alerts.answer = 1;
        s.client->setShowErrorAlert(true);
        s.sim.server().applyControl("expire_sessions", "1");
        Error e;
        QVERIFY(!onWorker([&] { return s.client->delete_RSS_Feed(1, &e); }));
        QCOMPARE(e.code, 5000);
        QTRY_COMPARE(alerts.shown.size(), 1);
        QCOMPARE(alerts.shown[0].request.message, localized("TXT_RE_CONNECT_NAS"));
    }

    // The sidebar: nothing chosen at first; the chosen feed is kept by id;
    // when it goes, the feed that took its row is chosen and the item page
    // follows; when the last row went, the all-feeds row.
    void sidebarSelectionRules()
    {
        SignedInClient s;
        RSSSidebarController sidebar;
        RSSItemListController items;
        sidebar.setClientSource([&] { return s.client; });
        items.setClientSource([&] { return s.client; });
        QObject::connect(&sidebar, &RSSSidebarController::feedChanged, &items,
            &RSSItemListController::on_RSS_Feed_Changed);
        QSignalSpy applied(&sidebar, &RSSSidebarController::listApplied);
        sidebar.refresh_Items();
        QVERIFY(applied.wait(5000));
        QCOMPARE(sidebar.model()->rowCount(), 6); // all-feeds row + 5
        QCOMPARE(sidebar.selectedRow(), -1);
        QCOMPARE(sidebar.model()->data(sidebar.model()->index(0, 0), Qt::DisplayRole).toString(),
            localized("RSS_ALL"));
        sidebar.selectRow(3);
        const qint64 third = sidebar.model()->feedId(3);
        QCOMPARE(items.RSSID(), third);
        const qint64 fourth = sidebar.model()->feedId(4);
        // The context menu is for feed rows only.
        QVERIFY(!sidebar.offersMenuAt(0) && sidebar.offersMenuAt(3) && !sidebar.offersMenuAt(6));

        QSignalSpy ask(&sidebar, &RSSSidebarController::removeConfirmationRequested);
        sidebar.on_Remove_RSS_Feed_Entry();
        QCOMPARE(ask.size(), 1);
        QCOMPARE(ask[0][0].toLongLong(), third);
        sidebar.removeFeed(third);
        QTRY_COMPARE_WITH_TIMEOUT(sidebar.model()->rowCount(), 5, 5000);
        settleAll({ &sidebar, &items });
        QCOMPARE(sidebar.selectedRow(), 3);
        QCOMPARE(sidebar.model()->feedId(3), fourth);
        QCOMPARE(items.RSSID(), fourth);
        QCOMPARE(s.lastForm("rss-feed-delete").value("id").toString(), QString::number(third));

        // The last feed chosen and deleted: the all-feeds row.
        sidebar.selectRow(4);
        sidebar.removeFeed(sidebar.model()->feedId(4));
        QTRY_COMPARE_WITH_TIMEOUT(sidebar.model()->rowCount(), 4, 5000);
        settleAll({ &sidebar });
        QCOMPARE(sidebar.selectedRow(), 0);

        // A reply with the pseudo-feed alone: the all-feeds row alone.
        sidebar.applyList({ feed(-1, "All") });
        QCOMPARE(sidebar.model()->rowCount(), 1);
        QCOMPARE(sidebar.selectedRow(), 0);
    }

    void rowClicksShowTheirPage()
    {
        RSSSidebarController sidebar;
        sidebar.applyList({ feed(-1, "All"), feed(4, "Four") });
        QList<uint> features;
        QObject::connect(&sidebar, &RSSSidebarController::featureActivated,
            [&](uint feature) { features << feature; });
        sidebar.rowClicked(0);
        sidebar.rowClicked(1);
        sidebar.rowClicked(7); // outside: nothing
        QCOMPARE(features, (QList<uint> { kFeatureRSSFeeds, kFeatureRSSItems }));
    }

    void feedPageCommands()
    {
        SignedInClient s;
        // Feeds 3, 5 and 12 for the update form.
        const QJsonArray scripted { feed(-1, "All"), feed(3, "c"), feed(5, "e", 42),
            feed(12, "l") };
        s.sim.server().on(kCgiPathBtdlm, "rss-feed-list", true, [scripted](nassim::Call &) {
            return SimReply::ok({ { "items", scripted } });
        });
        s.sim.server().on(
            kCgiPathBtdlm, "rss-feed-update", true, [](nassim::Call &) { return SimReply::ok(); });
        RSSFeedListController page;
        page.setClientSource([&] { return s.client; });
        QSignalSpy applied(&page, &RSSFeedListController::listApplied);
        page.refresh_Items();
        QVERIFY(applied.wait(5000));
        QCOMPARE(page.model()->rowCount(), 3); // without the pseudo-feed
        QVERIFY(!page.actUpdate()->isEnabled());
        selectRows(page.selectionModel(), { 0, 1, 2 });
        QVERIFY(page.actUpdate()->isEnabled() && page.actEdit()->isEnabled());
        page.on_Update_RSS_Feed();
        settleAll({ &page });
        QCOMPARE(s.lastForm("rss-feed-update").value("id").toString(), QStringLiteral("3,5,12"));
        // The same list again: nothing changes, the selection stays.
        QCOMPARE(page.selectedRows(), (QList<int> { 0, 1, 2 }));

        // Adding and editing tell the sidebar at once.
        int told = 0;
        QObject::connect(&page, &RSSFeedListController::feedListUpdated, [&] { ++told; });
        page.feedSheetDone({ { "url", "https://new.example.org/rss" }, { "update_interval", 4u } });
        settleAll({ &page });
        QCOMPARE(s.lastForm("rss-feed-add"),
            (QJsonObject { { "url", "https://new.example.org/rss" }, { "update_interval", "4" } }));
        page.feedSheetDone(
            { { "id", 5 }, { "url", "https://x.example/e" }, { "update_interval", 2u } });
        settleAll({ &page });
        QCOMPARE(s.lastForm("rss-feed-edit"),
            (QJsonObject {
                { "id", "5" }, { "url", "https://x.example/e" }, { "update_interval", "2" } }));
        QCOMPARE(told, 2);
    }

    void deletedFeedGivesItsRowToTheNext()
    {
        // After a delete the feed that moved into the deleted one's row is
        // selected, so the item page follows it.
        SignedInClient s;
        RSSFeedListController page;
        page.setClientSource([&] { return s.client; });
        QSignalSpy applied(&page, &RSSFeedListController::listApplied);
        page.refresh_Items();
        QVERIFY(applied.wait(5000));
        QVERIFY(page.model()->rowCount() >= 3);
        selectRows(page.selectionModel(), { 1 });
        const QJsonObject next = page.model()->record(2);
        page.removeFeed(page.model()->record(1).value("id").toInteger());
        QVERIFY(applied.wait(5000));
        QCOMPARE(page.model()->record(1), next);
        QCOMPARE(page.selectedRows(), QList<int> { 1 });
        settleAll({ &page });
    }

    // A feed the NAS refuses keeps its sheet and URL open, and the alert
    // gives the NAS's error code; once taken, the sheet closes.
    void refusedFeedKeepsItsSheet()
    {
        SignedInClient s;
        RecordingAlertPresenter alerts;
        alerts.answer = 0;
        s.client->setShowErrorAlert(true);
        bool refuse = true;
        s.sim.server().on(kCgiPathBtdlm, "rss-feed-add", true, [&refuse](nassim::Call &) {
            return refuse ? SimReply::fail(5301) : SimReply::ok();
        });
        RSSFeedListController page;
        page.setClientSource([&] { return s.client; });
        QWidget window;
        window.show();
        auto *sheet = RSSFeedAddViewController::present(&window, {},
            [&page](const QVariantMap &result, std::function<void(bool)> done) {
                page.feedSheetDone(result, std::move(done));
            });
        QPointer<RSSFeedAddViewController> alive(sheet);
        QTRY_VERIFY(sheet->isVisible());
        QCOMPARE(sheet->window()->focusWidget(), sheet->editUrl()); // the first field
        QTest::keyClicks(sheet->editUrl(), "https://feeds.example.org/new.xml");
        sheet->on_Ok();
        QVERIFY(sheet->isSubmitting());
        QTRY_VERIFY(!sheet->isSubmitting());
        QVERIFY(alive && sheet->isVisible());
        QCOMPARE(sheet->editUrl()->text(), QStringLiteral("https://feeds.example.org/new.xml"));
        QCOMPARE(alerts.shown.size(), 1);
        QCOMPARE(alerts.shown[0].request.message, localized("ERROR_CGI_ADD_RSS_FEED"));
        QCOMPARE(alerts.shown[0].request.detail,
            stringWithKSTFormat(localized("ERROR_NAS_CODE"), { "5301" }));
        refuse = false;
        sheet->on_Ok();
        QTRY_VERIFY(!alive);
        settleAll({ &page });
    }

    void feedSheet()
    {
        // Add mode: OK waits for a URL; the interval starts at "3 hours".
        RSSFeedAddViewController add;
        QVERIFY(!add.btnOk()->isEnabled());
        QCOMPARE(add.RSSFeedUpdateIntervalString(), QStringLiteral("3 hours"));
        add.editUrl()->setText("h");
        QVERIFY(add.btnOk()->isEnabled());
        add.editUrl()->setText("");
        QVERIFY(!add.btnOk()->isEnabled());
        add.editUrl()->setText("https://a.example/rss");
        add.cmbUpdateInterval()->setCurrentIndex(5);
        QVariantMap result;
        add.setCompletion([&](bool, const QVariant &r) { result = r.toMap(); });
        add.on_Ok();
        QCOMPARE(result,
            (QVariantMap { { "url", "https://a.example/rss" }, { "update_interval", 5u } }));

        // Edit mode: OK at once sends the feed unchanged; an interval out of
        // range opens at "3 hours" and is not sent unless chosen anew.
        for (int interval : { 6, 9, -1 }) {
            RSSFeedAddViewController edit(feed(7, "seven", interval));
            QVERIFY(edit.btnOk()->isEnabled());
            QCOMPARE(edit.RSSFeedUpdateIntervalString(),
                interval == 6 ? rssIntervalTexts().at(6) : QStringLiteral("3 hours"));
            QVariantMap r;
            edit.setCompletion([&](bool, const QVariant &v) { r = v.toMap(); });
            edit.on_Ok();
            QCOMPARE(r.value("id").toLongLong(), 7);
            QCOMPARE(r.value("url").toString(), QStringLiteral("https://x.example/seven"));
            QCOMPARE(r.contains("update_interval"), interval == 6);
            if (interval != 6) {
                RSSFeedAddViewController chosen(feed(7, "seven", interval));
                chosen.cmbUpdateInterval()->setCurrentIndex(2);
                chosen.setCompletion([&](bool, const QVariant &v) { r = v.toMap(); });
                chosen.on_Ok();
                QCOMPARE(r.value("update_interval").toUInt(), 2u);
            }
        }
    }

    void itemPageDownloadsOpensAndUpdates()
    {
        SignedInClient s;
        RSSItemListController page;
        page.setClientSource([&] { return s.client; });
        // Before a feed is chosen nothing is asked; Update sends -1.
        page.refresh_Items();
        QVERIFY(!page.listRefresh()->isOutstanding());
        page.on_Update_RSS_Feed();
        settleAll({ &page });
        QCOMPARE(s.lastForm("rss-feed-update").value("id").toString(), QStringLiteral("-1"));

        QSignalSpy applied(&page, &RSSItemListController::listApplied);
        page.setRSSID(3); // public domain classics: torrents and magnets
        QVERIFY(applied.wait(5000));
        QVERIFY(page.model()->rowCount() > 10);
        QCOMPARE(s.lastForm("rss-item-list").value("feed_id").toString(), QStringLiteral("3"));

        // Two items: the wizard with type 1 and their links, no request.
        s.sim.server().clearLog();
        QSignalSpy wizard(&page, &RSSItemListController::multiDownloadRequested);
        selectRows(page.selectionModel(), { 2, 0 });
        page.on_Download_RSS_Feed();
        QVERIFY(wizard.wait(5000));
        QCOMPARE(wizard[0][0].toUInt(), 1u);
        const QJsonArray torrents = wizard[0][1].toJsonArray();
        QCOMPARE(torrents.size(), 2);
        QCOMPARE(torrents[0].toObject().value("torrent").toString(),
            page.model()->record(0).value("url").toString());
        QVERIFY(s.sim.server().requestLog().isEmpty());

        // One item: torrent-add-url, then the dialog with its reply.
        QSignalSpy dialog(&page, &RSSItemListController::taskDialogRequested);
        selectRows(page.selectionModel(), { 0 });
        page.on_Download_RSS_Feed();
        QVERIFY(dialog.wait(5000));
        QCOMPARE(s.lastForm("torrent-add-url").value("url").toString(),
            page.model()->record(0).value("url").toString());
        QVERIFY(dialog[0][0].toJsonObject().contains("torrent"));

        // A refused link still opens the dialog, with the bare link.
        s.sim.server().on(kCgiPathBtdlm, "torrent-add-url", true,
            [](nassim::Call &) { return SimReply::fail(5040); });
        page.on_Download_RSS_Feed();
        QVERIFY(dialog.wait(5000));
        QCOMPARE(dialog[1][0].toJsonObject(),
            (QJsonObject { { "url", page.model()->record(0).value("url").toString() } }));

        // Open: the item pages in row order.
        QSignalSpy open(&page, &RSSItemListController::openUrlsRequested);
        selectRows(page.selectionModel(), { 1, 0 });
        page.on_Open_RSS_Feed();
        QCOMPARE(open.size(), 1);
        const auto urls = open[0][0].value<QList<QUrl>>();
        QCOMPARE(urls.size(), 2);
        QCOMPARE(urls[0].toString(), page.model()->record(0).value("link").toString());
        QVERIFY(urls[0].toString().startsWith(s.sim.http()));
    }

    // A feed chosen while the old feed's items are out: they are never shown.
    void itemsOfAFeedNoLongerShownAreDropped()
    {
        SignedInClient s;
        RSSItemListController page;
        page.setClientSource([&] { return s.client; });
        s.sim.server().applyControl("delay_ms", "200");
        QSignalSpy applied(&page, &RSSItemListController::listApplied);
        page.setRSSID(1);
        QVERIFY(page.listRefresh()->isOutstanding());
        page.setRSSID(4);
        QTRY_VERIFY_WITH_TIMEOUT(!page.listRefresh()->isOutstanding() && applied.size() == 1, 5000);
        s.sim.server().applyControl("delay_ms", "0");
        QCOMPARE(applied.size(), 1);
        QCOMPARE(page.listRefresh()->droppedCount(), 1);
        QVERIFY(page.model()->record(0).value("title").toString().startsWith("Late Night Linux"));
    }

    void filterEditorShowsAndSends()
    {
        RSSFilterEditor editor;
        editor.setRSSFeedList(
            { feed(-1, "All"), feed(2, "Shows"), feed(7, "Twin"), feed(9, "Twin") });
        QCOMPARE(editor.feedTitles(), (QStringList { "Shows", "Twin", "Twin" }));
        const QJsonObject filter { { "id", 4 }, { "name", "f" }, { "feed_id", 9 },
            { "include", QJsonArray { "one", "two", "three" } }, { "exclude", QJsonArray() },
            { "quality", QJsonObject { { "WebRip", true }, { "720p", true }, { "HDTV", false } } },
            { "time-limit", 86400 },
            { "tv_series",
                QJsonObject { { "enabled", true }, { "season_start", 0 }, { "season_end", 2 },
                    { "episode_start", 3 }, { "episode_end", 0 } } },
            { "check_interval", QJsonObject { { "enabled", false }, { "update_interval", 5 } } },
            { "save_as", QJsonObject { { "download_dir", "/Download/TV" } } } };
        editor.setRSSFilterInfo(filter);
        QCOMPARE(editor.feedName(), QStringLiteral("Twin"));
        QCOMPARE(editor.include(), QStringLiteral("one two three"));
        QCOMPARE(editor.qualitySummary(), QStringLiteral("720p, WebRip")); // menu order
        editor.toggleQuality("1080p");
        QCOMPARE(editor.qualitySummary(), QStringLiteral("1080p, 720p, WebRip"));
        QCOMPARE(editor.timePeriodIndex(), 4);
        QCOMPARE(editor.tvNumberText(0), QStringLiteral("1")); // 0 shows as 1 ...
        QCOMPARE(editor.checkIntervalIndex(), 5);
        QCOMPARE(editor.folder(), QStringLiteral("/Download/TV"));

        const QVariantMap info = editor.get_Filter_Edit_Info();
        // Two feeds named "Twin": the first one's id.
        QCOMPARE(info.value("feed_id").toLongLong(), 7);
        QCOMPARE(info.value("season_start").toLongLong(), 0); // ... and is sent as 0
        QCOMPARE(info.value("episode_start").toLongLong(), 3);
        QCOMPARE(info.value("time-limit").toLongLong(), 86400);
        QCOMPARE(info.value("tv_series_enabled").toInt(), 1);
        QCOMPARE(info.value("update_interval_enabled").toInt(), 0);
        QCOMPARE(info.value("update_interval").toLongLong(), 5);
        QCOMPARE(info.value("WebRip").toInt(), 1);
        QCOMPARE(info.value("1080p").toInt(), 1);
        QCOMPARE(info.value("HDTV").toInt(), 0);
        QCOMPARE(info.value("save_as").toString(), QStringLiteral("/Download/TV"));
        QCOMPARE(info.value("save_as_enabled").toBool(), true);
        QCOMPARE(info.value("include").toString(), QStringLiteral("one two three"));
        // A stepper moved: its value is sent.
        editor.on_Change_TV_Number(0, 2);
        QCOMPARE(editor.get_Filter_Edit_Info().value("season_start").toLongLong(), 2);

        // A feed that is not offered: no feed_id at all; an unknown time
        // limit goes back as it came.
        QJsonObject orphan = filter;
        orphan.insert("feed_id", 44);
        orphan.insert("time-limit", 1234);
        editor.setRSSFilterInfo(orphan);
        QCOMPARE(editor.feedName(), QString());
        QVERIFY(!editor.get_Filter_Edit_Info().contains("feed_id"));
        QCOMPARE(editor.timePeriodIndex(), -1);
        QCOMPARE(editor.get_Filter_Edit_Info().value("time-limit").toLongLong(), 1234);
    }

    void filterEditorSendsOnlyWhatItRead()
    {
        RSSFilterEditor editor;
        editor.setRSSFeedList({ feed(2, "Shows") });
        // Members in shapes the editor does not read: shown as stand-ins,
        // never saved as them.
        const QJsonObject odd { { "id", 4 }, { "name", "odd" }, { "feed_id", "2" },
            { "include", "one two" }, { "exclude", QJsonArray { "cam", 3 } },
            { "quality", QJsonObject { { "720p", "yes" }, { "HDTV", true } } },
            { "time-limit", QJsonValue::Null },
            { "tv_series", QJsonObject { { "enabled", "on" }, { "season_start", 1.5 } } },
            { "check_interval", QJsonObject { { "enabled", true }, { "update_interval", 12 } } },
            { "save_as", "/Download/TV" } };
        editor.setRSSFilterInfo(odd);
        QCOMPARE(editor.include(), QString());
        QCOMPARE(editor.folder(), QString());
        QVariantMap info = editor.get_Filter_Edit_Info();
        for (const char *gone : { "feed_id", "include", "exclude", "720p", "time-limit",
                 "tv_series_enabled", "season_start", "season_end", "episode_start", "episode_end",
                 "update_interval", "save_as" })
            QVERIFY2(!info.contains(gone), gone);
        // What was read as the editor reads it goes as shown.
        QCOMPARE(info.value("HDTV").toInt(), 1);
        QCOMPARE(info.value("WebRip").toInt(), 0); // missing from the object: off
        QCOMPARE(info.value("update_interval_enabled").toInt(), 1);
        QCOMPARE(info.value("save_as_enabled").toBool(), true);

        // What the user changes goes, whatever came before.
        editor.setInclude("three");
        editor.toggleQuality("720p");
        editor.setFolder("/Download/New");
        editor.setTimePeriodIndex(2);
        editor.on_Change_TV_Number(0, 3);
        info = editor.get_Filter_Edit_Info();
        QCOMPARE(info.value("include").toString(), QStringLiteral("three"));
        QVERIFY(info.contains("720p"));
        QCOMPARE(info.value("720p").toInt(), editor.isQualityMarked("720p") ? 1 : 0);
        QCOMPARE(info.value("save_as").toString(), QStringLiteral("/Download/New"));
        QCOMPARE(info.value("time-limit").toLongLong(), 21600);
        QCOMPARE(info.value("season_start").toLongLong(), 3);
        QVERIFY(!info.contains("season_end"));
        QVERIFY(!info.contains("exclude"));

        // A quality object that is not there at all: no quality is sent.
        QJsonObject noQuality = odd;
        noQuality.remove("quality");
        editor.setRSSFilterInfo(noQuality);
        info = editor.get_Filter_Edit_Info();
        for (const QString &q : CgiCtrl::rssQualityNames())
            QVERIFY(!info.contains(q));
    }

    void filterSavedUntouchedKeepsTheNasSettings()
    {
        // Against the NAS: a filter whose members came oddly and that is
        // saved untouched keeps every setting the NAS had.
        SignedInClient s;
        flk::CgiCtrl *c = s.client.get();
        const auto list = [c] {
            return onWorker([c] {
                return c->get_RSS_Filter_List(nullptr).value_or(QJsonValue());
            }).toArray();
        };
        const QJsonArray before = list();
        QVERIFY(!before.isEmpty());
        QJsonObject read = before.first().toObject();
        const qint64 id = read.value("id").toInteger();
        read.insert("include", "not-an-array");
        read.insert("save_as", QJsonObject { { "download_dir", 7 } });
        read.insert("time-limit", "soon");
        RSSFilterEditor editor;
        editor.setRSSFilterInfo(read);
        const QVariantMap info = editor.get_Filter_Edit_Info();
        const QString name = read.value("name").toString();
        QVERIFY(onWorker([c, id, name, info] {
            Error e;
            return c->edit_RSS_Filter(id, name, info, &e) && !e.isError();
        }));
        const QJsonObject after = list().first().toObject();
        for (const char *kept : { "include", "save_as", "time-limit", "tv_series" })
            QCOMPARE(after.value(kept), before.first().toObject().value(kept));
        // Qualities went back as read (a missing one is off).
        for (const QString &q : CgiCtrl::rssQualityNames())
            QCOMPARE(after.value("quality").toObject().value(q).toBool(),
                before.first().toObject().value("quality").toObject().value(q).toBool());
    }

    void filterManagerCommands()
    {
        SignedInClient s;
        RSSFilterManagerController manager;
        manager.setClientSource([&] { return s.client; });
        QSignalSpy done(&manager, &RSSFilterManagerController::commandFinished);
        manager.load();
        QVERIFY(done.wait(5000));
        QCOMPARE(manager.model()->rowCount(), 2);
        QVERIFY(!manager.canSave());
        QCOMPARE(manager.editor()->feedTitles().size(), 5);

        // Create: the folder from the preferences; the new filter selected.
        manager.create("Open Source Weekly 1080p"); // the same name as an existing one
        QVERIFY(done.wait(5000));
        const QJsonObject add = s.lastForm("rss-filter-add");
        QCOMPARE(add.size(), 30);
        QCOMPARE(add.value("save_as").toString(), QStringLiteral("/Download"));
        QCOMPARE(manager.model()->rowCount(), 3);
        QVERIFY(manager.canSave());
        // The first of the two in list order (sorted by id: the old one).
        QCOMPARE(manager.selectedRow(), 0);

        // Save sends the row's (edited) name and the editor's record; the
        // sheet's list is read again and the filter stays selected.
        selectRows(manager.selectionModel(), { 2 });
        manager.on_Change_Filter_Name(2, "Nightly builds");
        manager.editor()->setInclude("nightly");
        manager.on_Ok();
        QVERIFY(done.wait(5000));
        const QJsonObject edit = s.lastForm("rss-filter-edit");
        QCOMPARE(edit.value("name").toString(), QStringLiteral("Nightly builds"));
        QCOMPARE(edit.value("include").toString(), QStringLiteral("nightly"));
        QCOMPARE(manager.selectedRow(), 2);
        QCOMPARE(
            manager.model()->filter(2).value("name").toString(), QStringLiteral("Nightly builds"));

        // A save the NAS refuses keeps the edits on screen.
        manager.editor()->setFolder("/No/Such/Folder");
        manager.editor()->setInclude("kept");
        manager.on_Change_Filter_Name(2, "Unsaved name");
        manager.on_Ok();
        QVERIFY(done.wait(5000));
        QCOMPARE(manager.editor()->include(), QStringLiteral("kept"));
        QCOMPARE(
            manager.model()->filter(2).value("name").toString(), QStringLiteral("Unsaved name"));

        // Refresh reads the NAS's copy again and keeps the selection.
        manager.on_Refresh();
        QVERIFY(done.wait(5000));
        QCOMPARE(manager.selectedRow(), 2);
        QCOMPARE(
            manager.model()->filter(2).value("name").toString(), QStringLiteral("Nightly builds"));

        // Client-side sort, selection kept by id.
        const qint64 selectedId = manager.model()->filter(2).value("id").toInteger();
        manager.setSort("name", "asc");
        QCOMPARE(
            manager.model()->filter(manager.selectedRow()).value("id").toInteger(), selectedId);
        QCOMPARE(
            manager.model()->filter(0).value("name").toString(), QStringLiteral("Debian netinst"));

        // Deleting every filter: an empty table, Save disabled.
        while (manager.model()->rowCount() > 0) {
            selectRows(manager.selectionModel(), { 0 });
            manager.on_Delete();
            QVERIFY(done.wait(5000));
        }
        QVERIFY(!manager.canSave());
    }

    // Nothing typed in the filter editor is dropped unasked: choosing
    // another filter or closing asks Save / Discard / Cancel.
    void unsavedFilterEditsAreAskedAbout()
    {
        SignedInClient s;
        RSSFilterManagerController manager;
        manager.setClientSource([&] { return s.client; });
        QSignalSpy done(&manager, &RSSFilterManagerController::commandFinished);
        QSignalSpy asked(&manager, &RSSFilterManagerController::unsavedChangesFound);
        manager.load();
        QVERIFY(done.wait(5000));
        QVERIFY(manager.model()->rowCount() >= 2);
        selectRows(manager.selectionModel(), { 0 });
        QVERIFY(!manager.hasUnsavedChanges());
        // Untouched: another filter is shown at once.
        selectRows(manager.selectionModel(), { 1 });
        QCOMPARE(asked.size(), 0);
        selectRows(manager.selectionModel(), { 0 });

        manager.editor()->setInclude("edited words");
        QVERIFY(manager.hasUnsavedChanges());
        selectRows(manager.selectionModel(), { 1 });
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0][0].toInt(), 1);
        QCOMPARE(manager.selectedRow(), 0); // held until the answer
        QCOMPARE(manager.editor()->include(), QStringLiteral("edited words"));

        // Discard: the other filter, nothing sent.
        s.sim.server().clearLog();
        manager.discardThenSelect(1);
        QCOMPARE(manager.selectedRow(), 1);
        QVERIFY(!manager.hasUnsavedChanges());
        QVERIFY(s.sim.server().requestsFor("rss-filter-edit").isEmpty());

        // A renamed filter counts too; Save sends it, then the wanted one shows.
        const qint64 renamedId = manager.model()->filter(1).value("id").toInteger();
        manager.on_Change_Filter_Name(1, "Renamed");
        QVERIFY(manager.hasUnsavedChanges());
        selectRows(manager.selectionModel(), { 0 });
        QCOMPARE(asked.size(), 2);
        const qint64 wantedId = manager.model()->filter(0).value("id").toInteger();
        manager.saveThenSelect(0);
        QVERIFY(done.wait(5000));
        QCOMPARE(s.lastForm("rss-filter-edit").value("name").toString(), QStringLiteral("Renamed"));
        QCOMPARE(s.lastForm("rss-filter-edit").value("id").toString(), QString::number(renamedId));
        QCOMPARE(manager.model()->filter(manager.selectedRow()).value("id").toInteger(), wantedId);
        QVERIFY(!manager.hasUnsavedChanges());
    }

    void closingTheFilterManagerWithEditsAsks()
    {
        SignedInClient s;
        RecordingAlertPresenter alerts;
        RSSFilterManagerViewController sheet(s.client);
        bool closed = false;
        sheet.setCompletion([&](bool, const QVariant &) { closed = true; });
        sheet.show();
        QSignalSpy done(sheet.controller(), &RSSFilterManagerController::commandFinished);
        QVERIFY(done.wait(5000));
        selectRows(sheet.controller()->selectionModel(), { 0 });
        sheet.controller()->editor()->setExclude("cam");
        sheet.on_Cancel();
        QCOMPARE(alerts.shown.size(), 1);
        QCOMPARE(alerts.shown[0].request.buttons,
            (QStringList { localized("SAVE"), localized("DISCARD"), localized("CANCEL") }));
        alerts.close(2); // Cancel: the sheet stays with the edits
        QVERIFY(!closed);
        QCOMPARE(sheet.controller()->editor()->exclude(), QStringLiteral("cam"));
        QSignalSpy saved(sheet.controller(), &RSSFilterManagerController::saveFinished);
        sheet.on_Cancel();
        QCOMPARE(alerts.shown.size(), 2);
        alerts.close(0); // Save, then close
        QVERIFY(saved.wait(5000));
        QCOMPARE(saved[0][0].toBool(), true);
        QTRY_VERIFY(closed);
        QCOMPARE(s.lastForm("rss-filter-edit").value("exclude").toString(), QStringLiteral("cam"));
        settleEverything();
    }
};

QTEST_MAIN(TestRss)
#include "tst_rss.moc"
