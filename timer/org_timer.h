#pragma once
// OrgTimer: up to 100 numbered timers, each due at a time of day (absolute
// mode) or at an offset from a base time (relative mode). It has no clock of
// its own: the owner calls TimerProc regularly, and a due timer raises
// TimerChange. Due times are compared as HH:MM:SS:mmm texts.

#include "platform/runtime/basic_runtime.h"

#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tambolin {

struct SYSTEMTIME;
struct TimeFields;

class OrgTimer final : public QObject {
    Q_OBJECT
public:
    explicit OrgTimer(QObject *parent = nullptr);

    // When False, a tick on an unchanged date does nothing.
    Boolean Enabled = True;
    // When the date changes, re-arm every timer.
    Boolean DateClear = True;
    // True: timer times are offsets from the base time.
    Boolean Base = False;

    Long BaseHour() const { return m_basehh; }
    Long BaseMilliSeconds() const { return m_basems; }
    Long BaseMinute() const { return m_basemn; }
    Long BaseSecond() const { return m_basess; }

    // Number of the first timer with exactly this id; -1 if none or id is empty.
    Integer FindTimerIDtoNo(const QString &id) const;

    // The local time of the last examined tick.
    Long Hour() const { return m_hour; }
    Long MilliSeconds() const { return m_ms; }
    Long Minute() const { return m_minute; }
    Long Second() const { return m_second; }

    // -1 in a component takes the current time's; no arguments: now.
    Boolean SetBaseTime(Long hh = -1, Long mn = -1, Long ss = -1, Long MS = -1);

    // st False: fills -1 components with the current time and checks the
    // ranges. st True: carries overflowing components upward; always True.
    Boolean GetTimeCheck(Long &hh, Long &mn, Long &ss, Long &MS, Boolean st = False) const;
    // HH:MM:SS:mmm after GetTimeCheck on the same arguments; empty if it fails.
    QString GetTimeStr(Long &hh, Long &mn, Long &ss, Long &MS, Boolean st = False) const;

    // One tick: raises at most one TimerChange or DateChange, as its last action.
    void TimerProc();
    // The clock time (clockMilliseconds() terms) before which no tick can
    // raise anything: the earliest armed timer's due time or the next date
    // change. Nothing when a tick may matter at any moment: before the first
    // tick, with absolute or periodic timers, or a timer overdue or due on
    // another day.
    std::optional<std::int64_t> nextEventMilliseconds() const;
    void TimerClear();
    Integer TimerCount() const { return m_tcount; }
    // Removes a timer and renumbers the higher ones; timerno, or 0 if not in use.
    Integer TimerDel(Integer timerno);
    // Copies a timer out; timerno, or -1 (outputs untouched) if not in use.
    Integer TimerGet(Integer timerno, Long &hh, Long &mn, Long &ss, Long &MS, QString &id,
                     Integer &chk) const;
    // Adds a timer; its number, or -1 when the table is full or the time is invalid.
    Integer TimerSet(Long hh = -1, Long mn = -1, Long ss = -1, Long MS = -1,
                     const QString &id = QString(), Boolean repeat = False);
    // The fired flag: 0 armed, -1 fired; -1 if the number is not in use.
    Integer TimerValue(Integer timerno) const;
    // Sets the fired flag and restarts a periodic timer's period from the base time.
    void TimerValue(Integer timerno, Integer tvalue);

signals:
    void TimerChange(tambolin::Integer no, const QString &id);
    void DateChange(const QString &datestr);

private:
    struct TimerRec {
        Long hh = 0, mn = 0, ss = 0, MS = 0;
        Integer chk = 0;
        QString id;
        Integer repeat = False;
        Long lasthh = -1, lastmn = -1, lastss = -1, lastms = -1;
        // Day (Julian) on which the current period started.
        std::int64_t lastday = 0;
        // Re-armed by a date change after it fired: due again at its time of
        // day, never overdue.
        bool rearmed = false;
    };

    Boolean TimerNoCheck(Integer timerno) const;
    void takeDate(const SYSTEMTIME &now);
    bool sameDate(const SYSTEMTIME &now) const;
    void dateChanged(const SYSTEMTIME &now);
    bool isDue(TimerRec &r, const SYSTEMTIME &now, std::string_view nowText, TimeFields &d,
               std::int64_t &dueDay);
    void fire(Integer no, const TimeFields &d, std::int64_t dueDay);

    std::array<TimerRec, 101> m_timerTbl{}; // slot 0 is never used
    Integer m_tcount = 0;
    QString m_curdate;
    std::uint32_t m_curymd = 0;           // m_curdate as packed numbers, cheap to compare
    std::optional<std::int64_t> m_curday; // Julian day of m_curdate
    Long m_basehh = 0, m_basemn = 0, m_basess = 0, m_basems = 0;
    // Day the base time belongs to: where SetBaseTime ran, else the first tick's.
    std::optional<std::int64_t> m_baseday;
    Long m_hour = 0, m_minute = 0, m_second = 0, m_ms = 0;
};

} // namespace tambolin
