// How close to its schedule the player control sounds its notes on the real
// clock. A three-part melody plays into the recording MIDI device; every
// note-on is compared with the time the sequencer scheduled it for: the
// part's base time + the part's accumulated durations so far.
//
//   bench_playback [--seconds=N] [benchmark flags]   (default 60 s)
//
// Counters: onset error median / 99th percentile / maximum in ms, the drift
// (median error of the last fifth of the run minus that of the first fifth)
// and the control's CPU time per second of playing.

#include "bench/noon_clock.h"
#include "control/playctrl.h"
#include "melody/mod_tambolin.h"
#include "platform/midi/midi_setup.h"
#include "timer/org_timer.h"

#include <QApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

using namespace tambolin;

namespace {

int g_seconds = 60;

double processCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

std::int64_t timeOfDayMs(const SYSTEMTIME &t) {
    return ((std::int64_t(t.wHour) * 60 + t.wMinute) * 60 + t.wSecond) * 1000 + t.wMilliseconds;
}

double percentile(const std::vector<double> &sorted, double p) {
    if (sorted.empty())
        return 0;
    const auto i = std::size_t(p * double(sorted.size() - 1) + 0.5);
    return sorted[std::min(i, sorted.size() - 1)];
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return percentile(v, 0.5);
}

// Eighths, quarters and triplet eighths at tempo 1, over three octaves.
void loadMelody() {
    MOD_TAMBOLIN &m = mod();
    m.tempo = 1;
    const int lengths[3] = {120, 60, 90};
    const Integer codes[3] = {3, 2, 23};
    for (int p = 1; p <= 3; ++p) {
        m.onpcnt(p) = static_cast<Integer>(lengths[p - 1]);
        for (int n = 1; n <= lengths[p - 1]; ++n) {
            m.onpary(n, p) = codes[p - 1];
            m.kaiary(n, p) = static_cast<Integer>((n * (p + 2)) % 36);
        }
    }
    m.maxprt = 1;
}

void BM_PlaybackOnsets(benchmark::State &state) {
    // Real time, moved to noon: the run never crosses midnight.
    bench::NoonClock noon(currentClock());
    const ScopedClock scope(noon);
    for (auto _ : state) {
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        auto recorder = useMidiRecorder();
        PLAYCTRL ctrl;
        loadMelody();

        // The scheduled start of the note each part begins next.
        std::int64_t scheduled[3] = {0, 0, 0};
        std::vector<std::pair<std::int64_t, double>> errors; // (when, error ms)
        for (int p = 1; p <= 3; ++p) {
            QObject::connect(
                ctrl.OrgTimer1(p), &OrgTimer::TimerChange, [&, p](Integer, const QString &id) {
                    // Runs after the control's own step: the part has just
                    // started note id + 1 (unless it ended) and scheduled its end.
                    OrgTimer *t = ctrl.OrgTimer1(p);
                    const std::int64_t base =
                        ((std::int64_t(t->BaseHour()) * 60 + t->BaseMinute()) * 60 +
                         t->BaseSecond()) *
                            1000 +
                        t->BaseMilliSeconds();
                    SYSTEMTIME tick;
                    GetLocalTime(&tick);
                    const std::int64_t at = timeOfDayMs(tick);
                    if (id == QLatin1String("0"))
                        scheduled[p - 1] = 0;
                    if (t->Enabled != False && id.toInt() < mod().onpcnt(p))
                        errors.emplace_back(at, double(at - (base + scheduled[p - 1])));
                    scheduled[p - 1] = mod().tmacc(p);
                });
        }

        QEventLoop loop;
        QTimer::singleShot(g_seconds * 1000, &loop, &QEventLoop::quit);
        const double cpu0 = processCpuSeconds();
        const auto wall0 = std::chrono::steady_clock::now();
        Boolean on = True;
        ctrl.setPlay(on);
        loop.exec();
        Boolean off = False;
        ctrl.setPlay(off);
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
        const double cpu = processCpuSeconds() - cpu0;
        state.SetIterationTime(wall);

        std::vector<double> all;
        for (const auto &e : errors)
            all.push_back(e.second);
        std::sort(all.begin(), all.end());
        const std::size_t fifth = errors.size() / 5;
        std::vector<double> first, last;
        for (std::size_t i = 0; i < fifth; ++i) {
            first.push_back(errors[i].second);
            last.push_back(errors[errors.size() - 1 - i].second);
        }
        state.counters["onsets"] = double(all.size());
        state.counters["error_median_ms"] = percentile(all, 0.5);
        state.counters["error_p99_ms"] = percentile(all, 0.99);
        state.counters["error_max_ms"] = all.empty() ? 0 : all.back();
        state.counters["drift_ms"] = median(last) - median(first);
        state.counters["cpu_percent"] = 100.0 * cpu / wall;
        state.counters["messages"] = double(recorder->messages().size());
    }
}
BENCHMARK(BM_PlaybackOnsets)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char **argv) {
    // Our own flag, taken out before the benchmark library reads the rest.
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--seconds=", 10) == 0)
            g_seconds = std::max(1, std::atoi(argv[i] + 10));
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
