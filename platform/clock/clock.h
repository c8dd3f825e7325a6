#pragma once
// The clock layer: the local time of day and date, and window timers. The
// player reads time and runs its timers only through this layer, so a test
// can swap the real clock for a virtual one that it steps (across midnight
// too) as fast as the machine allows.

#include "platform/clock/window_timer.h"

#include <QObject>
#include <cstdint>
#include <memory>

namespace tambolin {

// What GetLocalTime gives: the local date and time of day.
struct SYSTEMTIME {
    std::uint16_t wYear = 0;
    std::uint16_t wMonth = 0;
    std::uint16_t wDayOfWeek = 0; // 0 = Sunday
    std::uint16_t wDay = 0;
    std::uint16_t wHour = 0;
    std::uint16_t wMinute = 0;
    std::uint16_t wSecond = 0;
    std::uint16_t wMilliseconds = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual SYSTEMTIME localTime() const = 0;
    // The same reading as a running count of microseconds (days counted
    // from the Julian day 0); clocks that know no finer time give whole
    // milliseconds of localTime().
    virtual std::int64_t localMicroseconds() const;
    // The timer is owned by parent (Qt ownership), disabled, interval 0.
    virtual WindowTimer *createTimer(QObject *parent) = 0;
};

// The clock in use on this thread: the real one unless a test installed another.
Clock &currentClock();
// Installs clock for this thread (nullptr restores the real clock). The caller keeps ownership.
void setCurrentClock(Clock *clock);

// Installs a clock on this thread for its own lifetime, then puts back the
// one that was there before.
class ScopedClock final {
public:
    explicit ScopedClock(Clock &clock);
    ~ScopedClock();
    ScopedClock(const ScopedClock &) = delete;
    ScopedClock &operator=(const ScopedClock &) = delete;

private:
    Clock *m_previous;
};

// A running count of local microseconds (days from the Julian day 0) as
// the date and time of day it stands for.
SYSTEMTIME localTimeAt(std::int64_t localMicroseconds);

// Windows-shaped access to the local time, through currentClock().
void GetLocalTime(SYSTEMTIME *out);

} // namespace tambolin
