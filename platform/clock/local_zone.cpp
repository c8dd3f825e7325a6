#include "platform/clock/local_zone.h"

#include <atomic>
#include <ctime>
#include <mutex>

namespace tambolin {

namespace {

// Julian day number of 1970-01-01.
constexpr std::int64_t unixEpochJulianDay = 2440588;
constexpr std::int64_t recheckMicros = 1000000;

std::int64_t monotonicMicros() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

struct ZoneCache {
    std::mutex mutex;
    std::int64_t checkedAt = 0; // monotonic microseconds of the last look-up
    bool valid = false;
    std::int64_t offset = 0;
};

} // namespace

std::int64_t zoneOffsetSeconds(std::int64_t utcSeconds) {
    // tzset re-reads TZ and the zone file, so a changed zone is seen here.
    tzset();
    const std::time_t t = static_cast<std::time_t>(utcSeconds);
    std::tm local{};
    if (!localtime_r(&t, &local))
        return 0;
    return local.tm_gmtoff;
}

std::int64_t localMicrosecondsNow() {
    static ZoneCache cache;
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    const std::int64_t mono = monotonicMicros();
    std::int64_t offset = 0;
    {
        std::lock_guard lock(cache.mutex);
        if (!cache.valid || mono - cache.checkedAt >= recheckMicros || mono < cache.checkedAt) {
            cache.offset = zoneOffsetSeconds(ts.tv_sec);
            cache.checkedAt = mono;
            cache.valid = true;
        }
        offset = cache.offset;
    }
    const std::int64_t localSeconds = static_cast<std::int64_t>(ts.tv_sec) + offset;
    return (localSeconds + unixEpochJulianDay * 86400) * 1000000 + ts.tv_nsec / 1000;
}

} // namespace tambolin
