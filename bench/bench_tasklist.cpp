// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// Decoding and applying a "torrent-list" reply, and a whole list round trip
// against the simulated NAS.
#include "NasServer.h"
#include "NasState.h"

#include "api/CgiCtrl.h"
#include "api/Work.h"
#include "search/SearchResultController.h"
#include "tasks/TaskListController.h"
#include "tasks/TaskListModel.h"

#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <unistd.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

using namespace flk;

namespace {

QByteArray listReply(int n)
{
    nassim::NasTasks tasks;
    tasks.makeSynthetic(n);
    return QJsonDocument(tasks.list(0, "position", "asc", "", 0)).toJson(QJsonDocument::Compact);
}

// A model already showing the list of body, and the keys of 10% of its rows.
QSet<QString> showList(TaskListModel &model, const QByteArray &body)
{
    model.apply(TaskListModel::decode(QJsonDocument::fromJson(body).object()));
    QSet<QString> selected;
    for (int i = 0; i < model.rowCount(); i += 10)
        selected.insert(model.row(i).key());
    return selected;
}

// Decode the body, apply to a model that already shows the list, and
// restore a selection of 10% of the rows by type and id: one poll's work, as
// the task list does it (simdjson straight into rows).
void BM_DecodeAndApply(benchmark::State &state)
{
    const int n = int(state.range(0));
    const QByteArray body = listReply(n);
    TaskListModel model;
    const QSet<QString> selected = showList(model, body);
    for (auto _ : state) {
        TaskListSnapshot snapshot;
        benchmark::DoNotOptimize(
            TaskListModel::decodeBody(body, &snapshot, model.rows(), model.digests()));
        model.apply(std::move(snapshot));
        benchmark::DoNotOptimize(model.rowsWithKeys(selected));
    }
    state.SetItemsProcessed(state.iterations() * n);
}

// The GUI thread's share of one refresh: applying a list decoded beforehand
// (on a worker in the application) to the model, selection restored.
void BM_ApplyOnGuiThread(benchmark::State &state)
{
    const int n = int(state.range(0));
    const QByteArray body = listReply(n);
    TaskListModel model;
    const QSet<QString> selected = showList(model, body);
    for (auto _ : state) {
        state.PauseTiming();
        TaskListSnapshot snapshot;
        TaskListModel::decodeBody(body, &snapshot, model.rows(), model.digests());
        state.ResumeTiming();
        model.apply(std::move(snapshot));
        benchmark::DoNotOptimize(model.rowsWithKeys(selected));
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_ApplyOnGuiThread)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same through Qt's JSON document, for comparison.
void BM_DecodeAndApplyQtJson(benchmark::State &state)
{
    const int n = int(state.range(0));
    const QByteArray body = listReply(n);
    TaskListModel model;
    const QSet<QString> selected = showList(model, body);
    for (auto _ : state) {
        model.apply(TaskListModel::decode(QJsonDocument::fromJson(body).object()));
        benchmark::DoNotOptimize(model.rowsWithKeys(selected));
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_DecodeAndApplyQtJson)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The first list after a change of category or sort: no texts to share.
void BM_DecodeAndApplyCold(benchmark::State &state)
{
    const int n = int(state.range(0));
    const QByteArray body = listReply(n);
    TaskListModel model;
    model.apply(TaskListModel::decode(QJsonDocument::fromJson(body).object()));
    for (auto _ : state) {
        TaskListSnapshot snapshot;
        benchmark::DoNotOptimize(TaskListModel::decodeBody(body, &snapshot));
        model.apply(std::move(snapshot));
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_DecodeAndApplyCold)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

// A category switch on a big list: from all 10,000 tasks to every other one
// and back (5,000 runs of rows leaving, then coming), as decoded rows.
void BM_CategorySwitch(benchmark::State &state)
{
    const int n = int(state.range(0));
    const TaskListSnapshot all
        = TaskListModel::decode(QJsonDocument::fromJson(listReply(n)).object());
    TaskListSnapshot half = all;
    half.rows.clear();
    for (int i = 0; i < all.rows.size(); i += 2)
        half.rows.append(all.rows[i]);
    TaskListModel model;
    model.apply(all);
    for (auto _ : state) {
        model.apply(half);
        model.apply(all);
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_CategorySwitch)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK(BM_DecodeAndApply)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(50000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_ListRoundTrip(benchmark::State &state)
{
    nassim::NasState nas;
    nas.tasks().makeSynthetic(int(state.range(0)));
    nassim::NasServer server(nas);
    server.start("127.0.0.1", 0, -1);
    CgiCtrl client;
    Error e;
    client.login_Server(server.httpBase(), "admin", "admin", false, &e);
    TaskListModel model;
    for (auto _ : state) {
        // As the list screen does it: the body decoded straight into rows.
        TaskListSnapshot snapshot;
        CgiCtrl::ScopedBodyParser parser([&snapshot, &model](const QByteArray &body) {
            return TaskListModel::decodeBody(body, &snapshot, model.rows(), model.digests());
        });
        if (client.get_Torrent_List(0, "position", "asc", "", &e))
            model.apply(std::move(snapshot));
    }
    server.clearLog();
}
BENCHMARK(BM_ListRoundTrip)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The process's resident memory, in MiB.
double residentMiB()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = f.readAll().split(' ');
    return fields.value(1).toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// The task list controller polling a simulated NAS that runs as its own
// process (so only Ferrylink's memory is counted), as the application does.
class ListAgainstSim
{
public:
    explicit ListAgainstSim(int tasks)
    {
        m_sim.start(QStringLiteral(NAS_SIM_EXE),
            { "--port", "0", "--https-port", "-1", "--set",
                QStringLiteral("tasks=%1").arg(tasks) });
        if (!m_sim.waitForStarted() || !m_sim.waitForReadyRead(10000))
            return;
        m_base = QRegularExpression("(http://127\\.0\\.0\\.1:\\d+)")
                     .match(QString::fromUtf8(m_sim.readLine()))
                     .captured(1);
        m_client = std::make_shared<CgiCtrl>();
        Error e;
        m_client->login_Server(m_base, "admin", "admin", false, &e);
        m_list.setClientSource([c = m_client] { return c; });
    }
    ~ListAgainstSim()
    {
        m_sim.kill();
        m_sim.waitForFinished();
    }
    bool ok() const { return !m_base.isEmpty() && m_client->logon(); }
    void control(const QString &query)
    {
        QNetworkAccessManager nam;
        QNetworkReply *r = nam.get(QNetworkRequest(QUrl(m_base + "/__sim/control?" + query)));
        QEventLoop loop;
        QObject::connect(r, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        r->deleteLater();
    }
    void poll()
    {
        QEventLoop loop;
        QObject::connect(&m_list, &TaskListController::listApplied, &loop, &QEventLoop::quit);
        QTimer::singleShot(120000, &loop, &QEventLoop::quit);
        m_list.refresh_Items();
        loop.exec();
        waitForNetworkWork();
        // Let deferred work (deletions, a memory release) run.
        QTimer::singleShot(200, &loop, &QEventLoop::quit);
        loop.exec();
        waitForNetworkWork();
    }

private:
    QProcess m_sim;
    QString m_base;
    std::shared_ptr<CgiCtrl> m_client;
    TaskListController m_list;
};

// Memory after one very large list (the range: its tasks; 270,000 make a
// reply of about 63 MB) when the list is small again.
void BM_MemoryAfterBigList(benchmark::State &state)
{
    ListAgainstSim s(100);
    if (!s.ok()) {
        state.SkipWithError("the simulated NAS did not start");
        return;
    }
    s.poll();
    const double before = residentMiB();
    double peak = 0, after = 0;
    for (auto _ : state) {
        s.control(QStringLiteral("tasks=%1").arg(state.range(0)));
        s.poll();
        peak = residentMiB();
        s.control(QStringLiteral("tasks=100"));
        s.poll();
        s.poll();
        after = residentMiB();
    }
    state.counters["rss_before_MiB"] = before;
    state.counters["rss_big_MiB"] = peak;
    state.counters["rss_after_MiB"] = after;
}
BENCHMARK(BM_MemoryAfterBigList)
    ->Arg(270000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Resident memory of the list layer with N tasks shown and polled a few
// times (the GUI's own, about 48 MiB for the whole application with no
// tasks, is not in it), and what each task adds over a list of 100.
void BM_ResidentWithTasks(benchmark::State &state)
{
    ListAgainstSim s(100);
    if (!s.ok()) {
        state.SkipWithError("the simulated NAS did not start");
        return;
    }
    s.poll();
    const double small = residentMiB();
    double with = 0;
    for (auto _ : state) {
        s.control(QStringLiteral("tasks=%1").arg(state.range(0)));
        for (int i = 0; i < 4; ++i)
            s.poll();
        with = residentMiB();
    }
#ifdef __GLIBC__
    const struct mallinfo2 heap = mallinfo2();
    state.counters["heap_in_use_MiB"] = double(heap.uordblks + heap.hblkhd) / (1024.0 * 1024.0);
    state.counters["heap_free_MiB"] = double(heap.fordblks) / (1024.0 * 1024.0);
#endif
    state.counters["rss_100_MiB"] = small;
    state.counters["rss_MiB"] = with;
    state.counters["per_task_KiB"] = (with - small) * 1024.0 / double(state.range(0) - 100);
}
BENCHMARK(BM_ResidentWithTasks)
    ->Arg(10000)
    ->Arg(50000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A search of N results polled P times (the arguments), again and again: the process must not grow
// with each poll (a reply was once held for two minutes after it was read,
// and 100,000 results grew the process by over 100 MB per poll). The counter
// growth_MiB is resident memory after the last poll minus after the first.
void BM_SearchPollMemory(benchmark::State &state)
{
    QProcess sim;
    sim.start(QStringLiteral(NAS_SIM_EXE),
        { "--port", "0", "--https-port", "-1", "--set",
            QStringLiteral("search_results=%1").arg(state.range(0)), "--set", "search_polls=0" });
    if (!sim.waitForStarted() || !sim.waitForReadyRead(10000)) {
        state.SkipWithError("the simulated NAS did not start");
        return;
    }
    const QString base = QRegularExpression("(http://127\\.0\\.0\\.1:\\d+)")
                             .match(QString::fromUtf8(sim.readLine()))
                             .captured(1);
    auto client = std::make_shared<CgiCtrl>();
    Error e;
    client->login_Server(base, "admin", "admin", false, &e);
    client->send_Search_Request(QStringLiteral("bench"), &e);
    SearchResultController results;
    results.setClientSource([client] { return client; });
    auto poll = [&results](bool restart) {
        QEventLoop loop;
        QObject::connect(&results, &SearchResultController::listApplied, &loop, &QEventLoop::quit);
        QTimer::singleShot(120000, &loop, &QEventLoop::quit);
        if (restart)
            results.on_Search_Key_Changed({ { QStringLiteral("query"), QStringLiteral("bench") } });
        else
            results.refresh_Items();
        loop.exec();
        waitForNetworkWork();
        QTimer::singleShot(200, &loop, &QEventLoop::quit);
        loop.exec();
        waitForNetworkWork();
        // As the application's own event loop does between polls: objects
        // let go of (the replies) are deleted.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    double first = 0, last = 0;
    for (auto _ : state) {
        // The search has finished by the first poll (all results in), so what
        // follows is the same list polled again, as the page does every 5 s.
        poll(true);
        first = residentMiB();
#ifdef __GLIBC__
        const struct mallinfo2 atFirst = mallinfo2();
        state.counters["heap_first_MiB"]
            = double(atFirst.uordblks + atFirst.hblkhd) / (1024.0 * 1024.0);
#endif
        for (int i = 1; i < state.range(1); ++i) {
            // The poll every 5 s while the page shows (the list the same);
            // with a third argument of 1 each poll sorts anew (a new order).
            if (state.range(2))
                results.setSort(QStringLiteral("title"), i % 2 ? "desc" : "asc");
            poll(false);
        }
        last = residentMiB();
    }
#ifdef __GLIBC__
    // What the heap holds in use (not what it keeps free for later).
    const struct mallinfo2 heap = mallinfo2();
    state.counters["heap_in_use_MiB"] = double(heap.uordblks + heap.hblkhd) / (1024.0 * 1024.0);
    // What seven more polls of the finished list added to the heap.
    state.counters["heap_growth_MiB"]
        = state.counters["heap_in_use_MiB"] - state.counters["heap_first_MiB"];
    malloc_trim(0);
#endif
    state.counters["rss_trimmed_MiB"] = residentMiB();
    state.counters["rows"] = double(results.model()->rowCount());
    state.counters["rss_first_MiB"] = first;
    state.counters["rss_last_MiB"] = last;
    state.counters["growth_MiB"] = last - first;
    sim.kill();
    sim.waitForFinished();
}
BENCHMARK(BM_SearchPollMemory)
    ->Args({ 100000, 8, 0 })
    ->Args({ 100000, 8, 1 })
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    // The round trip is measured from the GUI thread itself.
    CgiCtrl::setGuiThreadWaitAllowed(true);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
