#include "platform/clock/clock.h"
#include "platform/clock/clock_ms.h"
#include "platform/clock/virtual_clock.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QEventLoop>
#include <QTime>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

using namespace tambolin;

namespace {

QDateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms));
}

SYSTEMTIME localTime() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return st;
}

// An event loop that a test's timer ends, and a 10 s guard timer ends if
// the test's timer never does.
struct GuardedLoop {
    explicit GuardedLoop(QObject &owner) : guard(currentClock().createTimer(&owner)) {
        QObject::connect(guard, &WindowTimer::tick, [this] {
            timedOut = true;
            loop.quit();
        });
        guard->setInterval(10'000);
        guard->setEnabled(true);
    }
    QEventLoop loop;
    WindowTimer *guard;
    bool timedOut = false;
};

} // namespace

TEST(ClockSelection, GetLocalTimeFollowsTheInstalledClockPerThread) {
    VirtualClock outer(at(2001, 2, 3, 4, 5, 6, 7));
    VirtualClock inner(at(1999, 12, 31, 23, 59, 59, 999));
    {
        ScopedClock useOuter(outer);
        EXPECT_EQ(localTime().wYear, 2001);
        {
            ScopedClock useInner(inner);
            EXPECT_EQ(&currentClock(), &inner);
            EXPECT_EQ(localTime().wMilliseconds, 999);
            // Another thread keeps the real clock.
            int otherYear = 0;
            std::thread([&] { otherYear = localTime().wYear; }).join();
            EXPECT_EQ(otherYear, QDate::currentDate().year());
        }
        EXPECT_EQ(&currentClock(), &outer);
        outer.advance(1);
        EXPECT_EQ(localTime().wMilliseconds, 8);
    }
    EXPECT_NE(&currentClock(), &outer);
    EXPECT_NE(&currentClock(), &inner);

    setCurrentClock(&inner);
    EXPECT_EQ(localTime().wYear, 1999);
    setCurrentClock(nullptr);
    EXPECT_NE(&currentClock(), &inner);
    GetLocalTime(nullptr); // tolerated, as a null output pointer does nothing
}

TEST(RealClock, AgreesWithTheSystemTime) {
    const QDateTime before = QDateTime::currentDateTime();
    const SYSTEMTIME st = currentClock().localTime();
    const QDateTime after = QDateTime::currentDateTime();
    const QDateTime read(QDate(st.wYear, st.wMonth, st.wDay),
                         QTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds));
    EXPECT_LE(before, read);
    EXPECT_LE(read, after);
    EXPECT_EQ(st.wDayOfWeek, read.date().dayOfWeek() % 7);
}

// A running zero-interval timer would fire on every pass of the event loop.
TEST(RealClock, WindowTimerWithIntervalZeroNeverTicks) {
    QObject owner;
    WindowTimer *t = currentClock().createTimer(&owner);
    int ticks = 0;
    QObject::connect(t, &WindowTimer::tick, [&] { ++ticks; });
    t->setEnabled(true);
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    t->setInterval(50'000);
    t->setInterval(0);
    EXPECT_TRUE(t->isEnabled());
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(ticks, 0);
    EXPECT_EQ(t->interval(), 0);
    t->setInterval(-3);
    EXPECT_EQ(t->interval(), 0);
}

// Whether the real timer ticks at all and stops when told; how precisely it
// ticks is measured by bench_timer_precision.
TEST(RealClock, WindowTimerTicksUntilDisabled) {
    QObject owner;
    WindowTimer *t = currentClock().createTimer(&owner);
    GuardedLoop run(owner);
    int ticks = 0;
    QObject::connect(t, &WindowTimer::tick, [&] {
        if (++ticks == 3) {
            t->setEnabled(false);
            run.loop.quit();
        }
    });
    t->setInterval(2);
    t->setEnabled(true);
    run.loop.exec();
    ASSERT_FALSE(run.timedOut);
    EXPECT_EQ(ticks, 3);
    EXPECT_FALSE(t->isEnabled());
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(ticks, 3);
}

// A rest maps the clock's local time onto the kernel timer: the tick after
// it never comes before the rest's end, and ticks carry on afterwards.
TEST(RealClock, WindowTimerRestsUntilTheTimeItIsGiven) {
    QObject owner;
    WindowTimer *t = currentClock().createTimer(&owner);
    GuardedLoop run(owner);
    std::vector<std::int64_t> ticks;
    std::int64_t restEnd = 0;
    QObject::connect(t, &WindowTimer::tick, [&] {
        ticks.push_back(clockMicroseconds());
        if (ticks.size() == 1) {
            restEnd = clockMilliseconds() + 120;
            t->restUntil(restEnd);
        } else if (ticks.size() == 4) {
            run.loop.quit();
        }
    });
    t->setInterval(3);
    t->setEnabled(true);
    run.loop.exec();
    ASSERT_FALSE(run.timedOut);
    ASSERT_EQ(ticks.size(), 4u);
    // The two clocks are read a few microseconds apart.
    EXPECT_GE(ticks[1], restEnd * 1000 - 200);
}
