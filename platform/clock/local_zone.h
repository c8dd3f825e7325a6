#pragma once
// The local time of the real clock without asking the C library (which
// reads the zone file on every call) each time: the zone's offset from UTC
// is looked up at most once a second and reused in between.

#include <cstdint>

namespace tambolin {

// Microseconds of local time since the Julian day 0 began, from the system's
// real-time clock and the cached offset.
std::int64_t localMicrosecondsNow();

// The offset of the local zone at utcSeconds (Unix time), in seconds, as the
// C library reports it after re-reading the zone; uncached.
std::int64_t zoneOffsetSeconds(std::int64_t utcSeconds);

} // namespace tambolin
