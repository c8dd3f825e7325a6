// The real clock's local time comes from the real-time clock plus a cached
// zone offset: it must agree with the C library's local time, and the
// offset must follow the zone in force.

#include "platform/clock/clock.h"
#include "platform/clock/clock_ms.h"
#include "platform/clock/local_zone.h"

#include <QDateTime>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace tambolin {
namespace {

class ZoneVariable {
public:
    explicit ZoneVariable(const char *zone) {
        if (const char *old = std::getenv("TZ"))
            m_old = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneVariable() {
        if (m_old)
            setenv("TZ", m_old->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> m_old;
};

TEST(LocalZone, OffsetFollowsTheZoneIncludingItsSummerTime) {
    ZoneVariable zone("Europe/Berlin");
    // 2026-01-15 12:00 UTC (winter) and 2026-07-15 12:00 UTC (summer).
    EXPECT_EQ(zoneOffsetSeconds(1768478400), 3600);
    EXPECT_EQ(zoneOffsetSeconds(1784116800), 7200);
    ZoneVariable tokyo("Asia/Tokyo");
    EXPECT_EQ(zoneOffsetSeconds(1768478400), 9 * 3600);
}

TEST(LocalZone, RealClockAgreesWithTheLibrarysLocalTime) {
    const std::int64_t before = QDateTime::currentMSecsSinceEpoch();
    const SYSTEMTIME t = currentClock().localTime();
    const std::int64_t micros = clockMicroseconds();
    const std::int64_t after = QDateTime::currentMSecsSinceEpoch();

    const QDateTime local(QDate(t.wYear, t.wMonth, t.wDay),
                          QTime(t.wHour, t.wMinute, t.wSecond, t.wMilliseconds));
    ASSERT_TRUE(local.isValid());
    EXPECT_GE(local.toMSecsSinceEpoch(), before - 1);
    EXPECT_LE(local.toMSecsSinceEpoch(), after + 1);
    EXPECT_EQ(t.wDayOfWeek, local.date().dayOfWeek() % 7);
    // The finer reading counts the same days and milliseconds.
    const std::int64_t ms = clockMilliseconds();
    EXPECT_GE(ms * 1000 + 1000, micros);
    EXPECT_LE(micros / 1000, ms);
}

} // namespace
} // namespace tambolin
