#include "platform/clock/real_window_timer.h"

#include "platform/clock/clock_ms.h"

#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cstdint>
#include <ctime>
#include <sys/timerfd.h>
#include <unistd.h>

namespace tambolin {

namespace {

using Nanos = std::int64_t;
constexpr Nanos nsPerMs = 1'000'000;
// A rest is mapped from local time onto the monotonic clock; a step of the
// system clock or the zone while resting can make it wrong, so it never
// spans more than this.
constexpr Nanos longestRest = 1000 * nsPerMs;

Nanos monotonicNow() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return Nanos(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

timespec toTimespec(Nanos ns) {
    return timespec{time_t(ns / 1'000'000'000), long(ns % 1'000'000'000)};
}

class RealWindowTimer final : public WindowTimer {
public:
    explicit RealWindowTimer(QObject *parent)
        : WindowTimer(parent), m_fd(timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC)) {
        if (m_fd >= 0) {
            m_notifier = new QSocketNotifier(qintptr(m_fd), QSocketNotifier::Read, this);
            connect(m_notifier, &QSocketNotifier::activated, this, [this] { expired(); });
        } else {
            m_fallback = new QTimer(this);
            m_fallback->setTimerType(Qt::PreciseTimer);
            connect(m_fallback, &QTimer::timeout, this, &WindowTimer::tick);
        }
    }
    ~RealWindowTimer() override {
        // The notifier must go before the descriptor it watches.
        delete m_notifier;
        if (m_fd >= 0)
            ::close(m_fd);
    }

    void setInterval(int ms) override {
        m_interval = std::max(ms, 0);
        // A new interval starts a new period.
        apply(true);
    }
    int interval() const override { return m_interval; }
    void setEnabled(bool on) override {
        m_enabled = on;
        // Enabling a running timer leaves its period alone.
        apply(false);
        if (on)
            endRest();
    }
    bool isEnabled() const override { return m_enabled; }

    void restUntil(std::int64_t clockMs) override {
        if (!m_running || m_fallback)
            return;
        const Nanos now = monotonicNow();
        // In the terms of the clock in use, whose times the owner gives.
        const Nanos ahead = (clockMs * 1000 - clockMicroseconds()) * 1000;
        const Nanos wake = periodAtOrAfter(now + std::clamp(ahead, Nanos(1), longestRest));
        const bool resting = wake > periodAtOrAfter(now + 1);
        if (resting || m_resting)
            arm(wake);
        m_resting = resting;
    }

private:
    Nanos period() const { return Nanos(m_interval) * nsPerMs; }
    // The first period boundary at or after t.
    Nanos periodAtOrAfter(Nanos t) const {
        if (t <= m_phase)
            return m_phase + period();
        const Nanos k = (t - m_phase + period() - 1) / period();
        return m_phase + std::max<Nanos>(k, 1) * period();
    }

    // A window timer with interval 0 never ticks (a running QTimer with
    // interval 0 would fire on every pass of the event loop).
    void apply(bool restart) {
        const bool run = m_enabled && m_interval > 0;
        if (m_fallback) {
            m_fallback->setInterval(m_interval);
            if (!run)
                m_fallback->stop();
            else if (restart || !m_fallback->isActive())
                m_fallback->start();
            return;
        }
        if (run && m_running && !restart)
            return;
        m_resting = false;
        if (!run) {
            // Disarming also discards expirations not yet read.
            const itimerspec none{};
            timerfd_settime(m_fd, 0, &none, nullptr);
            m_running = false;
            return;
        }
        // Periods are counted from here, so that a rest can keep to them.
        m_phase = monotonicNow();
        m_running = arm(m_phase + period());
    }

    // The next tick at the absolute time first, every period after it.
    bool arm(Nanos first) {
        itimerspec timing{};
        timing.it_interval = toTimespec(period());
        timing.it_value = toTimespec(first);
        return timerfd_settime(m_fd, TFD_TIMER_ABSTIME, &timing, nullptr) == 0;
    }

    void endRest() {
        if (m_resting && m_running) {
            m_resting = false;
            arm(periodAtOrAfter(monotonicNow() + 1));
        }
    }

    void expired() {
        std::uint64_t count = 0;
        if (::read(m_fd, &count, sizeof count) != sizeof count || !m_running)
            return;
        m_resting = false;
        // Periods missed while the loop was busy make one tick, as window
        // timers do.
        emit tick();
    }

    int m_fd;
    QSocketNotifier *m_notifier = nullptr;
    QTimer *m_fallback = nullptr;
    int m_interval = 0;
    bool m_enabled = false;
    bool m_running = false;
    bool m_resting = false;
    Nanos m_phase = 0; // monotonic time the current periods count from
};

} // namespace

WindowTimer *createRealWindowTimer(QObject *parent) {
    return new RealWindowTimer(parent);
}

} // namespace tambolin
