// How late a 10 ms window timer on the real clock ticks, and what it costs.
// Each tick's lateness is measured against its slot on the timer's own grid,
// start + k x 10 ms: the timer keeps its phase, so a late tick does not move
// the slots after it. A tick that comes more than an interval late stands
// for the first slot it missed; the slots it swallowed count as skipped.
//
//   bench_timer_precision [--seconds=N] [benchmark flags]   (default 30 s)

#include "platform/clock/clock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

using namespace tambolin;
using namespace std::chrono;

namespace {

int g_seconds = 30;

double processCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

double percentile(const std::vector<double> &sorted, double p) {
    if (sorted.empty())
        return 0;
    const auto i = std::size_t(p * double(sorted.size() - 1) + 0.5);
    return sorted[std::min(i, sorted.size() - 1)];
}

void BM_WindowTimerLateness(benchmark::State &state) {
    constexpr auto interval = milliseconds(10);
    for (auto _ : state) {
        QObject owner;
        WindowTimer *timer = currentClock().createTimer(&owner);
        timer->setInterval(int(interval.count()));

        std::vector<double> lateUs;
        lateUs.reserve(std::size_t(g_seconds) * 110);
        long skipped = 0;
        QEventLoop loop;
        steady_clock::time_point start;
        steady_clock::time_point end;
        long slot = 0; // the grid slot of the last tick
        QObject::connect(timer, &WindowTimer::tick, [&] {
            const auto now = steady_clock::now();
            ++slot;
            const auto due = start + slot * interval;
            lateUs.push_back(double(duration_cast<nanoseconds>(now - due).count()) / 1000.0);
            const long reached = long((now - start) / interval);
            if (reached > slot) {
                skipped += reached - slot;
                slot = reached;
            }
            if (now >= end)
                loop.quit();
        });

        const double cpu0 = processCpuSeconds();
        start = steady_clock::now();
        end = start + seconds(g_seconds);
        timer->setEnabled(true);
        loop.exec();
        const double wall = duration<double>(steady_clock::now() - start).count();
        const double cpu = processCpuSeconds() - cpu0;
        state.SetIterationTime(wall);

        std::sort(lateUs.begin(), lateUs.end());
        state.counters["ticks"] = double(lateUs.size());
        state.counters["skipped"] = double(skipped);
        state.counters["late_median_us"] = percentile(lateUs, 0.5);
        state.counters["late_p99_us"] = percentile(lateUs, 0.99);
        state.counters["late_max_us"] = lateUs.empty() ? 0 : lateUs.back();
        state.counters["cpu_ms_per_s"] = cpu / wall * 1000.0;
    }
}
BENCHMARK(BM_WindowTimerLateness)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char **argv) {
    std::vector<char *> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--seconds=", 10) == 0)
            g_seconds = std::max(1, std::atoi(argv[i] + 10));
        else
            args.push_back(argv[i]);
    }
    int n = int(args.size());
    QCoreApplication app(n, args.data());
    benchmark::Initialize(&n, args.data());
    if (benchmark::ReportUnrecognizedArguments(n, args.data()))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
