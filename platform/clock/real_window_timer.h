#pragma once
// The window timer of the real clock.

#include "platform/clock/window_timer.h"

namespace tambolin {

// A kernel timer (timerfd) watched by the event loop: it wakes the loop at
// the due time to the microsecond, where Qt's own timers round the wait up to
// whole milliseconds. Falls back to a precise QTimer where no timerfd is to be had.
WindowTimer *createRealWindowTimer(QObject *parent);

} // namespace tambolin
