#include "melody/service_jis_sjis.h"

#include <gtest/gtest.h>
#include <utility>

using namespace tambolin;

namespace {

std::pair<int, int> toJis(int b1, int b2) {
    Byte a = static_cast<Byte>(b1), b = static_cast<Byte>(b2);
    SjisToJis(a, b);
    return {a, b};
}

std::pair<int, int> toSjis(int b1, int b2) {
    Byte a = static_cast<Byte>(b1), b = static_cast<Byte>(b2);
    JisToSjis(a, b);
    return {a, b};
}

} // namespace

TEST(JisSjis, KnownPairsBothWays) {
    const std::pair<std::pair<int, int>, std::pair<int, int>> cases[] = {
        {{0x82, 0xA0}, {0x24, 0x22}}, {{0x88, 0x9F}, {0x30, 0x21}}, {{0x9F, 0xFC}, {0x5E, 0x7E}},
        {{0xE0, 0x40}, {0x5F, 0x21}}, {{0x81, 0x40}, {0x21, 0x21}}, {{0xEF, 0xFC}, {0x7E, 0x7E}},
    };
    for (const auto &[sjis, jis] : cases) {
        EXPECT_EQ(toJis(sjis.first, sjis.second), jis);
        EXPECT_EQ(toSjis(jis.first, jis.second), sjis);
    }
}

TEST(JisSjis, RejectedPairsBecomeZeros) {
    EXPECT_EQ(toJis(0xF0, 0x40), std::make_pair(0, 0)); // user-defined area
    EXPECT_EQ(toJis(0x41, 0x42), std::make_pair(0, 0));
    EXPECT_EQ(toJis(0xB1, 0x40), std::make_pair(0, 0)); // half-width katakana
    EXPECT_EQ(toJis(0x82, 0x7F), std::make_pair(0, 0));
    EXPECT_EQ(toJis(0x82, 0xFD), std::make_pair(0, 0));
    EXPECT_EQ(toJis(0x82, 0x3F), std::make_pair(0, 0));
    EXPECT_EQ(toSjis(0x7F, 0x21), std::make_pair(0, 0));
    EXPECT_EQ(toSjis(0x20, 0x21), std::make_pair(0, 0));
    EXPECT_EQ(toSjis(0x00, 0x00), std::make_pair(0, 0));
    EXPECT_EQ(toSjis(0x21, 0x7F), std::make_pair(0, 0));
}

TEST(JisSjis, LowSecondByteOfAnEvenRowLandsOnTheRowsLastCell) {
    EXPECT_EQ(toSjis(0x22, 0x20), std::make_pair(0x81, 0x9E));
    EXPECT_EQ(toSjis(0x22, 0x05), std::make_pair(0x81, 0x9E));
    EXPECT_EQ(toSjis(0x21, 0x20), std::make_pair(0, 0)); // odd row: rejected
}

TEST(JisSjis, EveryShiftJisPairRoundTrips) {
    int pairs = 0;
    for (int lead = 0x81; lead <= 0xEF; ++lead) {
        if (lead > 0x9F && lead < 0xE0)
            continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F)
                continue;
            const auto jis = toJis(lead, trail);
            ASSERT_GE(jis.first, 0x21);
            ASSERT_LE(jis.first, 0x7E);
            ASSERT_GE(jis.second, 0x21);
            ASSERT_LE(jis.second, 0x7E);
            EXPECT_EQ(toSjis(jis.first, jis.second), std::make_pair(lead, trail));
            ++pairs;
        }
    }
    EXPECT_EQ(pairs, 47 * 188);
}
