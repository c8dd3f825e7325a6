#pragma once
// What every subcommand does with arguments it cannot run with: the usage
// when it was asked for, otherwise the reason and exit status 2.

#include "cli/options.h"

#include <QString>

namespace tambolin::cli {

// The usage text of the named command; empty for an unknown name.
QString commandUsage(const QString &name);

// After a failed Options::read/parse (or a failed check of the values): the
// usage on standard output and 0 when it was asked for; otherwise
// "tambolin COMMAND: problem" on standard error, with a pointer to the
// usage unless the problem is an unknown option, and 2.
int refuseArguments(const char *command, const Options &options, const QString &problem);

} // namespace tambolin::cli
