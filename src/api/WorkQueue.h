#pragma once

class QThreadPool;

namespace flk {

// The pool for background work that blocks on NAS requests. Such work waits
// for the GUI thread (which carries out the requests), so it must never sit
// in Qt's global pool: the GUI thread itself waits on that pool at times (the
// raster paint engine draws with it), and the two would wait on each other.
QThreadPool *backgroundQueue();

} // namespace flk
