#pragma once
// Subcommands of the `tambolin` tool register themselves here, one source
// file each, so adding a subcommand touches no central list.

#include <QStringList>
#include <functional>
#include <vector>

namespace tambolin::cli {

struct Command {
    const char *name;    // "dump"
    const char *summary; // one line for `tambolin --help`
    const char *usage;   // full text for `tambolin NAME --help`
    // Runs with the arguments after the subcommand name; returns the exit status.
    std::function<int(const QStringList &args)> run;
    // Runs the player control, a widget: the tool then makes a widget
    // application, on the offscreen platform unless the user chose one.
    bool widgets = false;
};

// All registered subcommands, in name order.
const std::vector<Command> &commands();

// Called from a static object in each subcommand's source file.
struct RegisterCommand {
    explicit RegisterCommand(Command command);
};

} // namespace tambolin::cli
