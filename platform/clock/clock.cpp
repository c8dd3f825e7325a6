#include "platform/clock/clock.h"

#include "platform/clock/local_zone.h"
#include "platform/clock/real_window_timer.h"

#include <QDate>

namespace tambolin {

namespace {

class RealClock final : public Clock {
public:
    SYSTEMTIME localTime() const override { return localTimeAt(localMicrosecondsNow()); }
    std::int64_t localMicroseconds() const override { return localMicrosecondsNow(); }
    WindowTimer *createTimer(QObject *parent) override { return createRealWindowTimer(parent); }
};

thread_local Clock *t_clock = nullptr;

} // namespace

SYSTEMTIME localTimeAt(std::int64_t localMicroseconds) {
    const std::int64_t day = localMicroseconds / 86400000000;
    const std::int64_t ms = (localMicroseconds % 86400000000) / 1000;
    const QDate d = QDate::fromJulianDay(day);
    SYSTEMTIME st;
    st.wYear = static_cast<std::uint16_t>(d.year());
    st.wMonth = static_cast<std::uint16_t>(d.month());
    st.wDayOfWeek = static_cast<std::uint16_t>(d.dayOfWeek() % 7);
    st.wDay = static_cast<std::uint16_t>(d.day());
    st.wHour = static_cast<std::uint16_t>(ms / 3600000);
    st.wMinute = static_cast<std::uint16_t>(ms / 60000 % 60);
    st.wSecond = static_cast<std::uint16_t>(ms / 1000 % 60);
    st.wMilliseconds = static_cast<std::uint16_t>(ms % 1000);
    return st;
}

Clock &currentClock() {
    static RealClock realClock;
    return t_clock ? *t_clock : realClock;
}

void setCurrentClock(Clock *clock) {
    t_clock = clock;
}

ScopedClock::ScopedClock(Clock &clock) : m_previous(t_clock) {
    t_clock = &clock;
}

ScopedClock::~ScopedClock() {
    t_clock = m_previous;
}

void GetLocalTime(SYSTEMTIME *out) {
    if (out)
        *out = currentClock().localTime();
}

} // namespace tambolin
