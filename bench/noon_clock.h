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
    SYSTEMTIME localTime() const override {
        const std::int64_t micros = localMicroseconds();
        const std::int64_t ms = (micros % dayMicros) / 1000;
        const QDate d = QDate::fromJulianDay(micros / dayMicros);
        SYSTEMTIME t;
        t.wYear = static_cast<std::uint16_t>(d.year());
        t.wMonth = static_cast<std::uint16_t>(d.month());
        t.wDayOfWeek = static_cast<std::uint16_t>(d.dayOfWeek() % 7);
        t.wDay = static_cast<std::uint16_t>(d.day());
        t.wHour = static_cast<std::uint16_t>(ms / 3'600'000);
        t.wMinute = static_cast<std::uint16_t>(ms / 60'000 % 60);
        t.wSecond = static_cast<std::uint16_t>(ms / 1000 % 60);
        t.wMilliseconds = static_cast<std::uint16_t>(ms % 1000);
        return t;
    }
    WindowTimer *createTimer(QObject *parent) override { return m_real.createTimer(parent); }

private:
    static constexpr std::int64_t dayMicros = 86'400'000'000;
    Clock &m_real;
    std::int64_t m_shift;
};

} // namespace tambolin::bench
