// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// Small requests one after another on one keep-alive connection.
#include "NasServer.h"
#include "NasState.h"

#include "api/CgiCtrl.h"
#include "api/CgiOperations.h"
#include "api/Work.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>

#include <thread>

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
// Against the simulated NAS as a separate process, as curl sees it (see
// bench/requests-vs-curl.sh, which runs both on one server process): the
// server given by FERRYLINK_BENCH_NAS (its base URL), else one started here.
class SimProcess
{
public:
    SimProcess()
    {
        m_base = qEnvironmentVariable("FERRYLINK_BENCH_NAS");
        if (!m_base.isEmpty())
            return;
        m_sim.start(QStringLiteral(NAS_SIM_EXE), { "--port", "0", "--https-port", "-1" });
        if (m_sim.waitForStarted() && m_sim.waitForReadyRead(10000))
            m_base = QRegularExpression("(http://127\\.0\\.0\\.1:\\d+)")
                         .match(QString::fromUtf8(m_sim.readLine()))
                         .captured(1);
    }
    ~SimProcess()
    {
        if (m_sim.state() != QProcess::NotRunning) {
            m_sim.kill();
            m_sim.waitForFinished();
        }
    }
    QString base() const { return m_base; }

private:
    QProcess m_sim;
    QString m_base;
};

// One worker making the requests one after another: the request layer's own
// cost (the caller blocks; the network thread does the I/O).
void BM_SmallRequestsToSimProcess(benchmark::State &state)
{
    SimProcess sim;
    if (sim.base().isEmpty()) {
        state.SkipWithError("no simulated NAS");
        return;
    }
    CgiCtrl client;
    qint64 n = 0;
    std::thread worker([&] {
        Error e;
        client.login_Server(sim.base(), "admin", "admin", false, &e);
        for (auto _ : state) {
            client.check_Session_Timeout(&e);
            ++n;
        }
    });
    worker.join();
    state.SetItemsProcessed(n);
}
BENCHMARK(BM_SmallRequestsToSimProcess)->UseRealTime()->Unit(benchmark::kMicrosecond);

// Qt's HTTP client alone on the same requests (no request layer): the floor
// the layer stands on.
void BM_QtClientAloneToSimProcess(benchmark::State &state)
{
    SimProcess sim;
    CgiCtrl session;
    Error e;
    if (sim.base().isEmpty()
        || !session.login_Server(sim.base(), "admin", "admin", false, &e).has_value()) {
        state.SkipWithError("no simulated NAS");
        return;
    }
    QNetworkAccessManager nam;
    const QUrl url(session.generate_Cgi_URL(session.host(), QString::fromLatin1(kCgiPathLogin),
        QStringLiteral("revive"), std::nullopt));
    for (auto _ : state) {
        QNetworkRequest request(url);
        request.setHeader(QNetworkRequest::ContentTypeHeader, "application/x-www-form-urlencoded");
        QNetworkReply *reply = nam.post(request, QByteArray());
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        benchmark::DoNotOptimize(reply->readAll());
        delete reply;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_QtClientAloneToSimProcess)->UseRealTime()->Unit(benchmark::kMicrosecond);

// The application's way: each request from a network worker, its result
// handed back to the GUI thread.
void BM_SmallRequestsToSimProcessFromWorkers(benchmark::State &state)
{
    SimProcess sim;
    if (sim.base().isEmpty()) {
        state.SkipWithError("no simulated NAS");
        return;
    }
    CgiCtrl client;
    Error e;
    client.login_Server(sim.base(), "admin", "admin", false, &e);
    QObject context;
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
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SmallRequestsToSimProcessFromWorkers)->UseRealTime()->Unit(benchmark::kMicrosecond);
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
