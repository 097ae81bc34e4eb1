// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// Sheets, the pane base class, the progress overlay and the alert helpers.
#include "RecordingAlertPresenter.h"
#include "TestUtil.h"

#include "api/CgiCtrl.h"
#include "api/Localization.h"
#include "servers/ReachabilityMonitor.h"
#include "ui/DCBaseViewController.h"
#include "ui/KSTProgressHUDHelper.h"
#include "ui/KSTSheetViewController.h"
#include "ui/Utility.h"

#include <QDialog>
#include <QHeaderView>
#include <QPushButton>
#include <QSemaphore>
#include <QStandardItemModel>
#include <QtTest>

using namespace flk;

namespace {
class CountingPane : public DCBaseViewController
{
public:
    using DCBaseViewController::DCBaseViewController;
    int refreshes = 0;
    void refresh_Items() override { ++refreshes; }
    QString sortKeyForColumn(int column) const override
    {
        return QStringLiteral("key%1").arg(column);
    }
};
} // namespace

class TestScreenBase : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { installTranslations(); }

    void sheetOkAndCancel()
    {
        QWidget window;
        window.show();
        auto *sheet = new KSTSheetViewController;
        QList<QPair<bool, QVariant>> calls;
        sheet->setCompletion([&](bool ok, const QVariant &r) { calls.append({ ok, r }); });
        QCOMPARE(sheet->btnOk()->text(), localized("OK"));
        QCOMPARE(sheet->btnCancel()->text(), localized("CANCEL"));
        QPointer<QDialog> dialog = KSTSheetViewController::presentSheet(&window, sheet);
        QCOMPARE(dialog->windowModality(), Qt::WindowModal);
        QCOMPARE(dialog->parentWidget(), &window);
        sheet->setResultObject(42);
        sheet->on_Cancel();
        QCOMPARE(calls.size(), 1);
        QCOMPARE(calls[0].first, false);
        QVERIFY(!calls[0].second.isValid()); // even though a result was set
        QTRY_VERIFY(!dialog);

        auto *second = new KSTSheetViewController;
        second->setCompletion([&](bool ok, const QVariant &r) { calls.append({ ok, r }); });
        dialog = KSTSheetViewController::presentSheet(&window, second);
        second->setResultObject(QStringLiteral("done"));
        QTest::keyClick(second->btnOk(), Qt::Key_Return);
        QCOMPARE(calls.size(), 2);
        QVERIFY(calls[1].first);
        QCOMPARE(calls[1].second.toString(), QStringLiteral("done"));
        QTRY_VERIFY(!dialog);

        // Escape on the dialog cancels through the sheet.
        auto *third = new KSTSheetViewController;
        third->setCompletion([&](bool ok, const QVariant &r) { calls.append({ ok, r }); });
        dialog = KSTSheetViewController::presentSheet(&window, third);
        dialog->reject();
        QCOMPARE(calls.size(), 3);
        QVERIFY(!calls[2].first);
        QTRY_VERIFY(!dialog);
    }

    void paneClientComesFromItsParent()
    {
        CountingPane host;
        auto *child = new CountingPane(&host);
        QVERIFY(!host.ctrlCgi());
        QVERIFY(!child->ctrlCgi());
        CgiCtrl client;
        host.setCtrlCgi(&client);
        QCOMPARE(child->ctrlCgi(), &client);
        CgiCtrl own;
        child->setCtrlCgi(&own);
        QCOMPARE(child->ctrlCgi(), &own);
        CountingPane orphan;
        QVERIFY(!orphan.ctrlCgi());
    }

    void paneVisibilityAndRefreshOnShow()
    {
        CountingPane pane;
        QCOMPARE(pane.sortKey(), QStringLiteral(""));
        QCOMPARE(pane.order(), QStringLiteral("asc"));
        QVERIFY(!pane.visible());
        pane.show();
        QCOMPARE(pane.refreshes, 1);
        QVERIFY(pane.visible());
        pane.hide();
        QVERIFY(!pane.visible());
    }

    void headerClicksOnOwnTableOnly()
    {
        CountingPane pane;
        QStandardItemModel model(3, 3);
        auto *own = new QTableView(&pane);
        own->setModel(&model);
        own->setSortingEnabled(true);
        auto *other = new QTableView(&pane);
        other->setModel(&model);
        other->setSortingEnabled(true);
        pane.setTableView(own);
        own->horizontalHeader()->setSortIndicator(2, Qt::DescendingOrder);
        pane.onHeaderClicked(other, 1);
        QCOMPARE(pane.sortKey(), QStringLiteral(""));
        QCOMPARE(pane.refreshes, 0);
        pane.onHeaderClicked(own, 2);
        QCOMPARE(pane.sortKey(), QStringLiteral("key2"));
        QCOMPARE(pane.order(), QStringLiteral("desc"));
        QCOMPARE(pane.refreshes, 1);
        QCOMPARE(own->verticalHeader()->defaultSectionSize(), 25);
    }

    void overlayRunsActionOnItsQueue()
    {
        QWidget view;
        view.resize(300, 200);
        view.show();
        KSTProgressHUDHelper hud;
        hud.setText("Working");
        QThread *actionThread = nullptr;
        QThread *completionThread = nullptr;
        QSemaphore release;
        bool started = hud.show_HUD(
            [&] {
                actionThread = QThread::currentThread();
                release.acquire();
            },
            &view, [&] { completionThread = QThread::currentThread(); });
        QVERIFY(started);
        QVERIFY(hud.isShowing());
        QVERIFY(hud.overlay());
        QCOMPARE(hud.overlay()->geometry(), view.rect());
        // While it shows, another request is dropped: neither part runs.
        bool secondRan = false;
        QVERIFY(!hud.show_HUD([&] { secondRan = true; }, &view, [&] { secondRan = true; }));
        release.release();
        QTRY_VERIFY(completionThread);
        QCOMPARE(completionThread, QThread::currentThread());
        QVERIFY(actionThread && actionThread != QThread::currentThread());
        QVERIFY(!hud.isShowing());
        QTRY_VERIFY(!hud.overlay());
        hud.waitForIdle();
        QVERIFY(!secondRan);
        // Free again afterwards.
        QVERIFY(hud.show_HUD([] {}, &view, [] {}));
        QTRY_VERIFY(!hud.isShowing());
    }

    void clickCancelsACancellableOverlay()
    {
        QWidget view;
        view.resize(300, 200);
        view.show();
        KSTProgressHUDHelper hud;
        QSemaphore release;
        bool completed = false, cancelled = false;
        QVERIFY(hud.show_Cancellable_HUD([&] { release.acquire(); }, &view,
            [&] { completed = true; }, [&] { cancelled = true; }));
        // It carries a Cancel button.
        auto *button = hud.overlay()->findChild<QPushButton *>();
        QVERIFY(button);
        QCOMPARE(button->text(), localized("CANCEL"));
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(cancelled);
        QVERIFY(!hud.isShowing());
        release.release();
        hud.waitForIdle();
        deliverPosted();
        QVERIFY(!completed);

        // Escape cancels too.
        cancelled = false;
        QVERIFY(hud.show_Cancellable_HUD([&] { release.acquire(); }, &view,
            [&] { completed = true; }, [&] { cancelled = true; }));
        QTest::keyClick(hud.overlay(), Qt::Key_Escape);
        QVERIFY(cancelled);
        release.release();
        hud.waitForIdle();
        deliverPosted();
        QVERIFY(!completed);

        // A plain overlay ignores clicks.
        QVERIFY(hud.show_HUD([&] { release.acquire(); }, &view, [&] { completed = true; }));
        QTest::mouseClick(hud.overlay(), Qt::LeftButton);
        QVERIFY(hud.isShowing());
        release.release();
        QTRY_VERIFY(completed);
    }

    void alertButtonsAndAnswers()
    {
        RecordingAlertPresenter alerts;
        QWidget window;
        bool cancelledSeen = false;
        int indexSeen = -9;
        Utility::showAlert(&window, Utility::Critical, QString(), "msg", "Cancel",
            QStringList { "A", "B" }, [&](bool c, int i) {
                cancelledSeen = c;
                indexSeen = i;
            });
        QCOMPARE(alerts.shown.size(), 1);
        QCOMPARE(alerts.shown[0].request.buttons, (QStringList { "A", "B", "Cancel" }));
        QCOMPARE(alerts.shown[0].request.title, QStringLiteral(""));
        QCOMPARE(alerts.shown[0].request.style, AlertRequest::Critical);
        QCOMPARE(alerts.shown[0].request.parentWindow, static_cast<void *>(&window));
        alerts.close(1);
        QVERIFY(!cancelledSeen);
        QCOMPARE(indexSeen, 1);
        Utility::showAlert(&window, Utility::Warning, "t", "m", "Cancel", QStringList { "A" },
            [&](bool c, int) { cancelledSeen = c; });
        alerts.close(1);
        QVERIFY(cancelledSeen);

        bool ok = false;
        Utility::showAlert(
            &window, Utility::Informational, "t", "m", QString(), "OK", [&](bool o) { ok = o; });
        QCOMPARE(alerts.shown.last().request.buttons, QStringList { "OK" });
        alerts.close(0);
        QVERIFY(ok);
    }

    void networkCheckWarnsWhenUnreachable()
    {
        RecordingAlertPresenter alerts;
        ReachabilityMonitor::shared()->setForcedStatus(ReachabilityMonitor::Reachable);
        QVERIFY(Utility::is_Network_Valid());
        QVERIFY(alerts.shown.isEmpty());
        ReachabilityMonitor::shared()->setForcedStatus(ReachabilityMonitor::NotReachable);
        QVERIFY(!Utility::is_Network_Valid());
        QCOMPARE(alerts.shown.size(), 1);
        QCOMPARE(alerts.shown[0].request.message, localized("ERR_NETWORK_DISCONNECT"));
        ReachabilityMonitor::shared()->setForcedStatus(ReachabilityMonitor::Unknown);
        QVERIFY(Utility::is_Network_Valid());
        ReachabilityMonitor::shared()->setForcedStatus(std::nullopt);
    }
};

QTEST_MAIN(TestScreenBase)
#include "tst_screenbase.moc"
