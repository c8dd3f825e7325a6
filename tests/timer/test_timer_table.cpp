#include "timer_rig.h"

#include <gtest/gtest.h>

using namespace tambolin;
using namespace tambolin::testing;

namespace {

struct Stored {
    Long hh = 99, mn = 99, ss = 99, MS = 99;
    QString id = QStringLiteral("untouched");
    Integer chk = 99;
};

class TimerTable : public ::testing::Test {
protected:
    VirtualClock clock{at(2024, 5, 6, 10, 15, 30, 500)};
    ScopedClock scope{clock};
    OrgTimer ot;

    Stored get(Integer no, Integer *result = nullptr) {
        Stored s;
        const Integer r = ot.TimerGet(no, s.hh, s.mn, s.ss, s.MS, s.id, s.chk);
        if (result)
            *result = r;
        return s;
    }
};

} // namespace

TEST_F(TimerTable, StartsEmptyInAbsoluteModeWithNoBase) {
    EXPECT_EQ(ot.Enabled, True);
    EXPECT_EQ(ot.DateClear, True);
    EXPECT_EQ(ot.Base, False);
    EXPECT_EQ(ot.TimerCount(), 0);
    EXPECT_EQ(ot.BaseHour(), 0);
    EXPECT_EQ(ot.BaseMinute(), 0);
    EXPECT_EQ(ot.BaseSecond(), 0);
    EXPECT_EQ(ot.BaseMilliSeconds(), 0);
}

TEST_F(TimerTable, HoldsAHundredTimersAndRefusesTheNext) {
    for (int i = 1; i <= 99; ++i)
        ASSERT_EQ(ot.TimerSet(1, 0, 0, 0, QString::number(i)), i);
    EXPECT_EQ(ot.TimerSet(2, 0, 0, 0, QStringLiteral("last")), 100);
    EXPECT_EQ(ot.TimerSet(3, 0, 0, 0, QStringLiteral("extra")), -1);
    EXPECT_EQ(ot.TimerCount(), 100);
    const Stored last = get(100);
    EXPECT_EQ(last.hh, 2);
    EXPECT_EQ(last.id, QStringLiteral("last"));
    EXPECT_EQ(ot.FindTimerIDtoNo(QStringLiteral("extra")), -1);
}

TEST_F(TimerTable, AbsoluteTimesAreFilledAtSetTimeAndChecked) {
    EXPECT_EQ(ot.TimerSet(-1, 30, 0, 0, QStringLiteral("a")), 1);
    const Stored s = get(1);
    EXPECT_EQ(s.hh, 10);
    EXPECT_EQ(s.mn, 30);
    EXPECT_EQ(s.ss, 0);
    EXPECT_EQ(s.MS, 0);
    EXPECT_EQ(s.chk, 0);
    EXPECT_EQ(ot.TimerSet(24, 0, 0, 0), -1);
    EXPECT_EQ(ot.TimerSet(0, 0, 0, 1000), -1);
    EXPECT_EQ(ot.TimerCount(), 1);
}

TEST_F(TimerTable, RelativeOffsetsAreNormalised) {
    ot.Base = True;
    EXPECT_EQ(ot.TimerSet(0, 0, 0, 1188), 1);
    EXPECT_EQ(ot.TimerSet(-1, -1, -1, 0, QStringLiteral("0")), 2);
    const Stored a = get(1);
    EXPECT_EQ((std::array{a.hh, a.mn, a.ss, a.MS}), (std::array<Long, 4>{0, 0, 1, 188}));
    const Stored b = get(2);
    EXPECT_EQ((std::array{b.hh, b.mn, b.ss, b.MS}), (std::array<Long, 4>{-2, -1, -1, 0}));
    EXPECT_EQ(b.id, QStringLiteral("0"));
}

TEST_F(TimerTable, GetOfAnUnusedNumberLeavesTheOutputs) {
    ot.TimerSet(11, 0, 0, 0);
    for (Integer no : {Integer(0), Integer(2), Integer(-1)}) {
        Integer result = 0;
        const Stored s = get(no, &result);
        EXPECT_EQ(result, -1);
        EXPECT_EQ(s.hh, 99);
        EXPECT_EQ(s.id, QStringLiteral("untouched"));
        EXPECT_EQ(s.chk, 99);
        EXPECT_EQ(ot.TimerValue(no), -1);
    }
    ot.TimerClear();
    EXPECT_EQ(ot.TimerCount(), 0);
    Integer result = 0;
    get(1, &result);
    EXPECT_EQ(result, -1);
}

TEST_F(TimerTable, DeleteRenumbersTheHigherTimers) {
    ot.TimerSet(11, 0, 0, 0, QStringLiteral("one"));
    ot.TimerSet(12, 0, 0, 0, QStringLiteral("two"));
    ot.TimerSet(13, 0, 0, 0, QStringLiteral("three"));
    EXPECT_EQ(ot.TimerDel(4), 0);
    EXPECT_EQ(ot.TimerDel(0), 0);
    EXPECT_EQ(ot.TimerDel(2), 2);
    EXPECT_EQ(ot.TimerCount(), 2);
    const Stored moved = get(2);
    EXPECT_EQ(moved.hh, 13);
    EXPECT_EQ(moved.id, QStringLiteral("three"));
    EXPECT_EQ(ot.FindTimerIDtoNo(QStringLiteral("three")), 2);
    EXPECT_EQ(ot.FindTimerIDtoNo(QStringLiteral("two")), -1);
    EXPECT_EQ(ot.TimerDel(2), 2);
    EXPECT_EQ(ot.TimerDel(1), 1);
    EXPECT_EQ(ot.TimerCount(), 0);
}

TEST_F(TimerTable, FindsIdsExactlyAndNeverTheEmptyOne) {
    ot.TimerSet(11, 0, 0, 0, QString());
    ot.TimerSet(12, 0, 0, 0, QStringLiteral("Note"));
    ot.TimerSet(13, 0, 0, 0, QStringLiteral("note"));
    ot.TimerSet(14, 0, 0, 0, QStringLiteral("note"));
    EXPECT_EQ(ot.FindTimerIDtoNo(QString()), -1);
    EXPECT_EQ(ot.FindTimerIDtoNo(QStringLiteral("Note")), 2);
    EXPECT_EQ(ot.FindTimerIDtoNo(QStringLiteral("note")), 3);
    EXPECT_EQ(ot.FindTimerIDtoNo(QStringLiteral("NOTE")), -1);
    EXPECT_EQ(ot.FindTimerIDtoNo(QStringLiteral("not")), -1);
}

TEST_F(TimerTable, TimerValueSetsTheFiredFlagOfATimerInUse) {
    ot.TimerSet(11, 0, 0, 0);
    ot.TimerValue(1, -1);
    EXPECT_EQ(ot.TimerValue(1), -1);
    EXPECT_EQ(get(1).chk, -1);
    ot.TimerValue(1, 0);
    EXPECT_EQ(ot.TimerValue(1), 0);
    ot.TimerValue(2, -1); // not in use: nothing happens
    EXPECT_EQ(ot.TimerCount(), 1);
}

TEST_F(TimerTable, BaseTimeIsFilledFromTheClockAndKeptWhenInvalid) {
    EXPECT_EQ(ot.SetBaseTime(), True);
    EXPECT_EQ(ot.BaseHour(), 10);
    EXPECT_EQ(ot.BaseMinute(), 15);
    EXPECT_EQ(ot.BaseSecond(), 30);
    EXPECT_EQ(ot.BaseMilliSeconds(), 500);
    EXPECT_EQ(ot.SetBaseTime(-1, 5, -1, 0), True);
    EXPECT_EQ(ot.BaseHour(), 10);
    EXPECT_EQ(ot.BaseMinute(), 5);
    EXPECT_EQ(ot.BaseMilliSeconds(), 0);
    EXPECT_EQ(ot.SetBaseTime(1, 2, 60, 0), False);
    EXPECT_EQ(ot.BaseHour(), 10);
    EXPECT_EQ(ot.BaseMinute(), 5);
    EXPECT_EQ(ot.BaseSecond(), 30);
}
