#include "platform/clock/clock_ms.h"

#include "platform/clock/clock.h"

#include <QDate>

namespace tambolin {

std::int64_t clockMilliseconds() {
    const SYSTEMTIME t = currentClock().localTime();
    const std::int64_t day = QDate(t.wYear, t.wMonth, t.wDay).toJulianDay();
    return ((day * 24 + t.wHour) * 60 + t.wMinute) * 60000 + t.wSecond * 1000 + t.wMilliseconds;
}

std::int64_t clockMicroseconds() {
    return currentClock().localMicroseconds();
}

std::int64_t Clock::localMicroseconds() const {
    const SYSTEMTIME t = localTime();
    const std::int64_t day = QDate(t.wYear, t.wMonth, t.wDay).toJulianDay();
    return (((day * 24 + t.wHour) * 60 + t.wMinute) * 60000 + t.wSecond * 1000 + t.wMilliseconds) *
           1000;
}

} // namespace tambolin
