#include "WorkQueue.h"

#include <QThreadPool>

namespace flk {

QThreadPool *backgroundQueue()
{
    static QThreadPool *pool = [] {
        auto *p = new QThreadPool;
        p->setObjectName(QStringLiteral("com.kestrel.queue.background"));
        p->setMaxThreadCount(16);
        return p;
    }();
    return pool;
}

} // namespace flk
