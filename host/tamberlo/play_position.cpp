#include "host/tamberlo/play_position.h"

#include "control/playctrl.h"
#include "platform/clock/clock_ms.h"
#include "timer/org_timer.h"

namespace tambolin::tamberlo {

namespace {

constexpr std::int64_t Day = 86400000;

} // namespace

std::optional<std::int64_t> playedMs(const PLAYCTRL &ctrl) {
    const OrgTimer *timer = ctrl.OrgTimer1(1);
    if (ctrl.Play() == False || !timer)
        return std::nullopt;
    // The timer keeps only the time of day of its base, which lies less than
    // a day back: a pass that began before midnight still counts from it.
    const std::int64_t base =
        ((std::int64_t{timer->BaseHour()} * 60 + timer->BaseMinute()) * 60 + timer->BaseSecond()) *
            1000 +
        timer->BaseMilliSeconds();
    const std::int64_t now = clockMilliseconds();
    return ((now % Day - base) % Day + Day) % Day;
}

} // namespace tambolin::tamberlo
