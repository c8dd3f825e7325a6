#include "roll/roll_geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tambolin::roll {

namespace {

constexpr int OctaveRows = 12;

int roundToPixel(double v) {
    return static_cast<int>(std::floor(v + 0.5));
}

} // namespace

RollGeometry::RollGeometry(const QRect &plot, std::int64_t spanMs, int lowPitch, int highPitch)
    : m_plot(plot), m_span(std::max<std::int64_t>(spanMs, 1)), m_low(lowPitch),
      m_high(std::max(highPitch, lowPitch)) {}

int RollGeometry::x(std::int64_t ms) const {
    return m_plot.left() +
           roundToPixel(static_cast<double>(ms) * m_plot.width() / static_cast<double>(m_span));
}

int RollGeometry::rowTop(int pitch) const {
    const double rows = static_cast<double>(m_high) - m_low + 1;
    return m_plot.top() +
           roundToPixel((static_cast<double>(m_high) - pitch) * m_plot.height() / rows);
}

int RollGeometry::rowBottom(int pitch) const {
    const double rows = static_cast<double>(m_high) - m_low + 1;
    return m_plot.top() +
           roundToPixel((static_cast<double>(m_high) - pitch + 1) * m_plot.height() / rows);
}

QRect RollGeometry::bar(const RollNote &note) const {
    const int left = x(note.startMs);
    int right = x(note.startMs + note.lengthMs);
    if (right - left >= 3)
        --right;
    const int top = rowTop(note.pitch);
    int bottom = rowBottom(note.pitch);
    if (bottom - top >= 4)
        --bottom;
    return QRect(QPoint(left, top),
                 QPoint(std::max(right, left + 1) - 1, std::max(bottom, top + 1) - 1));
}

void widenToOctave(int &lowPitch, int &highPitch) {
    if (highPitch < lowPitch)
        highPitch = lowPitch;
    const long long rows = static_cast<long long>(highPitch) - lowPitch + 1;
    if (rows >= OctaveRows)
        return;
    const long long below = (OctaveRows - rows) / 2;
    const long long low = static_cast<long long>(lowPitch) - below;
    const long long high = low + OctaveRows - 1;
    // Pitches are small numbers; keep the widened range inside int all the same.
    if (low >= std::numeric_limits<int>::min() && high <= std::numeric_limits<int>::max()) {
        lowPitch = static_cast<int>(low);
        highPitch = static_cast<int>(high);
    }
}

} // namespace tambolin::roll
