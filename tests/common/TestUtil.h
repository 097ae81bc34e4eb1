// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QCoreApplication>
#include <QFile>
#include <QFuture>
#include <QtConcurrent/QtConcurrentRun>

#include "api/CgiCtrl.h"
#include "api/Work.h"

// Runs f on a worker thread while the GUI thread keeps handling events (as a
// screen's work queue does), and returns its result.
template <typename F> auto onWorker(F f)
{
    // Not Qt's global pool: painting may wait on it while f waits for us.
    QFuture<decltype(f())> future = QtConcurrent::run(flk::networkPool(), f);
    while (!future.isFinished())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return future.result();
}

// While alive, operations may wait on the GUI thread (for tests of that
// path; the application never does).
struct GuiThreadWaitAllowed {
    GuiThreadWaitAllowed() { flk::CgiCtrl::setGuiThreadWaitAllowed(true); }
    ~GuiThreadWaitAllowed() { flk::CgiCtrl::setGuiThreadWaitAllowed(false); }
};

inline QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Delivers everything already posted to the GUI thread. Events of one
// thread are delivered in the order they were posted, so once a marker
// posted now has run, every queued call posted before it (an alert, a
// command's result) has arrived: a test that asserts something did not
// happen waits for this later event instead of a fixed time.
inline void deliverPosted()
{
    bool reached = false;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&reached] { reached = true; }, Qt::QueuedConnection);
    while (!reached)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// Work on the network pool done, its results and what they posted delivered.
inline void settleEverything()
{
    flk::waitForNetworkWork();
    deliverPosted();
}
