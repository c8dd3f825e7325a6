#include "timer/org_timer.h"

#include "platform/clock/clock.h"
#include "timer/time_text.h"

#include <QDate>
#include <algorithm>
#include <limits>

namespace tambolin {

namespace {

using LL = long long;
constexpr std::int64_t msPerDay = 86'400'000;

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

std::uint32_t packDate(const SYSTEMTIME &t) {
    return (std::uint32_t(t.wYear) << 9) | (std::uint32_t(t.wMonth) << 5) | t.wDay;
}

SYSTEMTIME localNow() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now;
}

} // namespace

OrgTimer::OrgTimer(QObject *parent) : QObject(parent) {}

Integer OrgTimer::FindTimerIDtoNo(const QString &id) const {
    if (id.isEmpty())
        return -1;
    for (Integer i = 1; i <= m_tcount; ++i) {
        if (m_timerTbl[i].id == id)
            return i;
    }
    return -1;
}

Boolean OrgTimer::SetBaseTime(Long hh, Long mn, Long ss, Long MS) {
    const SYSTEMTIME now = localNow();
    TimeFields t{hh, mn, ss, MS};
    if (!checkTime(t, false, now))
        return False;
    m_basehh = t.hh;
    m_basemn = t.mn;
    m_basess = t.ss;
    m_basems = t.MS;
    m_baseday = QDate(now.wYear, now.wMonth, now.wDay).toJulianDay();
    return True;
}

Boolean OrgTimer::GetTimeCheck(Long &hh, Long &mn, Long &ss, Long &MS, Boolean st) const {
    TimeFields t{hh, mn, ss, MS};
    const bool ok = checkTime(t, st != False, localNow());
    hh = t.hh;
    mn = t.mn;
    ss = t.ss;
    MS = t.MS;
    return toBoolean(ok);
}

QString OrgTimer::GetTimeStr(Long &hh, Long &mn, Long &ss, Long &MS, Boolean st) const {
    if (GetTimeCheck(hh, mn, ss, MS, st) == False)
        return QString();
    return TimeText(TimeFields{hh, mn, ss, MS}).toString();
}

void OrgTimer::TimerProc() {
    // One reading of the clock per tick, so the date and the time agree.
    const SYSTEMTIME now = localNow();
    if (m_curdate.isEmpty())
        step([&] { takeDate(now); });
    if (!sameDate(now)) {
        // Runs whatever Enabled holds, and examines no timer.
        dateChanged(now);
        return;
    }
    if (Enabled == False)
        return;

    TimeFields t;
    checkTime(t, false, now);
    m_hour = t.hh;
    m_minute = t.mn;
    m_second = t.ss;
    m_ms = t.MS;
    const TimeText nowText(t);

    // At most one timer per tick: the lowest-numbered due one.
    for (Integer i = 1; i <= m_tcount; ++i) {
        TimerRec &r = m_timerTbl[i];
        if (r.chk != 0)
            continue;
        TimeFields d;
        std::int64_t dueDay = 0;
        if (isDue(r, now, nowText.view(), d, dueDay)) {
            fire(i, d, dueDay);
            return;
        }
    }
}

std::optional<std::int64_t> OrgTimer::nextEventMilliseconds() const {
    if (m_curdate.isEmpty() || !m_curday)
        return std::nullopt;
    const std::int64_t today = *m_curday;
    std::int64_t next = (today + 1) * msPerDay;
    if (Enabled == False)
        return next;
    const std::int64_t fromDay = m_baseday.value_or(today);
    for (Integer i = 1; i <= m_tcount; ++i) {
        const TimerRec &r = m_timerTbl[i];
        if (r.chk != 0)
            continue;
        if (Base == False || r.repeat != False)
            return std::nullopt;
        // Only plain offsets: then the tick's text comparison is the order
        // of the moments, and the due time can be told without a tick.
        const LL parts[] = {LL(r.hh) + m_basehh, LL(r.mn) + m_basemn, LL(r.ss) + m_basess,
                            LL(r.MS) + m_basems};
        for (const LL part : parts)
            if (part < 0 || part > std::numeric_limits<Long>::max())
                return std::nullopt;
        const std::int64_t total = ((parts[0] * 60 + parts[1]) * 60 + parts[2]) * 1000 + parts[3];
        if (fromDay + total / msPerDay != today)
            return std::nullopt;
        next = std::min(next, fromDay * msPerDay + total);
    }
    return next;
}

void OrgTimer::TimerClear() {
    m_tcount = 0;
}

Integer OrgTimer::TimerDel(Integer timerno) {
    if (TimerNoCheck(timerno) == False)
        return 0;
    for (Integer i = timerno; i < m_tcount; ++i)
        m_timerTbl[i] = m_timerTbl[i + 1];
    --m_tcount;
    return timerno;
}

Integer OrgTimer::TimerGet(Integer timerno, Long &hh, Long &mn, Long &ss, Long &MS, QString &id,
                           Integer &chk) const {
    if (TimerNoCheck(timerno) == False)
        return -1;
    const TimerRec &r = m_timerTbl[timerno];
    hh = r.hh;
    mn = r.mn;
    ss = r.ss;
    MS = r.MS;
    id = r.id;
    chk = r.chk;
    return timerno;
}

Integer OrgTimer::TimerSet(Long hh, Long mn, Long ss, Long MS, const QString &id, Boolean repeat) {
    if (m_tcount >= 100)
        return -1;
    // Relative offsets are normalised; absolute times are filled and checked.
    TimeFields t{hh, mn, ss, MS};
    if (!checkTime(t, Base != False, localNow()))
        return -1;
    ++m_tcount;
    TimerRec &r = m_timerTbl[m_tcount];
    r = TimerRec{};
    r.hh = t.hh;
    r.mn = t.mn;
    r.ss = t.ss;
    r.MS = t.MS;
    r.id = id;
    r.repeat = toBoolean(repeat != False);
    return m_tcount;
}

Integer OrgTimer::TimerValue(Integer timerno) const {
    if (TimerNoCheck(timerno) == False)
        return -1;
    return m_timerTbl[timerno].chk;
}

void OrgTimer::TimerValue(Integer timerno, Integer tvalue) {
    if (TimerNoCheck(timerno) == False)
        return;
    TimerRec &r = m_timerTbl[timerno];
    r.chk = tvalue;
    r.lasthh = r.lastmn = r.lastss = r.lastms = -1;
    r.rearmed = false;
}

Boolean OrgTimer::TimerNoCheck(Integer timerno) const {
    return toBoolean(timerno > 0 && timerno <= m_tcount);
}

// Each control takes its date on its own first tick, and a base time never
// set belongs to that day.
void OrgTimer::takeDate(const SYSTEMTIME &now) {
    m_curdate = QString::asprintf("%02u-%02u-%04u", unsigned(now.wMonth), unsigned(now.wDay),
                                  unsigned(now.wYear));
    m_curymd = packDate(now);
    m_curday = QDate(now.wYear, now.wMonth, now.wDay).toJulianDay();
    if (!m_baseday)
        m_baseday = m_curday;
}

bool OrgTimer::sameDate(const SYSTEMTIME &now) const {
    return !m_curdate.isEmpty() && packDate(now) == m_curymd;
}

void OrgTimer::dateChanged(const SYSTEMTIME &now) {
    if (DateClear != False) {
        for (Integer i = 1; i <= m_tcount; ++i) {
            TimerRec &r = m_timerTbl[i];
            if (r.chk != 0) {
                r.chk = 0;
                r.rearmed = true;
            }
        }
    }
    step([&] { takeDate(now); });
    // A copy: a handler may tick this control again and change m_curdate.
    const QString datestr = m_curdate;
    step([&] { emit DateChange(datestr); });
}

// Computes the slot's due time into d and tells whether it has come. In
// relative mode a due time on an earlier day than the control's date is
// overdue, whatever its text says: otherwise a timer due in the last moments
// of a day would wait until that time on the next day.
bool OrgTimer::isDue(TimerRec &r, const SYSTEMTIME &now, std::string_view nowText, TimeFields &d,
                     std::int64_t &dueDay) {
    d = TimeFields{r.hh, r.mn, r.ss, r.MS};
    bool overdue = false;
    if (Base != False) {
        const std::int64_t today = m_curday.value_or(0);
        TimeFields from{m_basehh, m_basemn, m_basess, m_basems};
        std::int64_t fromDay = m_baseday.value_or(today);
        if (r.repeat != False) {
            if (r.lasthh == -1) {
                r.lasthh = m_basehh;
                r.lastmn = m_basemn;
                r.lastss = m_basess;
                r.lastms = m_basems;
                r.lastday = fromDay;
            }
            from = TimeFields{r.lasthh, r.lastmn, r.lastss, r.lastms};
            fromDay = r.lastday;
        }
        // A sum that overflows a Long is skipped, component by component.
        step([&] { d.hh = toLong(LL(d.hh) + from.hh); });
        step([&] { d.mn = toLong(LL(d.mn) + from.mn); });
        step([&] { d.ss = toLong(LL(d.ss) + from.ss); });
        step([&] { d.MS = toLong(LL(d.MS) + from.MS); });
        dueDay = fromDay + floorDiv(totalMilliseconds(d), msPerDay);
        overdue = !r.rearmed && dueDay < today;
        checkTime(d, true, now);
    } else if (!checkTime(d, false, now)) {
        return false;
    }
    return overdue || TimeText(d).view() <= nowText;
}

void OrgTimer::fire(Integer no, const TimeFields &d, std::int64_t dueDay) {
    TimerRec &r = m_timerTbl[no];
    if (r.repeat != False && Base != False) {
        // The next period counts from this due time, not from the tick.
        r.lasthh = d.hh;
        r.lastmn = d.mn;
        r.lastss = d.ss;
        r.lastms = d.MS;
        r.lastday = dueDay;
    } else {
        r.chk = -1;
    }
    r.rearmed = false;
    // A copy: the handler may clear the table and reuse this slot.
    const QString id = r.id;
    step([&] { emit TimerChange(no, id); });
}

} // namespace tambolin
