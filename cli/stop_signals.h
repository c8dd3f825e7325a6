#pragma once
// The tool's stop signals (Ctrl-C, SIGTERM, SIGHUP): the player's own handler.

#include "platform/stop_signals.h"

namespace tambolin::cli {

using StopSignals = tambolin::StopSignals;

} // namespace tambolin::cli
