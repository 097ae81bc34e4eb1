// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Ferrylink developers
// Painting a day of speed history (a poll every 5 s) in the statistics
// window's graph, and the aggregation it rests on.
#include "models/SpeedHistory.h"
#include "ui/SpeedGraph.h"

#include <QApplication>
#include <QImage>

#include <benchmark/benchmark.h>

using namespace flk;

namespace {
constexpr qint64 kNow = 1'800'000'000'000;

void fillDay(SpeedHistory &h)
{
    for (qint64 t = kNow - SpeedHistory::kSpanMs; t <= kNow; t += 5000)
        h.add({ t, float(1e6 + (t / 5000 % 97) * 1e4), float(2e5 + (t / 5000 % 13) * 1e3) });
}

void BM_PaintDayOfSpeeds(benchmark::State &state)
{
    SpeedHistory history;
    fillDay(history);
    SpeedGraph graph;
    graph.setNowForTesting(kNow);
    graph.setSpanMs(SpeedHistory::kSpanMs);
    graph.setHistory(&history);
    graph.resize(int(state.range(0)), 300);
    QImage image(graph.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::white);
        graph.render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
    state.counters["samples"] = double(history.samples().size());
}
BENCHMARK(BM_PaintDayOfSpeeds)->Arg(800)->Arg(1920)->Unit(benchmark::kMillisecond);

void BM_AggregateDayPerColumn(benchmark::State &state)
{
    SpeedHistory history;
    fillDay(history);
    for (auto _ : state)
        benchmark::DoNotOptimize(history.columns(
            SpeedHistory::Download, kNow - SpeedHistory::kSpanMs, kNow, int(state.range(0))));
}
BENCHMARK(BM_AggregateDayPerColumn)->Arg(800)->Unit(benchmark::kMicrosecond);
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
