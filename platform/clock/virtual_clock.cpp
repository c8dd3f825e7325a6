#include "platform/clock/virtual_clock.h"

#include <QDate>
#include <QTime>
#include <algorithm>
#include <limits>

namespace tambolin {

namespace {

constexpr std::int64_t msPerDay = 86'400'000;

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

} // namespace

// A window timer that ticks in its clock's virtual time. It forgets its clock
// if the clock goes first, and then never ticks again.
class VirtualWindowTimer final : public WindowTimer {
public:
    VirtualWindowTimer(VirtualClock *clock, std::uint64_t serial, QObject *parent)
        : WindowTimer(parent), m_clock(clock), m_serial(serial) {
        m_clock->attach(this);
    }
    ~VirtualWindowTimer() override {
        if (m_clock)
            m_clock->detach(this);
    }

    void setInterval(int ms) override {
        m_interval = std::max(ms, 0);
        // A new interval starts a new period, as on the real clock.
        restart();
    }
    int interval() const override { return m_interval; }
    void setEnabled(bool on) override {
        // Enabling a running timer leaves its period alone.
        if (on && !m_enabled) {
            m_enabled = true;
            restart();
        } else if (!on) {
            m_enabled = false;
        } else {
            endRest();
        }
    }
    bool isEnabled() const override { return m_enabled; }

    void restUntil(std::int64_t clockMs) override {
        if (!running())
            return;
        endRest();
        if (m_clock->m_ignoreRests)
            return;
        const std::int64_t until = clockMs - m_clock->originMs();
        if (until <= m_due)
            return;
        m_due += (until - m_due + m_interval - 1) / m_interval * m_interval;
        m_resting = true;
    }

private:
    friend class VirtualClock;

    bool running() const { return m_clock && m_enabled && m_interval > 0; }
    void restart() {
        m_resting = false;
        if (m_clock)
            m_due = m_clock->elapsed() + m_interval;
    }
    // Back to the first period after now.
    void endRest() {
        if (!m_resting || !running())
            return;
        m_resting = false;
        const std::int64_t now = m_clock->elapsed();
        if (m_due > now)
            m_due -= (m_due - now - 1) / m_interval * m_interval;
    }

    VirtualClock *m_clock;
    std::uint64_t m_serial; // creation order, breaks ties between equal due times
    int m_interval = 0;
    bool m_enabled = false;
    std::int64_t m_due = 0;
    bool m_resting = false;
};

VirtualClock::VirtualClock(const QDateTime &start) {
    const QDateTime s = start.isValid() ? start : QDateTime(QDate(2000, 1, 1), QTime(0, 0));
    m_startDay = s.date().toJulianDay();
    m_startMs = s.time().msecsSinceStartOfDay();
    updateDate();
}

VirtualClock::~VirtualClock() {
    for (VirtualWindowTimer *t : m_timers)
        t->m_clock = nullptr;
}

SYSTEMTIME VirtualClock::localTime() const {
    SYSTEMTIME st = m_date;
    std::int64_t ms = (m_startMs + m_now) % msPerDay;
    st.wMilliseconds = static_cast<std::uint16_t>(ms % 1000);
    ms /= 1000;
    st.wSecond = static_cast<std::uint16_t>(ms % 60);
    ms /= 60;
    st.wMinute = static_cast<std::uint16_t>(ms % 60);
    st.wHour = static_cast<std::uint16_t>(ms / 60);
    return st;
}

std::int64_t VirtualClock::originMs() const {
    return m_startDay * msPerDay + m_startMs;
}

WindowTimer *VirtualClock::createTimer(QObject *parent) {
    return new VirtualWindowTimer(this, m_nextSerial++, parent);
}

QDateTime VirtualClock::now() const {
    const std::int64_t total = m_startMs + m_now;
    return QDateTime(QDate::fromJulianDay(m_startDay + floorDiv(total, msPerDay)),
                     QTime::fromMSecsSinceStartOfDay(static_cast<int>(total % msPerDay)));
}

void VirtualClock::advance(std::int64_t ms) {
    if (ms < 0)
        return;
    const std::int64_t target = m_now + ms;
    while (VirtualWindowTimer *t = nextDue(target)) {
        m_now = std::max(m_now, t->m_due);
        updateDate();
        // The next period is booked before the handler runs, so the handler
        // may re-interval, stop or delete the timer.
        t->m_due += t->m_interval;
        t->m_resting = false;
        emit t->tick();
    }
    // A handler that advanced the clock itself may have gone past target.
    m_now = std::max(m_now, target);
    updateDate();
}

void VirtualClock::runUntil(const QDateTime &t) {
    if (!t.isValid())
        return;
    const std::int64_t wall =
        (t.date().toJulianDay() - m_startDay) * msPerDay + t.time().msecsSinceStartOfDay();
    advance(wall - m_startMs - m_now);
}

std::optional<std::int64_t> VirtualClock::nextTickIn() const {
    const VirtualWindowTimer *t = nextDue(std::numeric_limits<std::int64_t>::max());
    if (!t)
        return std::nullopt;
    return std::max<std::int64_t>(t->m_due - m_now, 0);
}

void VirtualClock::attach(VirtualWindowTimer *timer) {
    m_timers.push_back(timer);
}

void VirtualClock::detach(VirtualWindowTimer *timer) {
    m_timers.erase(std::remove(m_timers.begin(), m_timers.end(), timer), m_timers.end());
}

// The running timer due first (ties: created first), if due by limit.
VirtualWindowTimer *VirtualClock::nextDue(std::int64_t limit) const {
    VirtualWindowTimer *best = nullptr;
    for (VirtualWindowTimer *t : m_timers) {
        if (!t->running() || t->m_due > limit)
            continue;
        if (!best || t->m_due < best->m_due ||
            (t->m_due == best->m_due && t->m_serial < best->m_serial))
            best = t;
    }
    return best;
}

void VirtualClock::updateDate() {
    const std::int64_t day = m_startDay + floorDiv(m_startMs + m_now, msPerDay);
    if (day == m_cachedDay)
        return;
    m_cachedDay = day;
    const QDate d = QDate::fromJulianDay(day);
    m_date.wYear = static_cast<std::uint16_t>(d.year());
    m_date.wMonth = static_cast<std::uint16_t>(d.month());
    m_date.wDay = static_cast<std::uint16_t>(d.day());
    m_date.wDayOfWeek = static_cast<std::uint16_t>(d.dayOfWeek() % 7);
}

} // namespace tambolin
