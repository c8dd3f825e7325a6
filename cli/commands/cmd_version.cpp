// tambolin version: the tool's version, as `tambolin --version` prints it.

#include "cli/command.h"
#include "cli/command_line.h"
#include "cli/console.h"

namespace tambolin::cli {

namespace {

int runVersion(const QStringList &args) {
    Options options;
    QString problem;
    if (!options.read(args, {}, problem))
        return refuseArguments("version", options, problem);
    if (!options.files().isEmpty())
        return refuseArguments("version", options,
                               QStringLiteral("unexpected argument '") + options.file() + u'\'');
    printOut(QStringLiteral("tambolin " TAMBOLIN_VERSION "\n"));
    return 0;
}

const RegisterCommand registration({
    "version",
    "print the version of the tool",
    "Usage: tambolin version\n"
    "       tambolin --version\n"
    "Prints 'tambolin' and the version of the Tamberlo Player it belongs to.\n",
    runVersion,
});

} // namespace

} // namespace tambolin::cli
