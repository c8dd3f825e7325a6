// The `tambolin` tool: melody files from the command line, through the same
// code the player control uses.

#include "cli/command.h"
#include "cli/console.h"
#include "cli/terminal_text.h"

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
    text += QStringLiteral("\nRun 'tambolin help COMMAND' (or 'tambolin COMMAND --help') for the\n"
                           "details of one command, 'tambolin --version' for the version.\n"
                           "Every command takes --help, and '--' to end its options; a FILE\n"
                           "'-' is standard input, an output '-' standard output.\n"
                           "Exit status: 0 success, 1 failure, 2 bad usage or bad input.\n");
    return text;
}

// The command named on the command line, if any; the kind of application
// must be chosen before it exists, so this looks at the raw arguments.
const Command *commandOf(int argc, char **argv) {
    if (argc < 2)
        return nullptr;
    const auto &all = commands();
    const auto it = std::find_if(all.begin(), all.end(), [&](const Command &c) {
        return std::strcmp(c.name, argv[1]) == 0;
    });
    return it == all.end() ? nullptr : &*it;
}

bool needsWidgets(const Command *command, int argc, char **argv) {
    if (!command || !command->widgets)
        return false;
    QStringList args;
    for (int i = 2; i < argc; ++i)
        args += QString::fromLocal8Bit(argv[i]);
    return command->widgets(args);
}

// Without a display a widget application cannot start; the offscreen
// platform lets it run all the same. A platform chosen by the user stands.
std::unique_ptr<QCoreApplication> makeApplication(int &argc, char **argv) {
    const Command *command = commandOf(argc, argv);
    if (!needsWidgets(command, argc, argv))
        return std::make_unique<QCoreApplication>(argc, argv);
    const bool noDisplay =
        qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && (command->headless || noDisplay))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QApplication>(argc, argv);
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
    const auto app = makeApplication(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        printErr(toolUsage());
        return 2;
    }
    QString name = args.first();
    QStringList rest = args.mid(1);
    if (name == u"--version")
        name = QStringLiteral("version");
    if (name == u"--help" || name == u"-h" || name == u"help") {
        if (rest.isEmpty()) {
            printOut(toolUsage());
            return 0;
        }
        if (rest.size() > 1) {
            complain("help", QStringLiteral("give one COMMAND"));
            return 2;
        }
        name = rest.first();
        rest = {QStringLiteral("--help")};
    }
    const auto &all = commands();
    const auto found = std::find_if(
        all.begin(), all.end(), [&](const Command &c) { return name == QLatin1String(c.name); });
    if (found == all.end()) {
        // One pass over the name: it may hold anything, '%' included.
        printErr(QStringLiteral("tambolin: unknown command '") + terminalText(name) +
                 QStringLiteral("'; run 'tambolin --help' for the list\n"));
        return 2;
    }
    if (!rest.isEmpty() && (rest.first() == u"--help" || rest.first() == u"-h")) {
        printOut(QString::fromUtf8(found->usage));
        return 0;
    }
    return found->run(rest);
}
