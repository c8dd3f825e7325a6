#include "cli/command_line.h"

#include "cli/command.h"
#include "cli/console.h"

namespace tambolin::cli {

QString commandUsage(const QString &name) {
    for (const Command &c : commands())
        if (name == QLatin1String(c.name))
            return QString::fromUtf8(c.usage);
    return {};
}

int refuseArguments(const char *command, const Options &options, const QString &problem) {
    if (options.helpAsked()) {
        printOut(commandUsage(QString::fromLatin1(command)));
        return 0;
    }
    if (options.unknownOption()) {
        complain(command, problem);
        return 2;
    }
    complain(command, problem + QStringLiteral("; see 'tambolin ") + QString::fromLatin1(command) +
                          QStringLiteral(" --help'"));
    return 2;
}

} // namespace tambolin::cli
