#include "melody/note_duration.h"

#include <gtest/gtest.h>

namespace tambolin {
namespace {

TEST(NoteDuration, TempoTableByUnitsDigit) {
    // Whole .. sixteenth at each tempo code; the tempo 1 whole note is the
    // one entry that is not twice its half note.
    const int expected[4][5] = {{1600, 800, 400, 200, 100},
                                {1980, 960, 480, 240, 120},
                                {2240, 1120, 560, 280, 140},
                                {2560, 1280, 640, 320, 160}};
    for (Integer tempo = 0; tempo <= 3; ++tempo)
        for (Integer unit = 0; unit <= 4; ++unit) {
            EXPECT_EQ(nominalDuration(tempo, unit), expected[tempo][unit]) << tempo << "/" << unit;
            // A rest lasts as long as the note it stands for.
            EXPECT_EQ(nominalDuration(tempo, static_cast<Integer>(30 + unit)),
                      expected[tempo][unit]);
        }
}

TEST(NoteDuration, DottedAndTripletVariants) {
    EXPECT_DOUBLE_EQ(playedDuration(1, 13), 356.4);  // dotted eighth at tempo 1
    EXPECT_DOUBLE_EQ(nominalDuration(0, 22), 266.0); // (400 x 2) \ 3
    EXPECT_DOUBLE_EQ(playedDuration(0, 22), 263.34);
    EXPECT_DOUBLE_EQ(nominalDuration(3, 41), 1920.0); // dotted half rest
    EXPECT_DOUBLE_EQ(nominalDuration(2, 20), 1493.0); // triplet whole: 4480 \ 3
    // Tens digits beyond the dotted rest play the plain length.
    EXPECT_DOUBLE_EQ(nominalDuration(1, 52), 480.0);
}

TEST(NoteDuration, OutsideTheTableIsZero) {
    for (Integer unit = 5; unit <= 9; ++unit) {
        EXPECT_EQ(playedDuration(1, unit), 0.0);
        EXPECT_EQ(playedDuration(1, static_cast<Integer>(10 + unit)), 0.0);
        EXPECT_EQ(playedDuration(1, static_cast<Integer>(20 + unit)), 0.0);
    }
    EXPECT_EQ(playedDuration(4, 2), 0.0);
    EXPECT_EQ(playedDuration(-1, 2), 0.0);
    EXPECT_EQ(playedDuration(1, -1), 0.0);
}

TEST(NoteDuration, DottedSixteenthAtTempoZeroLandsOnAHalf) {
    // The one duration that ends in exactly .5 ms: the schedule's rounding
    // to even decides where the next note starts.
    EXPECT_EQ(playedDuration(0, 14), 148.5);
}

} // namespace
} // namespace tambolin
