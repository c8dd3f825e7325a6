#include "timer_rig.h"

#include <gtest/gtest.h>

using namespace tambolin;
using namespace tambolin::testing;

TEST(TimerMidnight, DateChangeTickOnlyReportsTheDateAndReArms) {
    TimerRig rig(at(2024, 12, 31, 23, 59, 59, 980));
    // An absolute time already passed today fires at once, then again on the new day.
    rig.ot->TimerSet(0, 0, 0, 5, QStringLiteral("a"));
    rig.clock.advance(40);
    EXPECT_EQ(rig.events, (Events{"23:59:59.990 change 1 a", "00:00:00.000 date 01-01-2025",
                                  "00:00:00.010 change 1 a"}));
}

TEST(TimerMidnight, WithoutDateClearAFiredTimerStaysSilent) {
    TimerRig rig(at(2024, 12, 31, 23, 59, 59, 980));
    rig.ot->DateClear = False;
    rig.ot->TimerSet(0, 0, 0, 5, QStringLiteral("a"));
    rig.clock.advance(1000);
    EXPECT_EQ(rig.events, (Events{"23:59:59.990 change 1 a", "00:00:00.000 date 01-01-2025"}));
}

TEST(TimerMidnight, DateChangeIsReportedEvenWhenDisabled) {
    TimerRig rig(at(2024, 2, 28, 23, 59, 59, 985));
    rig.ot->Enabled = False;
    rig.clock.advance(20);
    EXPECT_EQ(rig.events, (Events{"00:00:00.005 date 02-29-2024"}));
}

TEST(TimerMidnight, DueTimePastMidnightWrapsAndFiresAtOnce) {
    TimerRig rig(at(2024, 5, 6, 23, 59, 59, 0));
    rig.ot->Base = True;
    rig.ot->SetBaseTime();
    rig.ot->TimerSet(0, 0, 2, 0, QStringLiteral("w")); // base + 2 s = 00:00:01.000
    rig.clock.advance(10);
    EXPECT_EQ(rig.events, (Events{"23:59:59.010 change 1 w"}));
}

// Due at 23:59:59.995: no tick of the old day sees it, and the first tick of
// the new day only reports the date. It must not wait a whole day.
TEST(TimerMidnight, RelativeTimerDueOnTheDateChangeTickFiresOnTheNext) {
    TimerRig rig(at(2024, 5, 6, 23, 59, 59, 900));
    rig.ot->Base = True;
    rig.ot->SetBaseTime();
    rig.ot->TimerSet(0, 0, 0, 95, QStringLiteral("n"));
    rig.clock.advance(200);
    EXPECT_EQ(rig.events, (Events{"00:00:00.000 date 05-07-2024", "00:00:00.010 change 1 n"}));
}

// A player part setting its next note in the day's last tick: one note due
// before midnight, the one after it past midnight at its own time of day.
TEST(TimerMidnight, NotesSetInTheLastTickKeepTheirTimes) {
    TimerRig rig(at(2024, 5, 6, 23, 59, 59, 900));
    OrgTimer &ot = *rig.ot;
    ot.Base = True;
    ot.SetBaseTime();
    ot.TimerSet(0, 0, 0, 90, QStringLiteral("1"));
    const Long next[] = {98, 135};
    int k = 0;
    rig.onChange = [&](Integer, const QString &) {
        ot.TimerClear();
        if (k < 2) {
            ot.TimerSet(0, 0, 0, next[k], QString::number(k + 2));
            ++k;
        }
    };
    rig.clock.advance(300);
    EXPECT_EQ(rig.events, (Events{"23:59:59.990 change 1 1", "00:00:00.000 date 05-07-2024",
                                  "00:00:00.010 change 1 2", "00:00:00.040 change 1 3"}));
}

TEST(TimerMidnight, StartTimerSetInTheLastTickStillStarts) {
    TimerRig rig(at(2024, 5, 6, 23, 59, 59, 980));
    rig.clock.advance(10); // the control has seen today's date
    rig.ot->Base = True;
    rig.ot->SetBaseTime();
    rig.ot->TimerSet(-1, -1, -1, 0, QStringLiteral("0"));
    rig.clock.advance(20);
    EXPECT_EQ(rig.events, (Events{"00:00:00.000 date 05-07-2024", "00:00:00.010 change 1 0"}));
}

// A relative timer that fired yesterday and was re-armed by the date change
// waits for its time of day; only timers still pending from yesterday are overdue.
TEST(TimerMidnight, ReArmedTimersAreNotOverdue) {
    TimerRig rig(at(2024, 5, 6, 23, 59, 59, 0));
    rig.ot->Base = True;
    rig.ot->SetBaseTime();
    rig.ot->TimerSet(0, 0, 0, 500, QStringLiteral("done"));
    rig.ot->TimerSet(0, 0, 0, 995, QStringLiteral("pending"));
    rig.clock.advance(2000);
    EXPECT_EQ(rig.events, (Events{"23:59:59.500 change 1 done", "00:00:00.000 date 05-07-2024",
                                  "00:00:00.010 change 2 pending"}));
}

TEST(TimerMidnight, EachControlTakesItsDateOnItsOwnFirstTick) {
    TimerRig rig(at(2024, 5, 6, 23, 59, 59, 900));
    OrgTimer late;
    late.Base = True;
    late.SetBaseTime(); // 23:59:59.900, before it ever ticks
    late.TimerSet(0, 0, 0, 50, QStringLiteral("late"));
    std::vector<std::string> lateEvents;
    QObject::connect(&late, &OrgTimer::TimerChange, [&](Integer, const QString &id) {
        lateEvents.push_back(rig.now() + " " + id.toStdString());
    });
    QObject::connect(&late, &OrgTimer::DateChange,
                     [&](const QString &d) { lateEvents.push_back("date " + d.toStdString()); });
    rig.clock.advance(150); // the rig's control sees midnight; the late one is not ticked
    EXPECT_EQ(rig.events, (Events{"00:00:00.000 date 05-07-2024"}));
    late.TimerProc();
    EXPECT_EQ(lateEvents, (std::vector<std::string>{"00:00:00.050 late"}));
}
