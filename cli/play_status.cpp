#include "cli/play_status.h"

#include "platform/clock/clock.h"
#include "platform/clock/window_timer.h"

#include <algorithm>

namespace tambolin::cli {

namespace {

QString minutesSeconds(std::int64_t ms) {
    const std::int64_t s = std::max<std::int64_t>(ms, 0) / 1000;
    const std::int64_t seconds = s % 60;
    return QString::number(s / 60) + u':' + (seconds < 10 ? QStringLiteral("0") : QString()) +
           QString::number(seconds);
}

} // namespace

QString playStatusText(const QString &title, std::int64_t elapsedMs, std::int64_t totalMs, int loop,
                       int loops) {
    QString text = title + QStringLiteral("  ") + minutesSeconds(std::min(elapsedMs, totalMs)) +
                   QStringLiteral(" / ") + minutesSeconds(totalMs) + QStringLiteral("  loop ") +
                   QString::number(loop);
    if (loops > 0)
        text += QStringLiteral(" of ") + QString::number(loops);
    return text;
}

PlayStatus::PlayStatus(QString title, std::int64_t totalMs, int loops,
                       std::function<void(const QString &)> show, QObject *parent)
    : QObject(parent), m_title(std::move(title)), m_totalMs(totalMs), m_loops(loops),
      m_show(std::move(show)), m_timer(currentClock().createTimer(this)) {
    m_timer->setInterval(RefreshMs);
    connect(m_timer, &WindowTimer::tick, this, &PlayStatus::refresh);
}

std::int64_t PlayStatus::nowMs() const {
    return currentClock().localMicroseconds() / 1000;
}

void PlayStatus::start() {
    m_loop = 1;
    m_loopStartMs = nowMs();
    m_timer->setEnabled(true);
    refresh();
}

void PlayStatus::loopEnded() {
    if (m_loop == 0)
        return;
    // The last loop has ended: nothing more to count.
    if (m_loops > 0 && m_loop >= m_loops) {
        stop();
        m_last = playStatusText(m_title, m_totalMs, m_totalMs, m_loop, m_loops);
        m_show(m_last);
        return;
    }
    ++m_loop;
    m_loopStartMs = nowMs();
    refresh();
}

void PlayStatus::stop() {
    m_timer->setEnabled(false);
}

void PlayStatus::refresh() {
    const QString text =
        playStatusText(m_title, nowMs() - m_loopStartMs, m_totalMs, m_loop, m_loops);
    // Only a changed line is written: at most one a second while it plays.
    if (text == m_last)
        return;
    m_last = text;
    m_show(text);
}

} // namespace tambolin::cli
