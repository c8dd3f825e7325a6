#include "timer_rig.h"

#include <gtest/gtest.h>

using namespace tambolin;
using namespace tambolin::testing;

TEST(TimerProc, RelativeTimerFallsDueAtBasePlusItsOffset) {
    TimerRig rig(at(2024, 5, 6, 10, 15, 30, 500), 1);
    rig.ot->Base = True;
    rig.ot->SetBaseTime();
    rig.ot->TimerSet(0, 0, 0, 1188, QStringLiteral("n"));
    rig.clock.advance(1187);
    EXPECT_TRUE(rig.events.empty());
    rig.clock.advance(1000);
    EXPECT_EQ(rig.events, (Events{"10:15:31.688 change 1 n"}));
}

TEST(TimerProc, StartTimerFiresOnTheNextTickWhateverTheBase) {
    for (const QDateTime &start :
         {at(2024, 5, 6, 10, 15, 30, 500), at(2024, 5, 6, 0, 0, 30, 500)}) {
        TimerRig rig(start);
        rig.ot->Base = True;
        rig.ot->SetBaseTime();
        rig.ot->TimerSet(-1, -1, -1, 0, QStringLiteral("0"));
        rig.clock.advance(10);
        ASSERT_EQ(rig.events.size(), 1u) << start.toString().toStdString();
        EXPECT_EQ(rig.events[0].substr(13), "change 1 0");
    }
}

TEST(TimerProc, AbsoluteTimerFallsDueAtItsTimeOfDay) {
    TimerRig rig(at(2024, 5, 6, 10, 15, 30, 500));
    rig.ot->TimerSet(10, 15, 31, 0, QStringLiteral("a"));
    rig.ot->TimerSet(9, 0, 0, 0, QStringLiteral("past")); // already passed today
    rig.clock.advance(1000);
    EXPECT_EQ(rig.events, (Events{"10:15:30.510 change 2 past", "10:15:31.000 change 1 a"}));
    EXPECT_EQ(rig.ot->Hour(), 10);
    EXPECT_EQ(rig.ot->Minute(), 15);
    EXPECT_EQ(rig.ot->Second(), 31);
    EXPECT_EQ(rig.ot->MilliSeconds(), 500);
}

TEST(TimerProc, OneTimerPerTickLowestNumberFirst) {
    TimerRig rig(at(2024, 5, 6, 12));
    rig.ot->Base = True;
    rig.ot->SetBaseTime();
    rig.ot->TimerSet(0, 0, 0, 25, QStringLiteral("late"));
    rig.ot->TimerSet(0, 0, 0, 5, QStringLiteral("b"));
    rig.ot->TimerSet(0, 0, 0, 5, QStringLiteral("c"));
    rig.clock.advance(50);
    EXPECT_EQ(rig.events, (Events{"12:00:00.010 change 2 b", "12:00:00.020 change 3 c",
                                  "12:00:00.030 change 1 late"}));
}

TEST(TimerProc, OneShotFiresOnceUntilReArmed) {
    TimerRig rig(at(2024, 5, 6, 12));
    rig.ot->TimerSet(12, 0, 0, 0, QStringLiteral("x"));
    rig.clock.advance(30);
    EXPECT_EQ(rig.events, (Events{"12:00:00.010 change 1 x"}));
    EXPECT_EQ(rig.ot->TimerValue(1), -1);
    rig.ot->TimerValue(1, 0);
    rig.clock.advance(10);
    EXPECT_EQ(rig.events.back(), "12:00:00.040 change 1 x");
    EXPECT_EQ(rig.events.size(), 2u);
}

TEST(TimerProc, PeriodicTimerCountsEachPeriodFromTheLastDueTime) {
    TimerRig rig(at(2024, 5, 6, 12), 30);
    rig.ot->Base = True;
    rig.ot->SetBaseTime();
    rig.ot->TimerSet(0, 0, 0, 250, QStringLiteral("p"), True);
    rig.clock.advance(800);
    // Due at 250, 500, 750; ticks every 30 ms, so each fires a little late
    // without the lateness adding up.
    EXPECT_EQ(rig.events, (Events{"12:00:00.270 change 1 p", "12:00:00.510 change 1 p",
                                  "12:00:00.750 change 1 p"}));
    EXPECT_EQ(rig.ot->TimerValue(1), 0);
    // Re-arming restarts the period from the base: base + 250 has long passed.
    rig.ot->TimerValue(1, 0);
    rig.clock.advance(30);
    EXPECT_EQ(rig.events.back(), "12:00:00.810 change 1 p");
}

TEST(TimerProc, DisabledControlExaminesNothing) {
    TimerRig rig(at(2024, 5, 6, 12));
    rig.ot->TimerSet(12, 0, 0, 0);
    rig.ot->Enabled = False;
    rig.clock.advance(100);
    EXPECT_TRUE(rig.events.empty());
    EXPECT_EQ(rig.ot->Hour(), 0); // last tick time is never taken
    rig.ot->Enabled = True;
    rig.clock.advance(10);
    EXPECT_EQ(rig.events, (Events{"12:00:00.110 change 1 "}));
}

// The player's way: each handler clears the table and sets the next note
// from the same base, so notes keep time however late a tick comes.
TEST(TimerProc, HandlerMayClearAndSetTheRaisingControl) {
    TimerRig rig(at(2024, 5, 6, 12), 10);
    OrgTimer &ot = *rig.ot;
    ot.Base = True;
    ot.SetBaseTime();
    ot.TimerSet(-1, -1, -1, 0, QStringLiteral("0"));
    Long acc = 0;
    int note = 0;
    std::vector<std::string> seenIds;
    rig.onChange = [&](Integer, const QString &id) {
        ot.TimerClear();
        acc += 125;
        ot.TimerSet(0, 0, 0, acc, QString::number(++note));
        // The event's id belongs to the timer that fired, not the new one.
        seenIds.push_back(id.toStdString());
    };
    rig.clock.advance(400);
    EXPECT_EQ(rig.events, (Events{"12:00:00.010 change 1 0", "12:00:00.130 change 1 1",
                                  "12:00:00.250 change 1 2", "12:00:00.380 change 1 3"}));
    EXPECT_EQ(seenIds, (std::vector<std::string>{"0", "1", "2", "3"}));
    EXPECT_EQ(ot.TimerCount(), 1);
}

TEST(TimerProc, HandlerMayDeleteTimersAndTickAgain) {
    TimerRig rig(at(2024, 5, 6, 12));
    OrgTimer &ot = *rig.ot;
    ot.TimerSet(11, 0, 0, 0, QStringLiteral("a"));
    ot.TimerSet(11, 0, 0, 0, QStringLiteral("b"));
    ot.TimerSet(11, 0, 0, 0, QStringLiteral("c"));
    bool nested = false;
    rig.onChange = [&](Integer no, const QString &) {
        ot.TimerDel(no);
        if (!nested) {
            nested = true;
            ot.TimerProc(); // fires the renumbered "b" inside this event
        }
    };
    rig.clock.advance(20);
    EXPECT_EQ(rig.events, (Events{"12:00:00.010 change 1 a", "12:00:00.010 change 1 b",
                                  "12:00:00.020 change 1 c"}));
    EXPECT_EQ(ot.TimerCount(), 0);
}

TEST(TimerProc, AThrowingHandlerDoesNotEscapeTheTick) {
    TimerRig rig(at(2024, 5, 6, 12));
    rig.ot->TimerSet(12, 0, 0, 0);
    rig.onChange = [](Integer, const QString &) { failStep(); };
    EXPECT_NO_THROW(rig.clock.advance(20));
    EXPECT_EQ(rig.events.size(), 1u);
    EXPECT_EQ(rig.ot->TimerValue(1), -1);
}
