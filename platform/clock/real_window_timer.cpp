#include "platform/clock/real_window_timer.h"

#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cstdint>
#include <sys/timerfd.h>
#include <unistd.h>

namespace tambolin {

namespace {

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
    }
    bool isEnabled() const override { return m_enabled; }

private:
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
        itimerspec period{};
        if (run) {
            period.it_interval.tv_sec = m_interval / 1000;
            period.it_interval.tv_nsec = long(m_interval % 1000) * 1'000'000;
            period.it_value = period.it_interval;
        }
        // Re-arming or disarming also discards expirations not yet read.
        m_running = timerfd_settime(m_fd, 0, &period, nullptr) == 0 && run;
    }

    void expired() {
        std::uint64_t count = 0;
        if (::read(m_fd, &count, sizeof count) != sizeof count || !m_running)
            return;
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
};

} // namespace

WindowTimer *createRealWindowTimer(QObject *parent) {
    return new RealWindowTimer(parent);
}

} // namespace tambolin
