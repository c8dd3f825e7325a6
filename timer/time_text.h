#pragma once
// Times of day as the timer control handles them: four Long components that
// may be -1 ("the current one") or out of range until checked, and their
// fixed-width text HH:MM:SS:mmm, whose text order is time order within a day.

#include "platform/runtime/basic_runtime.h"

#include <QString>
#include <array>
#include <cstdint>
#include <string_view>

namespace tambolin {

struct SYSTEMTIME;

struct TimeFields {
    Long hh = -1, mn = -1, ss = -1, MS = -1;
};

// normalise False: replaces each -1 by the component of now and tells whether
// the time lies within 00:00:00.000..23:59:59.999. normalise True: carries
// milliseconds into seconds, seconds into minutes, minutes into hours and
// takes the hour modulo 24; negative components stay negative. A carry that
// would overflow a Long is skipped. Always true.
bool checkTime(TimeFields &t, bool normalise, const SYSTEMTIME &now);

// The whole time in milliseconds, for day arithmetic (no overflow possible).
std::int64_t totalMilliseconds(const TimeFields &t);

// HH:MM:SS:mmm, each part zero-padded to 2 (3) digits, a negative one with a
// leading minus: -2 is "-02". Kept on the stack, since a tick builds one per
// armed timer.
class TimeText final {
public:
    TimeText() = default;
    explicit TimeText(const TimeFields &t);
    std::string_view view() const { return {m_buf.data(), m_len}; }
    QString toString() const { return QString::fromLatin1(m_buf.data(), qsizetype(m_len)); }

private:
    void put(Long v, int width);

    std::array<char, 48> m_buf{}; // four Longs with signs and three colons fit
    std::size_t m_len = 0;
};

} // namespace tambolin
