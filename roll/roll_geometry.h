#pragma once
// Where a moment and a pitch land in a picture: time runs left to right over
// the plot's width, pitch bottom to top, one row per semitone. Bars are whole
// pixels so that neighbouring notes meet without blur.

#include "roll/roll_model.h"

#include <QRect>
#include <cstdint>

namespace tambolin::roll {

class RollGeometry final {
public:
    // spanMs below 1 counts as 1; highPitch below lowPitch as lowPitch.
    RollGeometry(const QRect &plot, std::int64_t spanMs, int lowPitch, int highPitch);

    // The pixel column where the moment ms begins; ms = span is the plot's
    // right edge (one past its last column).
    int x(std::int64_t ms) const;
    // The first pixel row of the pitch's row, and one past its last.
    int rowTop(int pitch) const;
    int rowBottom(int pitch) const;

    // A note's bar: from x(start) to x(start + length), less a one-pixel gap at
    // its right end and at the bottom of its row where there is room for one, so
    // repeated notes stay apart; never narrower or lower than one pixel.
    QRect bar(const RollNote &note) const;

    const QRect &plot() const { return m_plot; }
    std::int64_t spanMs() const { return m_span; }
    int lowPitch() const { return m_low; }
    int highPitch() const { return m_high; }

private:
    QRect m_plot;
    std::int64_t m_span;
    int m_low;
    int m_high;
};

// The pitches shown for a melody's range: at least an octave, centred on the
// melody when it is narrower, so a melody of two notes is not drawn as two
// slabs. Both ends are written back.
void widenToOctave(int &lowPitch, int &highPitch);

} // namespace tambolin::roll
