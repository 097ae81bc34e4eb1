#pragma once

#include "SimFixture.h"

#include "api/CgiCtrl.h"
#include "api/CgiErrorRules.h"
#include "app/KSTProgressHUDHelper.h"
#include "tasks/DownloadViewController.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QJsonObject>
#include <QSignalSpy>
#include <QtTest>

// A task list screen signed in to its own simulated NAS, with the app's
// error rules. Going away, it closes open sheets and waits until no request
// of the screen is out, so the client outlives them.
struct TaskListScreen {
    SimFixture sim;
    flk::AppCgiDelegate rules;
    flk::CgiCtrl client;
    flk::DownloadViewController view;

    explicit TaskListScreen(bool firstList)
    {
        client.setDelegate(&rules);
        flk::Error e;
        if (!client.login_Server(sim.http(), "admin", "admin", false, &e))
            qFatal("sign-in to the simulator failed");
        view.setCtrlCgi(&client);
        view.resize(900, 700);
        if (firstList) {
            QSignalSpy applied(&view, &flk::DownloadViewController::listApplied);
            view.refresh_Items();
            if (!applied.wait(5000))
                qFatal("no task list");
        }
        sim.server().clearLog();
    }
    ~TaskListScreen()
    {
        closeSheets();
        flk::KSTProgressHUDHelper::waitForAllQueues();
        QDeadlineTimer deadline(10000);
        while ((view.isDetailsRequestOutstanding() || view.isListRequestOutstanding())
            && !deadline.hasExpired())
            QTest::qWait(10);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    static void closeSheets()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *d = qobject_cast<QDialog *>(w); d && d->isVisible())
                d->reject();
    }
    // The form of the last request with this act.
    QJsonObject lastForm(const QString &act)
    {
        const auto all = sim.server().requestsFor(act);
        return all.isEmpty() ? QJsonObject() : all.last().value("form").toObject();
    }
};
