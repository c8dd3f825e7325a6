#include "platform/clock.h"

#include <QDateTime>
#include <QTimer>
#include <algorithm>

namespace tambolin {

namespace {

// Window timer on the real clock: a precise Qt timer.
class RealWindowTimer final : public WindowTimer {
public:
    explicit RealWindowTimer(QObject *parent) : WindowTimer(parent), m_timer(this) {
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, &WindowTimer::tick);
    }
    void setInterval(int ms) override {
        m_interval = std::max(ms, 0);
        m_timer.setInterval(m_interval);
        // A new interval starts a new period; a running QTimer with interval 0
        // would fire on every pass of the event loop, so 0 stops it instead.
        apply(true);
    }
    int interval() const override { return m_interval; }
    void setEnabled(bool on) override {
        m_enabled = on;
        // Enabling a running timer leaves its period alone.
        apply(false);
    }
    bool isEnabled() const override { return m_enabled; }

private:
    // A window timer with interval 0 never ticks.
    void apply(bool restart) {
        if (!m_enabled || m_interval == 0)
            m_timer.stop();
        else if (restart || !m_timer.isActive())
            m_timer.start();
    }

    QTimer m_timer;
    int m_interval = 0;
    bool m_enabled = false;
};

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
    WindowTimer *createTimer(QObject *parent) override { return new RealWindowTimer(parent); }
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
