#include "timer_rig.h"

#include <gtest/gtest.h>
#include <limits>

using namespace tambolin;
using namespace tambolin::testing;

namespace {

struct Time {
    Long hh, mn, ss, MS;
    bool operator==(const Time &) const = default;
};

std::ostream &operator<<(std::ostream &os, const Time &t) {
    return os << t.hh << "," << t.mn << "," << t.ss << "," << t.MS;
}

class TimeCheck : public ::testing::Test {
protected:
    VirtualClock clock{at(2024, 5, 6, 10, 15, 30, 500)};
    ScopedClock scope{clock};
    OrgTimer ot;

    // Runs GetTimeCheck on t in place.
    Boolean check(Time &t, Boolean st) { return ot.GetTimeCheck(t.hh, t.mn, t.ss, t.MS, st); }
};

} // namespace

TEST_F(TimeCheck, FillsMissingComponentsFromTheClockAndChecksRanges) {
    Time t{-1, 30, -1, -1};
    EXPECT_EQ(check(t, False), True);
    EXPECT_EQ(t, (Time{10, 30, 30, 500}));

    Time all{-1, -1, -1, -1};
    EXPECT_EQ(check(all, False), True);
    EXPECT_EQ(all, (Time{10, 15, 30, 500}));

    const Time bad[] = {{24, 0, 0, 0},   {0, 60, 0, 0}, {0, 0, 60, 0},
                        {0, 0, 0, 1000}, {-2, 0, 0, 0}, {0, 0, 0, -5}};
    for (Time b : bad) {
        SCOPED_TRACE(::testing::PrintToString(b));
        EXPECT_EQ(check(b, False), False);
    }
    Time edge{23, 59, 59, 999};
    EXPECT_EQ(check(edge, False), True);
}

TEST_F(TimeCheck, NormalisesCarriesAndKeepsNegativeComponentsNegative) {
    struct Case {
        Time in, out;
    };
    const Case cases[] = {
        {{0, 0, 0, 1188}, {0, 0, 1, 188}},      {{-1, -1, -1, 0}, {-2, -1, -1, 0}},
        {{-2, -1, 29, 500}, {-3, -1, 29, 500}}, {{8, 14, 29, 500}, {8, 14, 29, 500}},
        {{23, 59, 59, 1001}, {0, 0, 0, 1}},     {{0, 0, 125, 0}, {0, 2, 5, 0}},
        {{0, 0, 0, -1500}, {0, 0, -1, -500}},   {{0, 0, -61, 0}, {-1, -1, -1, 0}},
        {{49, 0, 0, 0}, {1, 0, 0, 0}},          {{-25, 0, 0, 0}, {-1, 0, 0, 0}},
        {{10, 75, 0, 0}, {11, 15, 0, 0}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.in));
        Time t = c.in;
        EXPECT_EQ(check(t, True), True);
        EXPECT_EQ(t, c.out);
    }
}

// A carry that overflows a Long is skipped; the remaining steps still run.
TEST_F(TimeCheck, SkipsACarryThatWouldOverflow) {
    constexpr Long max = std::numeric_limits<Long>::max();
    constexpr Long min = std::numeric_limits<Long>::min();
    Time t{0, 0, max, max};
    EXPECT_EQ(check(t, True), True);
    // ss + 2147483 overflows and is skipped; then 2147483647 s carry on.
    EXPECT_EQ(t, (Time{3, 14, 7, 647}));

    Time negative{0, 0, 0, min};
    EXPECT_EQ(check(negative, True), True);
    EXPECT_EQ(negative, (Time{0, 0, 0, -648}));
}

TEST_F(TimeCheck, TimeTextIsFixedWidthWithSignedParts) {
    Time t{-1, -1, -1, -1};
    EXPECT_EQ(ot.GetTimeStr(t.hh, t.mn, t.ss, t.MS), QStringLiteral("10:15:30:500"));
    EXPECT_EQ(t, (Time{10, 15, 30, 500})); // filled in place

    Time small{1, 2, 3, 4};
    EXPECT_EQ(ot.GetTimeStr(small.hh, small.mn, small.ss, small.MS),
              QStringLiteral("01:02:03:004"));

    Time negative{-2, -1, 29, 500};
    EXPECT_EQ(ot.GetTimeStr(negative.hh, negative.mn, negative.ss, negative.MS, True),
              QStringLiteral("-03:-01:29:500"));
    EXPECT_EQ(negative, (Time{-3, -1, 29, 500}));

    Time ms{0, 0, 0, -7};
    EXPECT_EQ(ot.GetTimeStr(ms.hh, ms.mn, ms.ss, ms.MS, True), QStringLiteral("00:00:00:-007"));

    Time bad{24, 0, 0, 0};
    EXPECT_TRUE(ot.GetTimeStr(bad.hh, bad.mn, bad.ss, bad.MS).isEmpty());
}

// The relative start timer's due texts: base + (-2, -1, -1, 0), normalised.
TEST_F(TimeCheck, StartTimerDueTextsSortBeforeAnyTimeOfDay) {
    Time morning{-2 + 10, -1 + 15, -1 + 30, 0 + 500};
    const QString morningText = ot.GetTimeStr(morning.hh, morning.mn, morning.ss, morning.MS, True);
    EXPECT_EQ(morningText, QStringLiteral("08:14:29:500"));

    Time night{-2 + 0, -1 + 0, -1 + 30, 0 + 500};
    const QString nightText = ot.GetTimeStr(night.hh, night.mn, night.ss, night.MS, True);
    EXPECT_EQ(nightText, QStringLiteral("-03:-01:29:500"));
    EXPECT_LT(nightText, QStringLiteral("00:00:00:000"));
}
