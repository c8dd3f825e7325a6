#include "platform/clock/clock.h"

#include "platform/clock/real_window_timer.h"

#include <QDateTime>

namespace tambolin {

namespace {

class RealClock final : public Clock {
public:
    SYSTEMTIME localTime() const override {
        const QDateTime now = QDateTime::currentDateTime();
        const QDate d = now.date();
        const QTime t = now.time();
        SYSTEMTIME st;
        st.wYear = static_cast<std::uint16_t>(d.year());
        st.wMonth = static_cast<std::uint16_t>(d.month());
        st.wDayOfWeek = static_cast<std::uint16_t>(d.dayOfWeek() % 7);
        st.wDay = static_cast<std::uint16_t>(d.day());
        st.wHour = static_cast<std::uint16_t>(t.hour());
        st.wMinute = static_cast<std::uint16_t>(t.minute());
        st.wSecond = static_cast<std::uint16_t>(t.second());
        st.wMilliseconds = static_cast<std::uint16_t>(t.msec());
        return st;
    }
    WindowTimer *createTimer(QObject *parent) override { return createRealWindowTimer(parent); }
};

thread_local Clock *t_clock = nullptr;

} // namespace

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
