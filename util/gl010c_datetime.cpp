// Dates, times, time-outs and waiting for a process. Every method goes on
// after a failing statement and returns what it had so far; local time comes
// only from the clock layer.

#include "platform/clock/clock.h"
#include "platform/files/processes.h"
#include "util/cl_gl010c.h"
#include "util/gl010c_val.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace tambolin {

namespace {

// A whole number in at least width digits, the sign before the zeros.
QString padded(long long value, int width) {
    QString digits = QString::number(value < 0 ? -value : value);
    if (digits.size() < width)
        digits.prepend(QString(width - digits.size(), u'0'));
    return value < 0 ? u'-' + digits : digits;
}

// Whole-number value of a piece of text, as a Long.
Long longValue(const QString &text) {
    return clng(leadingNumber(text));
}

// The calendar's way with out-of-range parts: months carry into years, days
// into months (day 0 is the last day of the month before). Outside the
// calendar's years the statement fails.
QDate composeDate(long long y, long long m, long long d) {
    const long long months = y * 12 + (m - 1);
    const long long year = months >= 0 ? months / 12 : -((-months + 11) / 12);
    const long long month = months - year * 12 + 1;
    if (year < 100 || year > 9999)
        failStep();
    const QDate date = QDate(static_cast<int>(year), static_cast<int>(month), 1).addDays(d - 1);
    if (!date.isValid() || date.year() < 100 || date.year() > 9999)
        failStep();
    return date;
}

// Borrows from or carries into the next larger unit; a negative value
// borrows one more than its whole multiples, as callers of this class expect.
void normaliseUnit(Long &small, Long &large, long long base) {
    if (small < 0) {
        const long long magnitude = -static_cast<long long>(small);
        large = toLong(large - (magnitude / base + 1));
        small = toLong(magnitude % base);
    } else if (small > base - 1) {
        large = toLong(large + small / base);
        small = toLong(small % base);
    }
}

bool readsAsTimeOfDay(const QString &span) {
    const QTime t = QTime::fromString(span, QStringLiteral("HH:mm:ss"));
    return t.isValid();
}

} // namespace

QString CL_GL010C::RVN_DataDate(QString &ddate, QString &fname) {
    QString result;
    QDateTime reference;
    step([&] { reference = localNow(); });
    step([&] {
        if (RVN_Filesize(fname) > 0) {
            const QDateTime modified = QFileInfo(fname).lastModified();
            if (!modified.isValid())
                failStep();
            reference = QDateTime(modified.date(), modified.time(), Qt::UTC);
        }
    });
    const QDate refDate = reference.date();

    const QString s = (QString(8, u' ') + ddate.trimmed()).right(8);
    if (!s.contains(u' '))
        return s;

    long long y = 0, m = 0, d = 0;
    bool yearFilled = false, centuryFilled = false, monthFilled = false;
    step([&] { y = longValue(s.mid(0, 4)); });
    step([&] {
        if (y == 0) {
            y = refDate.year();
            yearFilled = true;
        } else if (longValue(s.mid(0, 2)) == 0) {
            y = (refDate.year() / 100) * 100 + y % 100;
            centuryFilled = true;
        }
    });
    step([&] { m = longValue(s.mid(4, 2)); });
    if (m == 0) {
        m = refDate.month();
        monthFilled = true;
    }
    step([&] { d = longValue(s.mid(6, 2)); });
    if (d == 0)
        d = refDate.day();

    QDate composed;
    step([&] { composed = composeDate(y, m, d); });
    while (composed.isValid() && composed > refDate) {
        if (monthFilled) {
            if (--m < 1) {
                m = 12;
                --y;
            }
        } else if (centuryFilled) {
            y -= 100;
        } else if (yearFilled) {
            y -= 1;
        } else {
            break;
        }
        // A date that can no longer be composed ends the stepping rather
        // than looping on the last one for ever.
        if (!step([&] { composed = composeDate(y, m, d); }))
            break;
    }
    step([&] {
        if (!composed.isValid())
            failStep();
        result = composed.toString(QStringLiteral("yyyyMMdd"));
    });
    return result;
}

QString CL_GL010C::RVN_LocalDate() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return padded(st.wYear, 4) + u'/' + padded(st.wMonth, 2) + u'/' + padded(st.wDay, 2);
}

QString CL_GL010C::RVN_LocalTime() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    Long hh = st.wHour, mn = st.wMinute, ss = st.wSecond, ms = st.wMilliseconds;
    return RVN_Timeformat(hh, mn, ss, ms);
}

QString CL_GL010C::RVN_Timeformat(Long &hh, Long &mn, Long &ss, Long &MS) {
    return padded(hh, 2) + u':' + padded(mn, 2) + u':' + padded(ss, 2) + u':' + padded(MS, 3);
}

Boolean CL_GL010C::RVN_TimeCheck(Long &hh, Long &mn, Long &ss, Long &MS) {
    Boolean result = False;
    step([&] { normaliseUnit(MS, ss, 1000); });
    step([&] { normaliseUnit(ss, mn, 60); });
    step([&] { normaliseUnit(mn, hh, 60); });
    step([&] {
        if (hh < 0) {
            hh = toLong(-static_cast<long long>(hh) % 24);
            result = True;
        } else if (hh > 23) {
            hh = hh % 24;
            result = True;
        }
    });
    return result;
}

Boolean CL_GL010C::RVN_TimeOut(QString &bdate, QString &btime, Long &MS) {
    Boolean result = False;
    const QString today = RVN_LocalDate();
    const QString now = RVN_LocalTime();
    Long hh = 0, mn = 0, ss = 0, ms = 0;
    step([&] { hh = longValue(btime.mid(0, 2)); });
    step([&] { mn = longValue(btime.mid(3, 2)); });
    step([&] { ss = longValue(btime.mid(6, 2)); });
    step([&] { ms = longValue(btime.mid(9, 3)); });
    step([&] { ms = toLong(static_cast<long long>(ms) + MS); });
    const bool crossed = RVN_TimeCheck(hh, mn, ss, ms) != False;
    const QString end = RVN_Timeformat(hh, mn, ss, ms);
    // Fixed-width time texts of one day compare in time order as strings.
    if (crossed)
        result = toBoolean(today != bdate && now > end);
    else
        result = toBoolean(today == bdate && now > end);
    return result;
}

Boolean CL_GL010C::RVN_TimeOutCheck(Date &startdate, QString &TimeOut) {
    Boolean result = False;
    if (TimeOut.size() != 8)
        return result;
    Date t = 0;
    step([&] { t = toDate(localNow()); });
    long long hours = 0, minutes = 0, seconds = 0;
    if (readsAsTimeOfDay(TimeOut)) {
        const QTime span = QTime::fromString(TimeOut, QStringLiteral("HH:mm:ss"));
        hours = span.hour();
        minutes = span.minute();
        seconds = span.second();
    } else {
        step([&] { hours = longValue(TimeOut.mid(0, 2)); });
        step([&] { minutes = longValue(TimeOut.mid(3, 2)); });
        step([&] { seconds = longValue(TimeOut.mid(6, 2)); });
    }
    step([&] { t = dateAdd('h', -hours, t); });
    step([&] { t = dateAdd('n', -minutes, t); });
    step([&] { t = dateAdd('s', -seconds, t); });
    result = toBoolean(t > startdate);
    return result;
}

Boolean CL_GL010C::RVN_WaitProcess(Long &ProcessID, QString *TimeOut, Boolean *exitflg) {
    Date start = 0;
    step([&] { start = toDate(localNow()); });
    Boolean timedOut = False;
    bool terminate = false;
    QString span = TimeOut ? *TimeOut : QString();
    const bool killOnTimeOut = exitflg && *exitflg != False;

    ProcessHandle process = OpenProcess(PROCESS_QUERY_INFORMATION, False, ProcessID);
    if (!process.isOpen())
        return False;
    Long exitCode = STILL_ACTIVE;
    for (;;) {
        if (!GetExitCodeProcess(process, &exitCode))
            exitCode = 0; // a handle we can no longer query ends the wait
        // The caller's window stays responsive while we wait.
        QCoreApplication::processEvents();
        if (RVN_TimeOutCheck(start, span) != False) {
            terminate = killOnTimeOut;
            timedOut = True;
            break;
        }
        if (exitCode != STILL_ACTIVE)
            break;
    }
    CloseHandle(process);
    if (terminate)
        RVN_ProcessTerminate(ProcessID);
    return timedOut;
}

void CL_GL010C::RVN_ProcessTerminate(Long &ProcessID) {
    ProcessHandle process = OpenProcess(PROCESS_TERMINATE, False, ProcessID);
    if (process.isOpen()) {
        TerminateProcess(process, 0);
        CloseHandle(process);
    }
}

} // namespace tambolin
