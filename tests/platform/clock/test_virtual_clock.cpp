#include "platform/clock/virtual_clock.h"

#include <QDate>
#include <QObject>
#include <QTime>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

using namespace tambolin;

namespace {

QDateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms));
}

// Records "name@elapsed" for each tick, so order and timing show in one list.
struct TickLog {
    VirtualClock &clock;
    std::vector<std::string> entries;
    void watch(WindowTimer *t, const std::string &name) {
        QObject::connect(t, &WindowTimer::tick, [this, name] {
            entries.push_back(name + "@" + std::to_string(clock.elapsed()));
        });
    }
};

WindowTimer *startTimer(VirtualClock &clock, QObject *owner, int interval) {
    WindowTimer *t = clock.createTimer(owner);
    t->setInterval(interval);
    t->setEnabled(true);
    return t;
}

using Log = std::vector<std::string>;

} // namespace

TEST(VirtualClockTime, ReadsTheStartAndAdvancesInWholeMilliseconds) {
    VirtualClock clock(at(2024, 3, 5, 10, 15, 30, 500));
    SYSTEMTIME st = clock.localTime();
    EXPECT_EQ(st.wYear, 2024);
    EXPECT_EQ(st.wMonth, 3);
    EXPECT_EQ(st.wDay, 5);
    EXPECT_EQ(st.wDayOfWeek, 2); // Tuesday
    EXPECT_EQ(st.wHour, 10);
    EXPECT_EQ(st.wMinute, 15);
    EXPECT_EQ(st.wSecond, 30);
    EXPECT_EQ(st.wMilliseconds, 500);

    clock.advance(29'500 + 44 * 60'000); // to 11:00:00.000
    st = clock.localTime();
    EXPECT_EQ(st.wHour, 11);
    EXPECT_EQ(st.wMinute, 0);
    EXPECT_EQ(st.wSecond, 0);
    EXPECT_EQ(st.wMilliseconds, 0);
    EXPECT_EQ(clock.now(), at(2024, 3, 5, 11));
    EXPECT_EQ(clock.elapsed(), 29'500 + 44 * 60'000);

    clock.advance(-5); // time never goes back
    EXPECT_EQ(clock.now(), at(2024, 3, 5, 11));
}

TEST(VirtualClockTime, CrossesDayMonthAndYearEnds) {
    struct Case {
        QDateTime start;
        int y, mo, d, dow;
    };
    const Case cases[] = {
        {at(2023, 12, 31, 23, 59, 59, 999), 2024, 1, 1, 1}, // year end, Sunday -> Monday
        {at(2024, 2, 28, 23, 59, 59, 999), 2024, 2, 29, 4}, // leap day, Thursday
        {at(2023, 2, 28, 23, 59, 59, 999), 2023, 3, 1, 3},  // no leap day, Wednesday
        {at(2024, 4, 30, 23, 59, 59, 999), 2024, 5, 1, 3},  // 30-day month
        {at(2024, 6, 8, 23, 59, 59, 999), 2024, 6, 9, 0},   // Saturday -> Sunday
    };
    for (const Case &c : cases) {
        VirtualClock clock(c.start);
        clock.advance(1);
        const SYSTEMTIME st = clock.localTime();
        SCOPED_TRACE(c.start.toString(Qt::ISODateWithMs).toStdString());
        EXPECT_EQ(st.wYear, c.y);
        EXPECT_EQ(st.wMonth, c.mo);
        EXPECT_EQ(st.wDay, c.d);
        EXPECT_EQ(st.wDayOfWeek, c.dow);
        EXPECT_EQ(st.wHour, 0);
        EXPECT_EQ(st.wMinute, 0);
        EXPECT_EQ(st.wSecond, 0);
        EXPECT_EQ(st.wMilliseconds, 0);
    }
}

TEST(VirtualClockTime, RunUntilReachesAnyLaterWallTimeAndIgnoresEarlierOnes) {
    VirtualClock clock(at(2024, 1, 1, 12));
    clock.runUntil(at(2024, 1, 3, 1, 2, 3, 4));
    EXPECT_EQ(clock.now(), at(2024, 1, 3, 1, 2, 3, 4));
    clock.runUntil(at(2024, 1, 2));
    EXPECT_EQ(clock.now(), at(2024, 1, 3, 1, 2, 3, 4));
}

TEST(VirtualClockTimers, TickInTimeOrderWithTiesInCreationOrder) {
    VirtualClock clock(at(2024, 1, 1));
    QObject owner;
    TickLog log{clock, {}};
    // Created in the order a, b, c; b is enabled first, which must not matter.
    WindowTimer *a = clock.createTimer(&owner);
    WindowTimer *b = clock.createTimer(&owner);
    WindowTimer *c = clock.createTimer(&owner);
    b->setInterval(15);
    b->setEnabled(true);
    a->setInterval(10);
    a->setEnabled(true);
    c->setInterval(30);
    c->setEnabled(true);
    log.watch(a, "a");
    log.watch(b, "b");
    log.watch(c, "c");

    clock.advance(30);
    EXPECT_EQ(log.entries, (Log{"a@10", "b@15", "a@20", "a@30", "b@30", "c@30"}));
}

TEST(VirtualClockTimers, IdleTimersNeverTick) {
    VirtualClock clock(at(2024, 1, 1));
    QObject owner;
    TickLog log{clock, {}};
    WindowTimer *disabled = clock.createTimer(&owner);
    disabled->setInterval(10);
    WindowTimer *zero = clock.createTimer(&owner);
    zero->setEnabled(true);
    log.watch(disabled, "disabled");
    log.watch(zero, "zero");
    EXPECT_FALSE(clock.nextTickIn().has_value());
    clock.advance(1000);
    EXPECT_TRUE(log.entries.empty());
    EXPECT_TRUE(zero->isEnabled());
    EXPECT_FALSE(disabled->isEnabled());
}

TEST(VirtualClockTimers, LongRunsCountEveryTickExactly) {
    VirtualClock clock(at(2024, 1, 1, 23));
    QObject owner;
    WindowTimer *t = startTimer(clock, &owner, 10);
    long ticks = 0;
    QObject::connect(t, &WindowTimer::tick, [&] { ++ticks; });
    clock.advance(2 * 3'600'000 + 5); // two hours, across midnight
    EXPECT_EQ(ticks, 720'000);
    EXPECT_EQ(clock.now(), at(2024, 1, 2, 1, 0, 0, 5));
    EXPECT_EQ(clock.nextTickIn(), 5);
}

TEST(VirtualClockTimers, ReEnablingKeepsThePeriodAndReIntervalRestartsIt) {
    VirtualClock clock(at(2024, 1, 1));
    QObject owner;
    TickLog log{clock, {}};
    WindowTimer *t = startTimer(clock, &owner, 10);
    log.watch(t, "t");
    clock.advance(4);
    t->setEnabled(true); // already running: still due at 10
    clock.advance(6);
    t->setInterval(25); // restarts at 10: next at 35
    clock.advance(30);
    t->setEnabled(false);
    t->setEnabled(true); // restarts at 40: next at 65
    clock.advance(30);
    EXPECT_EQ(log.entries, (Log{"t@10", "t@35", "t@65"}));
}

TEST(VirtualClockReentrancy, HandlerMayStopOrReIntervalItself) {
    VirtualClock clock(at(2024, 1, 1));
    QObject owner;
    TickLog log{clock, {}};
    WindowTimer *stopper = startTimer(clock, &owner, 10);
    WindowTimer *stretcher = startTimer(clock, &owner, 7);
    log.watch(stopper, "stop");
    log.watch(stretcher, "stretch");
    int stops = 0;
    QObject::connect(stopper, &WindowTimer::tick, [&] {
        if (++stops == 2)
            stopper->setEnabled(false);
    });
    QObject::connect(stretcher, &WindowTimer::tick,
                     [&] { stretcher->setInterval(stretcher->interval() * 2); });
    clock.advance(60);
    // stretch: 7, then +14 = 21, then +28 = 49
    EXPECT_EQ(log.entries, (Log{"stretch@7", "stop@10", "stop@20", "stretch@21", "stretch@49"}));
}

TEST(VirtualClockReentrancy, HandlerMayStopAnotherTimerDueAtTheSameInstant) {
    VirtualClock clock(at(2024, 1, 1));
    QObject owner;
    TickLog log{clock, {}};
    WindowTimer *first = startTimer(clock, &owner, 10);
    WindowTimer *second = startTimer(clock, &owner, 10);
    log.watch(first, "first");
    log.watch(second, "second");
    QObject::connect(first, &WindowTimer::tick, [&] { second->setEnabled(false); });
    clock.advance(20);
    EXPECT_EQ(log.entries, (Log{"first@10", "first@20"}));
}

TEST(VirtualClockReentrancy, TimersCreatedInAHandlerRunInTheSameAdvance) {
    VirtualClock clock(at(2024, 1, 1));
    QObject owner;
    TickLog log{clock, {}};
    WindowTimer *parent = startTimer(clock, &owner, 10);
    log.watch(parent, "parent");
    QObject::connect(parent, &WindowTimer::tick, [&] {
        parent->setEnabled(false);
        WindowTimer *child = startTimer(clock, &owner, 3);
        log.watch(child, "child");
    });
    clock.advance(17);
    EXPECT_EQ(log.entries, (Log{"parent@10", "child@13", "child@16"}));
}

TEST(VirtualClockReentrancy, HandlerMayDeleteItsTimerOrAdvanceTheClock) {
    VirtualClock clock(at(2024, 1, 1));
    QObject owner;
    TickLog log{clock, {}};
    WindowTimer *doomed = startTimer(clock, &owner, 5);
    WindowTimer *steady = startTimer(clock, &owner, 10);
    log.watch(steady, "steady");
    QObject::connect(doomed, &WindowTimer::tick, [&] { delete doomed; });
    bool nested = false;
    QObject::connect(steady, &WindowTimer::tick, [&] {
        if (!nested) {
            nested = true;
            clock.advance(25); // from 10 to 35, inside the handler
        }
    });
    clock.advance(20);
    // The nested advance ran ticks 20 and 30; the outer one ends at 35, not 20.
    EXPECT_EQ(log.entries, (Log{"steady@10", "steady@20", "steady@30"}));
    EXPECT_EQ(clock.elapsed(), 35);
}

TEST(VirtualClockLifetime, TimersOutlivingTheirClockGoQuiet) {
    QObject owner;
    WindowTimer *t = nullptr;
    {
        VirtualClock clock(at(2024, 1, 1));
        t = startTimer(clock, &owner, 10);
    }
    t->setInterval(20); // no clock any more: must not touch it
    t->setEnabled(false);
    t->setEnabled(true);
    EXPECT_TRUE(t->isEnabled());
    EXPECT_EQ(t->interval(), 20);
}

TEST(VirtualClockLifetime, ParentDeletesItsTimers) {
    VirtualClock clock(at(2024, 1, 1));
    auto owner = std::make_unique<QObject>();
    startTimer(clock, owner.get(), 10);
    EXPECT_EQ(clock.nextTickIn(), 10);
    owner.reset();
    EXPECT_FALSE(clock.nextTickIn().has_value());
    clock.advance(100);
}

TEST(VirtualClockRests, ARestSkipsToThePeriodAtOrAfterItAndEndsWithThatTick) {
    VirtualClock clock(at(2026, 1, 1, 12));
    const std::int64_t origin = QDate(2026, 1, 1).toJulianDay() * 86'400'000 + 12 * 3'600'000;
    QObject owner;
    TickLog log{clock, {}};
    WindowTimer *t = startTimer(clock, &owner, 10);
    log.watch(t, "t");
    bool rested = false;
    QObject::connect(t, &WindowTimer::tick, [&] {
        if (!rested) {
            rested = true;
            t->restUntil(origin + 55); // from the tick at 10: next at 60, keeping the phase
        }
    });
    clock.advance(80);
    EXPECT_EQ(log.entries, (Log{"t@10", "t@60", "t@70", "t@80"}));

    // A rest that ends before the next period changes nothing.
    t->restUntil(origin + 85);
    clock.advance(10);
    EXPECT_EQ(log.entries.back(), "t@90");

    // Enabling a running timer ends its rest; a new interval does too.
    t->restUntil(origin + 500);
    clock.advance(5);
    t->setEnabled(true);
    clock.advance(5);
    EXPECT_EQ(log.entries.back(), "t@100");
    t->restUntil(origin + 500);
    t->setInterval(20);
    clock.advance(20);
    EXPECT_EQ(log.entries.back(), "t@120");

    // A new rest replaces the old one, even a shorter one.
    t->restUntil(origin + 400);
    t->restUntil(origin + 150);
    clock.advance(40);
    EXPECT_EQ(log.entries.back(), "t@160");
}

TEST(VirtualClockRests, AClockThatIgnoresRestsTicksEveryPeriod) {
    VirtualClock clock(at(2026, 1, 1, 12));
    clock.setIgnoreRests(true);
    QObject owner;
    TickLog log{clock, {}};
    WindowTimer *t = startTimer(clock, &owner, 10);
    log.watch(t, "t");
    t->restUntil(QDate(2026, 1, 1).toJulianDay() * 86'400'000 + 12 * 3'600'000 + 100);
    clock.advance(30);
    EXPECT_EQ(log.entries, (Log{"t@10", "t@20", "t@30"}));
}
