#pragma once
// runVirtual in a process of its own, so that the player control, its widgets
// and fonts are gone, memory and all, before the caller goes on: for a
// rendering, which then loads a whole synthesizer.

#include "cli/virtual_run.h"

namespace tambolin::cli {

// The same outcome as runVirtual. The run takes a child process when that is
// safe (one thread, and a platform without a display connection to share);
// otherwise, or when no child can be started, it takes this one. apart, if
// given, says which. A child that ends without an outcome is a failure,
// with a message.
bool runVirtualApart(const QString &melody, const VirtualRun &run, VirtualRunResult &result,
                     QString &problem, bool *apart = nullptr);

} // namespace tambolin::cli
