// nextEventMilliseconds() lets an owner sleep through ticks: whatever it
// tells must be the first moment at which a tick raises something.

#include "platform/clock/clock_ms.h"
#include "timer_rig.h"

#include <gtest/gtest.h>
#include <random>

using namespace tambolin;
using namespace tambolin::testing;

namespace {

// Ticks every millisecond until the first event; its clock time.
std::int64_t firstEventAt(TimerRig &rig, std::int64_t limitMs) {
    const std::size_t before = rig.events.size();
    for (std::int64_t i = 0; i < limitMs && rig.events.size() == before; ++i)
        rig.clock.advance(1);
    return rig.events.size() == before ? -1 : clockMilliseconds();
}

} // namespace

TEST(TimerNextEvent, NothingIsToldBeforeTheFirstTick) {
    TimerRig rig(at(2026, 3, 1, 9), 1);
    rig.ot->Base = True;
    rig.ot->SetBaseTime();
    rig.ot->TimerSet(0, 0, 0, 500, QStringLiteral("a"));
    EXPECT_FALSE(rig.ot->nextEventMilliseconds());
    rig.clock.advance(1);
    EXPECT_EQ(rig.ot->nextEventMilliseconds(), clockMilliseconds() - 1 + 500);
}

TEST(TimerNextEvent, TheEarliestRelativeTimerIsTheFirstThatFires) {
    std::mt19937 rng(42);
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        // Some rounds start late in the day, so the date change comes first.
        const QDateTime start = round % 4 == 3 ? at(2026, 3, 1, 23, 59, 58, int(rng() % 1000))
                                               : at(2026, 3, 1, 9, 0, 0, int(rng() % 1000));
        TimerRig rig(start, 1);
        rig.ot->Base = True;
        rig.ot->SetBaseTime();
        const int timers = 1 + int(rng() % 4);
        for (int i = 0; i < timers; ++i)
            rig.ot->TimerSet(0, 0, Long(rng() % 2), Long(rng() % 2000), QString::number(i));
        rig.clock.advance(1);
        rig.events.clear();
        const std::optional<std::int64_t> next = rig.ot->nextEventMilliseconds();
        if (!next) {
            // Only a due time on the next day leaves it untold.
            EXPECT_EQ(start.time().hour(), 23);
            continue;
        }
        EXPECT_EQ(firstEventAt(rig, 4000), *next);
    }
}

TEST(TimerNextEvent, ADisabledControlWaitsOnlyForTheDateChange) {
    TimerRig rig(at(2026, 3, 1, 23, 59, 59, 0), 1);
    rig.ot->Base = True;
    rig.ot->SetBaseTime();
    rig.ot->TimerSet(0, 0, 0, 10, QStringLiteral("a"));
    rig.clock.advance(1);
    rig.ot->Enabled = False;
    const std::int64_t midnight = QDate(2026, 3, 2).toJulianDay() * 86'400'000;
    EXPECT_EQ(rig.ot->nextEventMilliseconds(), midnight);
    EXPECT_EQ(firstEventAt(rig, 2000), midnight);
    EXPECT_EQ(rig.events.back().substr(13), "date 03-02-2026");
}

TEST(TimerNextEvent, TimersThatCannotBeToldInAdvance) {
    // Periodic, absolute, overdue and fired timers.
    {
        TimerRig rig(at(2026, 3, 1, 9), 1);
        rig.ot->Base = True;
        rig.ot->SetBaseTime();
        rig.ot->TimerSet(0, 0, 0, 300, QStringLiteral("p"), True);
        rig.clock.advance(1);
        EXPECT_FALSE(rig.ot->nextEventMilliseconds());
    }
    {
        TimerRig rig(at(2026, 3, 1, 9), 1);
        rig.ot->TimerSet(9, 0, 5, 0, QStringLiteral("abs"));
        rig.clock.advance(1);
        EXPECT_FALSE(rig.ot->nextEventMilliseconds());
    }
    {
        TimerRig rig(at(2026, 3, 1, 9), 1);
        rig.ot->Base = True;
        rig.ot->SetBaseTime();
        rig.ot->TimerSet(-1, -1, -1, 0, QStringLiteral("start"));
        rig.ot->TimerSet(0, 0, 0, 700, QStringLiteral("later"));
        rig.clock.advance(1); // the overdue one fires; the other is told
        EXPECT_EQ(rig.events.size(), 1u);
        EXPECT_EQ(rig.ot->nextEventMilliseconds(), clockMilliseconds() - 1 + 700);
    }
}
