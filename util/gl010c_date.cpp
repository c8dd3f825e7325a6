#include "util/gl010c_date.h"

#include "platform/clock/clock.h"

#include <cmath>

namespace tambolin {

namespace {

constexpr long long msPerDay = 86400000;

const QDate &dayZero() {
    static const QDate zero(1899, 12, 30);
    return zero;
}

bool inRange(const QDate &d) {
    return d.isValid() && d.year() >= 100 && d.year() <= 9999;
}

} // namespace

Date toDate(const QDateTime &local) {
    const long long days = dayZero().daysTo(local.date());
    const double fraction = static_cast<double>(local.time().msecsSinceStartOfDay()) / msPerDay;
    return days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
}

QDateTime fromDate(Date date) {
    if (!std::isfinite(date) || std::fabs(date) > 3e6)
        return {};
    long long days = static_cast<long long>(std::trunc(date));
    long long ms = std::llround(std::fabs(date - static_cast<double>(days)) * msPerDay);
    if (ms >= msPerDay) {
        ms -= msPerDay;
        days += date < 0 ? -1 : 1;
    }
    const QDate d = dayZero().addDays(days);
    if (!inRange(d))
        return {};
    return QDateTime(d, QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)), Qt::UTC);
}

QDateTime localNow() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return QDateTime(QDate(st.wYear, st.wMonth, st.wDay),
                     QTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds), Qt::UTC);
}

Date dateAdd(char unit, long long n, Date date) {
    const QDateTime from = fromDate(date);
    if (!from.isValid())
        failStep();
    long long secs = 0;
    switch (unit) {
    case 'h':
        secs = n * 3600;
        break;
    case 'n':
        secs = n * 60;
        break;
    case 's':
        secs = n;
        break;
    default:
        failStep();
    }
    // Calendar arithmetic on the wall clock: a day always has 24 hours here.
    const long long total = from.time().msecsSinceStartOfDay() + secs * 1000;
    const long long dayShift =
        total >= 0 ? total / msPerDay : -((-total + msPerDay - 1) / msPerDay);
    const long long msOfDay = total - dayShift * msPerDay;
    const QDate d = from.date().addDays(dayShift);
    if (!inRange(d))
        failStep();
    return toDate(
        QDateTime(d, QTime::fromMSecsSinceStartOfDay(static_cast<int>(msOfDay)), Qt::UTC));
}

} // namespace tambolin
