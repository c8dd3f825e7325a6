#include "melody/note_duration.h"

namespace tambolin {

namespace {

// Rows by tempo code, columns by the units digit: whole .. sixteenth. The
// tempo 1 whole note is 1980, not twice its half note.
constexpr int kTempoTable[4][5] = {{1600, 800, 400, 200, 100},
                                   {1980, 960, 480, 240, 120},
                                   {2240, 1120, 560, 280, 140},
                                   {2560, 1280, 640, 320, 160}};

} // namespace

double nominalDuration(Integer tempo, Integer code) {
    const int unit = code % 10; // negative for a negative code, like the table's bounds
    const int base =
        (tempo >= 0 && tempo <= 3 && unit >= 0 && unit <= 4) ? kTempoTable[tempo][unit] : 0;
    switch (code / 10) {
    case 1: // dotted
    case 4: // dotted rest
        return base * 1.5;
    case 2: // triplet: two thirds, in whole milliseconds
        return static_cast<double>((base * 2) / 3);
    default:
        return base;
    }
}

double playedDuration(Integer tempo, Integer code) {
    return nominalDuration(tempo, code) * 0.99;
}

} // namespace tambolin
