// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#pragma once

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QThread>

#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

class QThreadPool;

namespace flk {

// Work that may wait on the NAS runs on one pool of at most this many
// threads. A NAS operation blocks its worker until the GUI thread has the
// reply, so this is also the most threads that can sit waiting on the
// network at once; further work queues until one comes free.
inline constexpr int kMaxNetworkWaiters = 12;

// The pool behind runWork and every overlay's queue. Nothing that the GUI
// thread itself waits on runs here (the raster paint engine waits on Qt's
// global pool; work here waits on the GUI thread), so the two never wait on
// each other.
QThreadPool *networkPool();

// Waits until the pool has no work left, keeping the GUI thread's events
// flowing meanwhile (tests and shutdown).
void waitForNetworkWork();

// Gives memory freed after a very large piece of work (a list of hundreds of
// thousands of tasks) back to the system, on a worker: the C library keeps
// freed blocks of every thread's heap for reuse otherwise, so the process
// would stay hundreds of megabytes larger after one big list.
void releaseFreedMemory();

namespace detail {
void startOnNetworkPool(std::function<void()> task);
// Hands fn to the GUI thread; it runs there while context is alive. The
// context is looked at only there: posted to the application object, which
// outlives every context.
template <class T> void deliver(QPointer<T> context, std::function<void()> fn)
{
    QMetaObject::invokeMethod(
        qApp,
        [context, fn = std::move(fn)]() mutable {
            if (context)
                fn();
        },
        Qt::QueuedConnection);
}
} // namespace detail

// Runs work on a network worker, then done(result) on the GUI thread while
// context lives; when the context has gone meanwhile the result is dropped.
// The result travels by value: nothing on either side refers to the other
// thread's stack.
template <class Work, class Done> void runWork(QObject *context, Work work, Done done)
{
    QPointer<QObject> ctx(context);
    detail::startOnNetworkPool([ctx, work = std::move(work), done = std::move(done)]() mutable {
        using Result = std::invoke_result_t<Work &>;
        if constexpr (std::is_void_v<Result>) {
            work();
            detail::deliver(ctx, [done = std::move(done)]() mutable { done(); });
        } else {
            auto result = std::make_shared<Result>(work());
            detail::deliver(
                ctx, [done = std::move(done), result]() mutable { done(std::move(*result)); });
        }
    });
}

// A serial queue on the network pool: tasks run one after another, in the
// order posted, each on some pool thread. Shared, so work still running when
// its owner goes finishes on its own.
class SerialWorkQueue : public std::enable_shared_from_this<SerialWorkQueue>
{
public:
    static std::shared_ptr<SerialWorkQueue> create();
    void post(std::function<void()> task);
    bool idle() const;

private:
    SerialWorkQueue();
    void drain();
    struct State;
    std::shared_ptr<State> m_state;
};

} // namespace flk
