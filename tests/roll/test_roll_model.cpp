// The roll's model and geometry: times as the player schedules them, and
// where they land in a picture.

#include "melody/mod_tambolin.h"
#include "roll/roll_geometry.h"
#include "roll/roll_model.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

using namespace tambolin;
using namespace tambolin::roll;

namespace {

using Notes = std::vector<std::pair<int, int>>; // (length code, pitch)

const MOD_TAMBOLIN &fill(int tempo, const std::vector<Notes> &parts) {
    MOD_TAMBOLIN &m = mod();
    m.initialiseStore();
    m.mtitle = QStringLiteral("テスト");
    m.tempo = static_cast<Integer>(tempo);
    for (std::size_t p = 0; p < parts.size(); ++p) {
        const int part = static_cast<int>(p) + 1;
        int n = 0;
        for (const auto &[code, pitch] : parts[p]) {
            ++n;
            m.onpary(n, part) = static_cast<Integer>(code);
            m.kaiary(n, part) = static_cast<Integer>(pitch);
        }
        m.onpcnt(part) = static_cast<Integer>(n);
    }
    return m;
}

void expectNote(const RollNote &note, std::int64_t start, std::int64_t length, int pitch) {
    EXPECT_EQ(note.startMs, start);
    EXPECT_EQ(note.lengthMs, length);
    EXPECT_EQ(note.pitch, pitch);
}

} // namespace

TEST(RollModel, TimesNotesAsThePlayerSchedulesThem) {
    // Tempo 0: a quarter lasts 400 x 0.99 = 396 ms; the rest takes its time
    // and gives no bar; a dotted quarter 594; an eighth 198.
    RollModel model = rollFromStore(fill(0, {{{2, 0}, {32, 0}, {12, 23}, {3, 5}}}));
    ASSERT_EQ(model.parts[0].notes.size(), 3u);
    expectNote(model.parts[0].notes[0], 0, 396, 0);
    expectNote(model.parts[0].notes[1], 792, 594, 23);
    expectNote(model.parts[0].notes[2], 1386, 198, 5);
    EXPECT_EQ(model.parts[0].lengthMs, 1584);
    EXPECT_EQ(model.title, QStringLiteral("テスト"));

    // Tempo 1: a dotted eighth 356.4 ms, then a triplet quarter at tempo 1,
    // (480 x 2) \ 3 x 0.99 = 316.8: the running total is rounded at each note
    // (356, then 672.8 -> 673), so lengths are 356 and 317.
    model = rollFromStore(fill(1, {{{13, 10}, {22, 11}, {22, 11}, {22, 11}}}));
    ASSERT_EQ(model.parts[0].notes.size(), 4u);
    expectNote(model.parts[0].notes[0], 0, 356, 10);
    expectNote(model.parts[0].notes[1], 356, 317, 11);
    expectNote(model.parts[0].notes[2], 673, 317, 11);
    expectNote(model.parts[0].notes[3], 990, 317, 11); // 990 + 316.8 = 1306.8 -> 1307
}

TEST(RollModel, TempoCodeScalesEveryPart) {
    // Tempo 3: a whole note 2560 x 0.99 = 2534.4 -> 2534 ms; part 2 is longer.
    const RollModel model = rollFromStore(fill(3, {{{0, 12}}, {{1, 3}, {31, 0}, {4, 30}}, {}}));
    expectNote(model.parts[0].notes[0], 0, 2534, 12);
    ASSERT_EQ(model.parts[1].notes.size(), 2u);
    expectNote(model.parts[1].notes[0], 0, 1267, 3);
    expectNote(model.parts[1].notes[1], 2534, 158, 30);
    EXPECT_TRUE(model.parts[2].notes.empty());
    EXPECT_EQ(model.lengthMs, 2692);
    EXPECT_EQ(model.lowPitch, 3);
    EXPECT_EQ(model.highPitch, 30);
    EXPECT_TRUE(model.sounds());
}

TEST(RollModel, RestsAndEmptyPartsDoNotSound) {
    RollModel model = rollFromStore(fill(1, {{}, {}, {}}));
    EXPECT_FALSE(model.sounds());
    EXPECT_EQ(model.lengthMs, 0);

    // Rests carry pitch 0, which must not widen the range.
    model = rollFromStore(fill(1, {{{32, 0}, {41, 0}}, {{30, 0}}, {}}));
    EXPECT_FALSE(model.sounds());
    EXPECT_EQ(model.parts[0].lengthMs, 1901); // 475.2 -> 475, then + 1425.6 = 1900.6
    EXPECT_EQ(model.lengthMs, 1960);          // part 2: a whole rest, 1960.2
    model = rollFromStore(fill(1, {{{32, 0}, {2, 20}, {33, 0}}}));
    EXPECT_EQ(model.lowPitch, 20);
    EXPECT_EQ(model.highPitch, 20);
}

TEST(RollModel, StrangeStoresStayBounded) {
    // Counts the store never holds, codes without a time, a tempo outside
    // the table: notes are kept with no length, nothing is read out of range.
    MOD_TAMBOLIN &m = mod();
    m.initialiseStore();
    m.tempo = 9;
    for (int n = 1; n <= 200; ++n) {
        m.onpary(n, 1) = static_cast<Integer>(-32768 + n);
        m.kaiary(n, 1) = static_cast<Integer>(n % 2 ? -32768 : 32767);
    }
    m.onpcnt(1) = 32767;
    m.onpcnt(2) = -5;
    m.onpcnt(3) = 0;
    const RollModel model = rollFromStore(m);
    EXPECT_EQ(model.parts[0].notes.size(), 200u);
    EXPECT_TRUE(model.parts[1].notes.empty());
    EXPECT_EQ(model.lengthMs, 0);
    EXPECT_EQ(model.lowPitch, -32768);
    EXPECT_EQ(model.highPitch, 32767);
}

TEST(RollGeometry, MapsTimeAcrossAndPitchUp) {
    const RollGeometry g(QRect(10, 20, 300, 240), 1500, 0, 23); // 24 rows of 10 px
    EXPECT_EQ(g.x(0), 10);
    EXPECT_EQ(g.x(750), 160);
    EXPECT_EQ(g.x(1500), 310);
    EXPECT_EQ(g.rowTop(23), 20);
    EXPECT_EQ(g.rowBottom(0), 260);
    EXPECT_EQ(g.rowTop(12), 20 + 11 * 10);
    for (int p = 1; p <= 23; ++p)
        EXPECT_EQ(g.rowBottom(p), g.rowTop(p - 1)) << "rows must tile the plot, pitch " << p;

    // A bar leaves a pixel free at its end and under it, so repeated notes
    // stay apart; a note too short for that still shows a pixel.
    EXPECT_EQ(g.bar({0, 750, 12}), QRect(10, 130, 149, 9));
    EXPECT_EQ(g.bar({750, 750, 12}).left(), 160);
    EXPECT_EQ(g.bar({750, 0, 12}), QRect(160, 130, 1, 9));
    EXPECT_EQ(g.bar({750, 2, 5}).width(), 1);
}

TEST(RollGeometry, DegenerateSpansAndRanges) {
    const RollGeometry still(QRect(0, 0, 100, 50), 0, 7, 3);
    EXPECT_EQ(still.x(0), 0);
    EXPECT_EQ(still.x(1), 100);
    EXPECT_EQ(still.highPitch(), 7);
    EXPECT_EQ(still.rowTop(7), 0);
    EXPECT_EQ(still.rowBottom(7), 50);

    // The widest range a store holds: rows below a pixel, still ordered.
    const RollGeometry wide(QRect(0, 0, 100, 100), 1000, -32768, 32767);
    EXPECT_EQ(wide.rowTop(32767), 0);
    EXPECT_EQ(wide.rowBottom(-32768), 100);
    EXPECT_GE(wide.bar({0, 10, 0}).height(), 1);
}

TEST(RollGeometry, NarrowRangesWidenToAnOctave) {
    int low = 20, high = 20;
    widenToOctave(low, high);
    EXPECT_EQ(low, 15);
    EXPECT_EQ(high, 26);
    low = 0;
    high = 5;
    widenToOctave(low, high);
    EXPECT_EQ(low, -3);
    EXPECT_EQ(high, 8);
    low = 2;
    high = 30;
    widenToOctave(low, high);
    EXPECT_EQ(low, 2);
    EXPECT_EQ(high, 30);
    low = -2147483647 - 1;
    high = low;
    widenToOctave(low, high); // cannot widen below int: left as it is
    EXPECT_EQ(high, low);
}
