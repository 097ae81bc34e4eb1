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
