#pragma once
// A clock that a test or the trace command steps by hand. Time is the local
// wall-clock reading in whole milliseconds (no time zone, no daylight-saving
// jumps); its window timers tick in virtual time, in time order, as fast as
// the machine allows.

#include "platform/clock/clock.h"

#include <QDateTime>
#include <cstdint>
#include <optional>
#include <vector>

namespace tambolin {

class VirtualWindowTimer;

class VirtualClock final : public Clock {
public:
    // start is read as a local wall-clock time, to the millisecond; an invalid
    // start means 2000-01-01 00:00:00.000.
    explicit VirtualClock(const QDateTime &start);
    ~VirtualClock() override;
    VirtualClock(const VirtualClock &) = delete;
    VirtualClock &operator=(const VirtualClock &) = delete;

    SYSTEMTIME localTime() const override;
    WindowTimer *createTimer(QObject *parent) override;

    QDateTime now() const;
    // Milliseconds since the start.
    std::int64_t elapsed() const { return m_now; }

    // Moves time forward by ms (negative: nothing), firing every timer tick
    // that falls due on the way at its own time: earliest first, ties in the
    // order the timers were created. A tick handler may change, create or
    // delete timers, and may itself advance the clock; time never goes back.
    void advance(std::int64_t ms);
    // As advance, up to the wall-clock time t (earlier than now: nothing).
    void runUntil(const QDateTime &t);
    // Milliseconds until the next tick of an enabled timer; none if no timer runs.
    std::optional<std::int64_t> nextTickIn() const;
    // With true, timers tick every period even where their owner let them
    // rest: a run to hold against one with rests.
    void setIgnoreRests(bool ignore) { m_ignoreRests = ignore; }

private:
    friend class VirtualWindowTimer;
    void attach(VirtualWindowTimer *timer);
    void detach(VirtualWindowTimer *timer);
    VirtualWindowTimer *nextDue(std::int64_t limit) const;
    void updateDate();
    // clockMilliseconds() at the start.
    std::int64_t originMs() const;

    std::int64_t m_startDay = 0; // Julian day of the start date
    std::int64_t m_startMs = 0;  // milliseconds into the start day
    std::int64_t m_now = 0;      // milliseconds since the start
    std::uint64_t m_nextSerial = 0;
    std::vector<VirtualWindowTimer *> m_timers;
    // Date fields of the current day, refreshed only when the day changes.
    std::int64_t m_cachedDay = -1;
    SYSTEMTIME m_date;
    bool m_ignoreRests = false;
};

} // namespace tambolin
