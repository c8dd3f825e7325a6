// Cost of one OrgTimer tick with every timer armed and none due, so each tick
// examines the whole table: 3 timers (one player part's worst case is 1) and
// the full 100. On the virtual clock the figure is the tick alone; on the
// real clock it includes reading the system time (shifted to noon, so that
// no timer falls due whenever it runs).

#include "bench/noon_clock.h"
#include "platform/clock/virtual_clock.h"
#include "timer/org_timer.h"

#include <QDate>
#include <QTime>
#include <benchmark/benchmark.h>

using namespace tambolin;

static void BM_TimerProc(benchmark::State &state) {
    const int armed = int(state.range(0));
    const bool realClock = state.range(1) != 0;
    const bool relative = state.range(2) != 0;

    VirtualClock virtualClock(QDateTime(QDate(2024, 5, 6), QTime(12, 0)));
    bench::NoonClock noon(currentClock());
    const ScopedClock scope(realClock ? static_cast<Clock &>(noon) : virtualClock);

    OrgTimer ot;
    ot.Base = relative ? True : False;
    ot.SetBaseTime();
    for (int i = 0; i < armed; ++i) {
        if (relative)
            ot.TimerSet(1, 0, 0, i); // an hour after the base
        else
            ot.TimerSet(23, 0, 0, i);
    }
    ot.TimerProc(); // the first tick only takes the date
    for (auto _ : state)
        ot.TimerProc();
    if (ot.TimerValue(1) != 0)
        state.SkipWithError("a timer fell due during the run");
    state.SetItemsProcessed(state.iterations() * armed);
}
BENCHMARK(BM_TimerProc)
    ->ArgNames({"armed", "realclock", "relative"})
    ->ArgsProduct({{3, 100}, {0, 1}, {1, 0}});

BENCHMARK_MAIN();
