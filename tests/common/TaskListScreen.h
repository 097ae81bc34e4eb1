// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include "SimFixture.h"
#include "TestUtil.h"

#include "api/CgiCtrl.h"
#include "api/CgiErrorRules.h"
#include "api/CommandOverlay.h"
#include "api/Work.h"
#include "models/ListRefresh.h"
#include "tasks/TaskDetailsController.h"
#include "tasks/TaskListController.h"
#include "tasks/ui/DownloadViewController.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QItemSelectionModel>
#include <QJsonObject>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

// A client signed in to its own simulated NAS, with the app's error rules.
struct SignedInClient {
    SimFixture sim;
    flk::AppCgiDelegate rules;
    std::shared_ptr<flk::CgiCtrl> client = std::make_shared<flk::CgiCtrl>();

    SignedInClient()
    {
        client->setDelegate(&rules);
        flk::CgiCtrl *c = client.get();
        const QString server = sim.http();
        const bool ok = onWorker([c, server] {
            flk::Error e;
            return c->login_Server(server, "admin", "admin", false, &e).has_value();
        });
        if (!ok)
            qFatal("sign-in to the simulator failed");
    }
    // Work still running with the client (a screen's background fetch) ends
    // before its delegate goes.
    ~SignedInClient()
    {
        flk::waitForNetworkWork();
    }
    // The form of the last request with this act.
    QJsonObject lastForm(const QString &act)
    {
        const auto all = sim.server().requestsFor(act);
        return all.isEmpty() ? QJsonObject() : all.last().value("form").toObject();
    }
};

// Waits until a task list controller has nothing out, no overlay and no
// queued network work (so a client goes after everything that uses it).
inline void settle(flk::TaskListController &list)
{
    QDeadlineTimer deadline(10000);
    while (list.isBusy() && !deadline.hasExpired())
        QTest::qWait(5);
    flk::waitForNetworkWork();
}

// Selects rows (whole rows, replacing the selection) of a task list.
inline void selectRows(flk::TaskListController &list, const QList<int> &rows)
{
    QItemSelection s;
    for (int r : rows)
        s.select(
            list.model()->index(r, 0), list.model()->index(r, flk::TaskListModel::ColumnCount - 1));
    list.selectionModel()->select(s, QItemSelectionModel::ClearAndSelect);
    if (!rows.isEmpty())
        list.selectionModel()->setCurrentIndex(
            list.model()->index(rows.last(), 0), QItemSelectionModel::NoUpdate);
}

// The task list logic without widgets, on a signed-in client.
struct TaskListHarness : SignedInClient {
    flk::TaskListController list;

    explicit TaskListHarness(bool firstList)
    {
        list.setClientSource([this] { return client; });
        if (firstList)
            refreshAndWait();
        sim.server().clearLog();
    }
    ~TaskListHarness() { settle(list); }
    void refreshAndWait()
    {
        QSignalSpy applied(&list, &flk::TaskListController::listApplied);
        list.refresh_Items();
        if (!applied.wait(5000))
            qFatal("no task list");
        settle(list);
    }
};

// The task list screen (widgets over the controller) on a signed-in client.
// Going away, it closes open sheets and waits until nothing of it is out.
struct TaskListScreen : SignedInClient {
    flk::DownloadViewController view;

    explicit TaskListScreen(bool firstList)
    {
        view.setCtrlCgi(client);
        view.resize(900, 700);
        if (firstList) {
            QSignalSpy applied(list(), &flk::TaskListController::listApplied);
            view.refresh_Items();
            if (!applied.wait(5000))
                qFatal("no task list");
            settle(*list());
        }
        sim.server().clearLog();
    }
    ~TaskListScreen()
    {
        closeSheets();
        settle(*list());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    flk::TaskListController *list() const { return view.controller(); }
    flk::TaskDetailsController *details() const { return view.controller()->details(); }
    static void closeSheets()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *d = qobject_cast<QDialog *>(w); d && d->isVisible())
                d->reject();
    }
};
