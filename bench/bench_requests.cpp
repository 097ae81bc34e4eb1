// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// Small requests one after another on one keep-alive connection.
#include "NasServer.h"
#include "NasState.h"

#include "api/CgiCtrl.h"
#include "api/Work.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

using namespace flk;

namespace {
void BM_SequentialSmallRequests(benchmark::State &state)
{
    nassim::NasState nas;
    nassim::NasServer server(nas);
    server.start("127.0.0.1", 0, -1);
    CgiCtrl client;
    Error e;
    client.login_Server(server.httpBase(), "admin", "admin", false, &e);
    qint64 n = 0;
    for (auto _ : state) {
        client.check_Session_Timeout(&e);
        ++n;
        if (n % 2000 == 0)
            server.clearLog(); // keep the simulator's log from growing without bound
    }
    state.SetItemsProcessed(n);
}
BENCHMARK(BM_SequentialSmallRequests)->UseRealTime()->Unit(benchmark::kMicrosecond);

// The same as the application makes them: each request from a network
// worker (runWork), its result handed back to the GUI thread.
void BM_SequentialSmallRequestsFromWorkers(benchmark::State &state)
{
    nassim::NasState nas;
    nassim::NasServer server(nas);
    server.start("127.0.0.1", 0, -1);
    CgiCtrl client;
    Error e;
    client.login_Server(server.httpBase(), "admin", "admin", false, &e);
    QObject context;
    qint64 n = 0;
    for (auto _ : state) {
        bool done = false;
        runWork(
            &context,
            [&client] {
                Error err;
                return client.check_Session_Timeout(&err);
            },
            [&done](bool) { done = true; });
        while (!done)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        ++n;
        if (n % 2000 == 0)
            server.clearLog();
    }
    state.SetItemsProcessed(n);
}
BENCHMARK(BM_SequentialSmallRequestsFromWorkers)->UseRealTime()->Unit(benchmark::kMicrosecond);
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // The first benchmark measures the transport from the GUI thread itself.
    CgiCtrl::setGuiThreadWaitAllowed(true);
    // The request layer logs one line per request; keep the figures clean.
    qputenv("QT_LOGGING_RULES", "*.info=false");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
