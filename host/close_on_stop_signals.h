#pragma once

#include "platform/runtime/stop_signals.h"

namespace tambolin {

// Ends the application on a stop signal as if the user had closed its
// windows: every window is closed (dialogs first, answering them as
// cancelled), then every running event loop quits with status 0. A signal
// taken before the application's own loop started (in a dialog's loop while
// starting up) leaves caught() set: the program should then not enter its
// loop. Returns the handler, owned by the application object.
StopSignals *closeWindowsOnStopSignals();

} // namespace tambolin
