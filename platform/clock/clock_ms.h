#pragma once
// The clock layer's local time as one running count of milliseconds, for
// measuring how long something has played; it keeps counting across midnight.

#include <cstdint>

namespace tambolin {

std::int64_t clockMilliseconds();
// The same count in microseconds, as fine as the clock in use goes.
std::int64_t clockMicroseconds();

} // namespace tambolin
