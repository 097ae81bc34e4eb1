// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
#include "Work.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <QMutex>
#include <QThreadPool>

#include <deque>

namespace flk {

QThreadPool *networkPool()
{
    static QThreadPool *pool = [] {
        auto *p = new QThreadPool;
        p->setObjectName(QStringLiteral("com.kestrel.queue.network"));
        p->setMaxThreadCount(kMaxNetworkWaiters);
        return p;
    }();
    return pool;
}

void waitForNetworkWork()
{
    const bool gui = qApp && QThread::currentThread() == qApp->thread();
    while (!networkPool()->waitForDone(10)) {
        if (gui)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    if (gui)
        QCoreApplication::sendPostedEvents();
}

namespace detail {

void startOnNetworkPool(std::function<void()> task)
{
    networkPool()->start(std::move(task));
}

} // namespace detail

struct SerialWorkQueue::State {
    mutable QMutex mutex;
    std::deque<std::function<void()>> tasks;
    bool running = false;
};

SerialWorkQueue::SerialWorkQueue() : m_state(std::make_shared<State>()) { }

std::shared_ptr<SerialWorkQueue> SerialWorkQueue::create()
{
    return std::shared_ptr<SerialWorkQueue>(new SerialWorkQueue);
}

void SerialWorkQueue::post(std::function<void()> task)
{
    {
        QMutexLocker lock(&m_state->mutex);
        m_state->tasks.push_back(std::move(task));
        if (m_state->running)
            return;
        m_state->running = true;
    }
    detail::startOnNetworkPool([self = shared_from_this()] { self->drain(); });
}

bool SerialWorkQueue::idle() const
{
    QMutexLocker lock(&m_state->mutex);
    return !m_state->running;
}

void SerialWorkQueue::drain()
{
    for (;;) {
        std::function<void()> task;
        {
            QMutexLocker lock(&m_state->mutex);
            if (m_state->tasks.empty()) {
                m_state->running = false;
                return;
            }
            task = std::move(m_state->tasks.front());
            m_state->tasks.pop_front();
        }
        task();
    }
}

void releaseFreedMemory()
{
#ifdef __GLIBC__
    static std::atomic<bool> queued { false };
    bool expected = false;
    if (!queued.compare_exchange_strong(expected, true))
        return; // one is on its way
    networkPool()->start([] {
        queued = false;
        malloc_trim(0);
    });
#endif
}

} // namespace flk
