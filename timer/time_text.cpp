#include "timer/time_text.h"

#include "platform/clock/clock.h"

namespace tambolin {

namespace {

bool inRange(Long v, Long hi) {
    return v >= 0 && v <= hi;
}

} // namespace

bool checkTime(TimeFields &t, bool normalise, const SYSTEMTIME &now) {
    if (!normalise) {
        if (t.hh == -1)
            t.hh = now.wHour;
        if (t.mn == -1)
            t.mn = now.wMinute;
        if (t.ss == -1)
            t.ss = now.wSecond;
        if (t.MS == -1)
            t.MS = now.wMilliseconds;
        return inRange(t.hh, 23) && inRange(t.mn, 59) && inRange(t.ss, 59) && inRange(t.MS, 999);
    }
    // Each carry is its own statement: one that overflows is skipped and the
    // next still runs. Division truncates and the remainder keeps the sign of
    // the dividend, as in C++.
    using LL = long long;
    if (t.MS < 0) {
        step([&] { t.ss = toLong(LL(t.ss) - toLong(-LL(t.MS)) / 1000); });
        t.MS = t.MS % 1000;
    } else if (t.MS > 999) {
        step([&] { t.ss = toLong(LL(t.ss) + t.MS / 1000); });
        t.MS = t.MS % 1000;
    }
    if (t.ss < 0) {
        step([&] { t.mn = toLong(LL(t.mn) - toLong(-LL(t.ss)) / 60); });
        t.ss = t.ss % 60;
    } else if (t.ss > 59) {
        step([&] { t.mn = toLong(LL(t.mn) + t.ss / 60); });
        t.ss = t.ss % 60;
    }
    if (t.mn < 0) {
        step([&] { t.hh = toLong(LL(t.hh) - (toLong(-LL(t.mn)) / 60 + 1)); });
        t.mn = t.mn % 60;
    } else if (t.mn > 59) {
        step([&] { t.hh = toLong(LL(t.hh) + t.mn / 60); });
        t.mn = t.mn % 60;
    }
    if (t.hh < 0 || t.hh > 23)
        t.hh = t.hh % 24;
    return true;
}

std::int64_t totalMilliseconds(const TimeFields &t) {
    return ((std::int64_t(t.hh) * 60 + t.mn) * 60 + t.ss) * 1000 + t.MS;
}

TimeText::TimeText(const TimeFields &t) {
    put(t.hh, 2);
    m_buf[m_len++] = ':';
    put(t.mn, 2);
    m_buf[m_len++] = ':';
    put(t.ss, 2);
    m_buf[m_len++] = ':';
    put(t.MS, 3);
}

void TimeText::put(Long v, int width) {
    long long mag = v;
    if (mag < 0) {
        m_buf[m_len++] = '-';
        mag = -mag;
    }
    char digits[12];
    int n = 0;
    do {
        digits[n++] = char('0' + mag % 10);
        mag /= 10;
    } while (mag > 0);
    for (int pad = n; pad < width; ++pad)
        m_buf[m_len++] = '0';
    while (n > 0)
        m_buf[m_len++] = digits[--n];
}

} // namespace tambolin
