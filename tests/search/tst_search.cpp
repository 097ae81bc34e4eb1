// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// Search on the NAS: the key list's submission and selection rules, the
// results page's polling with the searching overlay, its category and
// filter, Download and Open, against the simulated NAS.
#include "RecordingAlertPresenter.h"
#include "TaskListScreen.h"

#include "api/CgiOperations.h"
#include "api/Localization.h"
#include "api/NotificationCenter.h"
#include "api/Notifications.h"
#include "models/LinkRule.h"
#include "models/ListRefresh.h"
#include "search/SearchKeyController.h"
#include "search/SearchResultController.h"
#include "search/ui/SearchKeyViewController.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

using namespace flk;
using nassim::SimReply;

namespace {
void selectRows(QItemSelectionModel *selection, const QList<int> &rows)
{
    QItemSelection s;
    const QAbstractItemModel *m = selection->model();
    for (int r : rows)
        s.select(m->index(r, 0), m->index(r, m->columnCount() - 1));
    selection->select(s, QItemSelectionModel::ClearAndSelect);
}

// A key list and a results page wired as a host wires them.
struct SearchScreens : SignedInClient {
    SearchKeyController keys;
    SearchResultController results;
    SearchScreens()
    {
        keys.setClientSource([this] { return client; });
        results.setClientSource([this] { return client; });
        QObject::connect(&keys, &SearchKeyController::keyChanged, &results,
            &SearchResultController::on_Search_Key_Changed);
    }
    ~SearchScreens()
    {
        QTRY_VERIFY(
            !results.listRefresh()->isOutstanding() && !keys.listRefresh()->isOutstanding());
        waitForNetworkWork();
    }
    void refreshKeys()
    {
        QSignalSpy applied(&keys, &SearchKeyController::listApplied);
        keys.refresh_Items();
        QTRY_VERIFY(!keys.listRefresh()->isOutstanding());
    }
    // One poll of the results, to its end.
    void poll()
    {
        results.refresh_Items();
        QTRY_VERIFY_WITH_TIMEOUT(!results.listRefresh()->isOutstanding(), 5000);
    }
};

QJsonObject result(int i, bool magnet)
{
    QJsonObject r { { "title", QStringLiteral("result %1").arg(i) }, { "category", "TV" },
        { "size", "1 GB" }, { "seeds", 10 - i }, { "peers", 2 }, { "date", "2026-01-01" },
        { "site", "S" }, { "link", QStringLiteral("http://127.0.0.1/r/%1").arg(i) },
        { "hash", "h" }, { "torrent", QStringLiteral("http://t.fail.example/%1.torrent").arg(i) } };
    if (magnet)
        r.insert("magnet", QStringLiteral("magnet:?xt=urn:btih:%1").arg(i));
    return r;
}
} // namespace

class TestSearch : public QObject
{
    Q_OBJECT

private slots:
    // Links from the NAS: web pages to the browser, magnets as new tasks,
    // the rest refused by name (never handed to the desktop's opener).
    void linkRule_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("kind");
        QTest::newRow("https") << "https://example.org/t/1"
                               << "web";
        QTest::newRow("http upper case") << "HTTP://example.org/"
                                         << "web";
        QTest::newRow("magnet") << "magnet:?xt=urn:btih:abc"
                                << "magnet";
        QTest::newRow("javascript") << "javascript:alert(1)"
                                    << "javascript";
        QTest::newRow("file") << "file:///etc/passwd"
                              << "file";
        QTest::newRow("desktop file") << "/usr/share/applications/x.desktop"
                                      << "refused";
        QTest::newRow("smb") << "smb://server/share"
                             << "smb";
        QTest::newRow("made up") << "x-weird:payload"
                                 << "x-weird";
        QTest::newRow("http without host") << "http:/etc/passwd"
                                           << "http";
        QTest::newRow("blank") << "   "
                               << "none";
    }
    void linkRule()
    {
        QFETCH(QString, link);
        QFETCH(QString, kind);
        const SortedLinks s = LinkRule::sort({ link });
        if (kind == "web") {
            QCOMPARE(s.web.size(), 1);
            QVERIFY(s.magnets.isEmpty() && s.refusedSchemes.isEmpty());
        } else if (kind == "magnet") {
            QCOMPARE(s.magnets, QStringList { link });
            QVERIFY(s.web.isEmpty() && s.refusedSchemes.isEmpty());
        } else if (kind == "none") {
            QVERIFY(s.web.isEmpty() && s.magnets.isEmpty() && s.refusedSchemes.isEmpty());
        } else {
            QVERIFY(s.web.isEmpty() && s.magnets.isEmpty());
            QCOMPARE(s.refusedSchemes.size(), 1);
            if (kind != "refused")
                QCOMPARE(s.refusedSchemes.first(), kind);
        }
    }

    void initTestCase() { QVERIFY(installTranslations()); }
    void cleanup() { waitForNetworkWork(); }

    void allCategoriesAreSentEmpty()
    {
        SignedInClient s;
        Error e;
        onWorker([&] {
            return s.client->get_Search_Response(
                "debian", "seeds", "desc", "", localized("SEARCH_CATE_ALL"), &e);
        });
        QCOMPARE(s.lastForm("torrent-search-response"),
            (QJsonObject { { "query", "debian" }, { "sortby", "seeds" }, { "orderby", "desc" },
                { "filter", "" }, { "category", "" } }));
        onWorker(
            [&] { return s.client->get_Search_Response("debian", "size", "asc", "x", "TV", &e); });
        QCOMPARE(s.lastForm("torrent-search-response").value("category").toString(),
            QStringLiteral("TV"));
        // An empty key is refused by the NAS.
        QVERIFY(!onWorker([&] { return s.client->send_Search_Request("", &e); }));
        QCOMPARE(e.code, int(nassim::NasSearch::kEmptyKey));
    }

    void emptySearchIsRefused()
    {
        SignedInClient s;
        RecordingAlertPresenter alerts;
        alerts.answer = 0;
        SearchKeyViewController view;
        view.setCtrlCgi(s.client);
        view.editSearch()->setText("");
        QTest::keyClick(view.editSearch(), Qt::Key_Return);
        QTRY_COMPARE(alerts.shown.size(), 1);
        QCOMPARE(alerts.shown[0].request.message, localized("ERROR_SEARCH_KEY_EMPTY"));
        QVERIFY(s.sim.server().requestsFor("torrent-search-request").isEmpty());
        // A real search empties the field and goes to the NAS.
        view.editSearch()->setText("sintel");
        QTest::keyClick(view.editSearch(), Qt::Key_Return);
        QCOMPARE(view.editSearch()->text(), QString());
        QTRY_COMPARE(s.sim.server().requestsFor("torrent-search-request").size(), 1);
        QTRY_COMPARE(view.controller()->model()->rowCount(), 3);
        waitForNetworkWork();
    }

    void submittingShowsTheKeyAndItsResults()
    {
        SearchScreens s;
        s.refreshKeys();
        QCOMPARE(s.keys.model()->rowCount(), 2);
        QCOMPARE(s.keys.selectedRow(), 0); // the first row on the first list
        QCOMPARE(s.results.searchKey().value_or(""), QStringLiteral("debian"));
        QList<uint> features;
        QObject::connect(&s.keys, &SearchKeyController::featureActivated,
            [&](uint feature) { features << feature; });
        // A key already in the list: its row is chosen after the refresh.
        s.keys.submit("big buck bunny");
        QCOMPARE(features, QList<uint> { kFeatureSearch });
        QTRY_COMPARE(s.keys.selectedRow(), 1);
        QTRY_COMPARE(s.results.searchKey().value_or(""), QStringLiteral("big buck bunny"));
        QCOMPARE(s.lastForm("torrent-search-request").value("query").toString(),
            QStringLiteral("big buck bunny"));
        s.poll();
        QVERIFY(s.results.model()->rowCount() > 0);
        QCOMPARE(s.lastForm("torrent-search-response").value("query").toString(),
            QStringLiteral("big buck bunny"));
        // A new key: its row appears and is chosen.
        s.keys.submit("tears of steel");
        QTRY_COMPARE(s.keys.model()->rowCount(), 3);
        QTRY_COMPARE(s.results.searchKey().value_or(""), QStringLiteral("tears of steel"));
        QCOMPARE(s.keys.model()->query(s.keys.selectedRow()), QStringLiteral("tears of steel"));
        // A key with placeholders in it shows as typed, with its count.
        s.keys.submit("100%1 %2 pure");
        QTRY_COMPARE(s.keys.model()->rowCount(), 4);
        int row = 0;
        while (row < 4 && s.keys.model()->query(row) != QStringLiteral("100%1 %2 pure"))
            ++row;
        QVERIFY(row < 4);
        QVERIFY(s.keys.model()
                    ->data(s.keys.model()->index(row, 0), Qt::DisplayRole)
                    .toString()
                    .startsWith("100%1 %2 pure ("));
    }

    // The overlay shows while the NAS says it is still searching, goes at
    // the first "finished" and does not come back with later polls;
    // Download is dropped while it shows.
    void searchingOverlay()
    {
        SearchScreens s;
        QList<bool> finishes { false, false, true, true };
        const QJsonArray items { result(0, false), result(1, true), result(2, true) };
        int polls = 0;
        s.sim.server().on(
            kCgiPathBtsearch, "torrent-search-response", true, [&, items](nassim::Call &) {
                const bool finish = finishes.value(polls++, true);
                return SimReply::ok({ { "items", items }, { "finish", finish } });
            });
        s.results.on_Search_Key_Changed({ { "query", "x" } });
        QTRY_VERIFY(!s.results.listRefresh()->isOutstanding());
        QVERIFY(s.results.overlay()->isShowing());
        QVERIFY(s.results.searchingHUD());
        // What came so far is counted.
        QCOMPARE(s.results.overlay()->text(),
            stringWithKSTFormat(localized("TXT_SEARCHING_SO_FAR"), { "3" }));
        // Download while searching: nothing.
        selectRows(s.results.selectionModel(), { 0 });
        s.sim.server().clearLog();
        s.results.on_Download();
        QVERIFY(s.sim.server().requestsFor("torrent-add-url").isEmpty());
        s.poll();
        QVERIFY(s.results.overlay()->isShowing());
        s.poll();
        QVERIFY(!s.results.overlay()->isShowing());
        QVERIFY(!s.results.searchingHUD());
        QCOMPARE(s.results.overlay()->text(), localized("TXT_LOADING"));
        s.poll();
        QVERIFY(!s.results.overlay()->isShowing());
        QCOMPARE(polls, 4);
    }

    // Cancel on the overlay: the poll stops asking, what came stays and can
    // be downloaded and sorted; the same key chosen again waits again.
    void cancellingASearchKeepsWhatArrived()
    {
        SearchScreens s;
        const QJsonArray items { result(0, false), result(1, true) };
        s.sim.server().on(
            kCgiPathBtsearch, "torrent-search-response", true, [items](nassim::Call &) {
                return SimReply::ok({ { "items", items }, { "finish", false } });
            });
        s.results.on_Search_Key_Changed({ { "query", "x" } });
        QTRY_VERIFY(!s.results.listRefresh()->isOutstanding());
        QVERIFY(s.results.overlay()->isShowing());
        QVERIFY(s.results.overlay()->isCancellable());
        s.results.overlay()->cancel();
        QVERIFY(!s.results.overlay()->isShowing());
        QVERIFY(!s.results.searchingHUD());
        QVERIFY(s.results.searchStopped());
        QCOMPARE(s.results.model()->rowCount(), 2);

        // The poll asks nothing more.
        s.sim.server().clearLog();
        s.results.refresh_Items();
        QVERIFY(!s.results.listRefresh()->isOutstanding());
        settleEverything();
        QVERIFY(s.sim.server().requestsFor("torrent-search-response").isEmpty());
        // Sorting asks once, and the overlay stays away.
        s.results.setSort("seeds", "desc");
        QTRY_VERIFY(!s.results.listRefresh()->isOutstanding());
        QCOMPARE(s.sim.server().requestsFor("torrent-search-response").size(), 1);
        QVERIFY(!s.results.overlay()->isShowing());
        // Downloads work.
        QSignalSpy dialog(&s.results, &SearchResultController::taskDialogRequested);
        selectRows(s.results.selectionModel(), { 1 });
        s.results.on_Download();
        QVERIFY(dialog.wait(5000));

        // Chosen again: waited for again.
        s.results.on_Search_Key_Changed({ { "query", "x" } });
        QVERIFY(!s.results.searchStopped());
        s.poll();
        QVERIFY(s.results.overlay()->isShowing());
        s.results.overlay()->cancel();
    }

    void downloadOneOrSeveral()
    {
        SearchScreens s;
        const QJsonArray items { result(0, false), result(1, true), result(2, true) };
        s.sim.server().on(
            kCgiPathBtsearch, "torrent-search-response", true, [items](nassim::Call &) {
                return SimReply::ok({ { "items", items }, { "finish", true } });
            });
        s.results.on_Search_Key_Changed({ { "query", "x" } });
        QTRY_COMPARE(s.results.model()->rowCount(), 3);
        QVERIFY(!s.results.actDownload()->isEnabled());
        selectRows(s.results.selectionModel(), { 0 });
        QVERIFY(s.results.actDownload()->isEnabled() && s.results.actOpen()->isEnabled());

        // The NAS cannot fetch these torrents ("fail" hosts): without a
        // magnet the bare torrent link goes, else the magnet link.
        QSignalSpy dialog(&s.results, &SearchResultController::taskDialogRequested);
        s.results.on_Download();
        QVERIFY(dialog.wait(5000));
        QCOMPARE(dialog[0][0].toJsonObject(),
            (QJsonObject { { "url", "http://t.fail.example/0.torrent" } }));
        selectRows(s.results.selectionModel(), { 1 });
        s.results.on_Download();
        QVERIFY(dialog.wait(5000));
        QCOMPARE(dialog[1][0].toJsonObject(), (QJsonObject { { "url", "magnet:?xt=urn:btih:1" } }));

        // Several: the wizard with the chosen records, no request.
        s.sim.server().clearLog();
        QSignalSpy wizard(&s.results, &SearchResultController::multiDownloadRequested);
        selectRows(s.results.selectionModel(), { 2, 0 });
        QVERIFY(s.results.actOpen()->isEnabled()); // Open takes several too
        s.results.on_Download();
        QVERIFY(wizard.wait(5000));
        QCOMPARE(wizard[0][0].toUInt(), 1u);
        QCOMPARE(wizard[0][1].toJsonArray(), (QJsonArray { items[0], items[2] }));
        QVERIFY(s.sim.server().requestsFor("torrent-add-url").isEmpty());

        // Open: the selected row's page.
        QSignalSpy open(&s.results, &SearchResultController::openUrlRequested);
        selectRows(s.results.selectionModel(), { 1 });
        s.results.on_Open();
        QCOMPARE(open.size(), 1);
        QCOMPARE(open[0][0].toUrl(), QUrl("http://127.0.0.1/r/1"));
        // Several: each page, in row order.
        selectRows(s.results.selectionModel(), { 2, 0 });
        s.results.on_Open();
        QCOMPARE(open.size(), 3);
        QCOMPARE(open[1][0].toUrl(), QUrl("http://127.0.0.1/r/0"));
        QCOMPARE(open[2][0].toUrl(), QUrl("http://127.0.0.1/r/2"));
    }

    void categoryFilterAndStaleReplies()
    {
        SearchScreens s;
        s.refreshKeys();
        s.poll();
        QVERIFY(s.results.categoryChoices().size() > 1);
        QCOMPARE(s.results.categoryChoices().first(), localized("SEARCH_CATE_ALL"));
        const QString music = s.results.categoryChoices().value(1);
        s.results.on_Click_Search_Category(music);
        s.poll();
        QCOMPARE(s.lastForm("torrent-search-response").value("category").toString(), music);
        QCOMPARE(s.results.categoryIndex(), 1);
        for (int r = 0; r < s.results.model()->rowCount(); ++r)
            QCOMPARE(s.results.model()->record(r).value("category").toString(), music);
        // The first item: every category again, sent empty.
        s.results.on_Click_Search_Category(s.results.categoryChoices().first());
        s.poll();
        QCOMPARE(s.lastForm("torrent-search-response").value("category").toString(), QString());
        s.results.on_Edit_Filter("netinst");
        s.poll();
        QCOMPARE(s.lastForm("torrent-search-response").value("filter").toString(),
            QStringLiteral("netinst"));

        // A key changed while a poll is out: the old key's results are
        // never shown, the new key's follow at once; the category resets.
        s.results.on_Edit_Filter("");
        s.poll();
        s.sim.server().applyControl("delay_ms", "200");
        QSignalSpy applied(&s.results, &SearchResultController::listApplied);
        s.results.refresh_Items();
        s.keys.selectRow(1);
        QTRY_VERIFY_WITH_TIMEOUT(
            !s.results.listRefresh()->isOutstanding() && applied.size() == 1, 5000);
        s.sim.server().applyControl("delay_ms", "0");
        QCOMPARE(applied.size(), 1);
        QCOMPARE(s.results.category(), QString());
        QVERIFY(
            s.results.model()->record(0).value("title").toString().startsWith("big buck bunny"));
    }

    void deletingTheOnlyKeyEmptiesBothScreens()
    {
        SearchScreens s;
        s.sim.state().search().remove("debian");
        s.refreshKeys();
        QCOMPARE(s.keys.model()->rowCount(), 1);
        s.poll();
        QVERIFY(s.results.model()->rowCount() > 0);
        s.keys.on_Remove_Search_Entry();
        QTRY_COMPARE(s.keys.model()->rowCount(), 0);
        QCOMPARE(s.lastForm("torrent-search-delete").value("query").toString(),
            QStringLiteral("big buck bunny"));
        QTRY_COMPARE(s.results.model()->rowCount(), 0);
        QVERIFY(!s.results.searchKey());
        QCOMPARE(s.results.categoryChoices().size(), 1);
    }
};

QTEST_MAIN(TestSearch)
#include "tst_search.moc"
