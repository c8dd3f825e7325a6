// The `tambolin` tool: melody files from the command line, through the same
// code the player control uses.

#include "cli/command.h"
#include "cli/console.h"

#include <QApplication>
#include <QCoreApplication>
#include <algorithm>
#include <cstring>
#include <memory>

namespace tambolin::cli {

namespace {

std::vector<Command> &registry() {
    static std::vector<Command> all;
    return all;
}

QString toolUsage() {
    QString text = QStringLiteral("Usage: tambolin COMMAND [ARG ...]\n"
                                  "Reads, writes and shows ring-melody files (.tbn).\n\n"
                                  "Commands:\n");
    for (const Command &c : commands())
        text += QStringLiteral("  %1  %2\n")
                    .arg(QString::fromLatin1(c.name), -10)
                    .arg(QString::fromUtf8(c.summary));
    text += QStringLiteral("\nRun 'tambolin COMMAND --help' for the details of one command.\n"
                           "Exit status: 0 success, 1 failure, 2 bad usage or bad input.\n");
    return text;
}

} // namespace

const std::vector<Command> &commands() {
    return registry();
}

RegisterCommand::RegisterCommand(Command command) {
    auto &all = registry();
    const auto at =
        std::lower_bound(all.begin(), all.end(), command, [](const Command &a, const Command &b) {
            return std::strcmp(a.name, b.name) < 0;
        });
    all.insert(at, std::move(command));
}

} // namespace tambolin::cli

int main(int argc, char **argv) {
    using namespace tambolin::cli;
    // The kind of application must be chosen before it exists, so look the
    // command up by its raw name first.
    const auto &all = commands();
    const auto byName = [&](const QString &name) {
        return std::find_if(all.begin(), all.end(),
                            [&](const Command &c) { return name == QLatin1String(c.name); });
    };
    const auto first = argc >= 2 ? byName(QString::fromLocal8Bit(argv[1])) : all.end();
    const bool widgets = first != all.end() && first->widgets;
    std::unique_ptr<QCoreApplication> app;
    if (widgets) {
        // Headless: the control is never shown, and there may be no display.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        printErr(toolUsage());
        return 2;
    }
    const QString &name = args.first();
    if (name == u"--help" || name == u"-h" || name == u"help") {
        printOut(toolUsage());
        return 0;
    }
    const auto found = byName(name);
    if (found == all.end()) {
        printErr(
            QStringLiteral("tambolin: unknown command '%1'; run 'tambolin --help' for the list\n")
                .arg(name));
        return 2;
    }
    if (args.size() >= 2 && (args[1] == u"--help" || args[1] == u"-h")) {
        printOut(QString::fromUtf8(found->usage));
        return 0;
    }
    return found->run(args.mid(1));
}
