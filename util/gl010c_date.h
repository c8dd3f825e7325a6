#pragma once
// Dates as the utility class's callers hold them: a day count, day 0 being
// 30 December 1899, with the time of day as the fraction. Before day 0 the
// whole part counts backwards while the fraction still counts forwards.
// QDateTime values here are wall-clock readings held in UTC, so no daylight
// saving gap or overlap ever shifts them.

#include "platform/runtime/basic_runtime.h"

#include <QDateTime>

namespace tambolin {

using Date = double;

// Local date and time to a day count, to the millisecond.
Date toDate(const QDateTime &local);
// Day count to local date and time (rounded to the millisecond); invalid
// outside the years 100 to 9999 or for a value that is not a number.
QDateTime fromDate(Date date);
// Now, from the clock layer.
QDateTime localNow();

// Adds n hours ('h'), minutes ('n') or seconds ('s') to date; a result outside
// the date range fails the statement.
Date dateAdd(char unit, long long n, Date date);

} // namespace tambolin
