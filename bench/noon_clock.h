#pragma once
// The real clock, moved to noon of a fixed day when made: it runs at the
// real clock's pace and costs what reading it costs, but a benchmark on it
// never meets midnight (nor a timer falling due across it), whenever it runs.

#include "platform/clock/clock.h"

#include <QDate>
#include <cstdint>

namespace tambolin::bench {

class NoonClock final : public Clock {
public:
    // real: the clock read underneath, normally currentClock() before any
    // other is installed.
    explicit NoonClock(Clock &real)
        : m_real(real), m_shift(QDate(2024, 5, 6).toJulianDay() * dayMicros + dayMicros / 2 -
                                real.localMicroseconds()) {}

    std::int64_t localMicroseconds() const override { return m_real.localMicroseconds() + m_shift; }
    SYSTEMTIME localTime() const override { return localTimeAt(localMicroseconds()); }
    WindowTimer *createTimer(QObject *parent) override { return m_real.createTimer(parent); }

private:
    static constexpr std::int64_t dayMicros = 86'400'000'000;
    Clock &m_real;
    std::int64_t m_shift;
};

} // namespace tambolin::bench
