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
    // Whether these arguments need a widget application (dialogs, windows);
    // it runs offscreen when there is no display. Empty: never.
    std::function<bool(const QStringList &args)> widgets = nullptr;
    // The widgets are never shown (the player control run headless): offscreen
    // even with a display, unless the user chose a platform.
    bool headless = false;
};

// For `widgets`: these commands always need a widget application.
inline bool alwaysWidgets(const QStringList &) {
    return true;
}

// All registered subcommands, in name order.
const std::vector<Command> &commands();

// Called from a static object in each subcommand's source file.
struct RegisterCommand {
    explicit RegisterCommand(Command command);
};

} // namespace tambolin::cli
