// `tambolin devices`: the MIDI output list as the settings window shows it.

#include "cli/command.h"
#include "cli/command_line.h"
#include "cli/console.h"
#include "cli/terminal_text.h"
#include "control/midi_lists.h"

#include <cstdio>

namespace tambolin::cli {

namespace {

int runDevices(const QStringList &args) {
    Options options;
    QString problem;
    if (!options.read(args, {}, problem))
        return refuseArguments("devices", options, problem);
    if (!options.files().isEmpty()) {
        complain("devices", QStringLiteral("unexpected argument '") + options.file() + u'\'');
        return 2;
    }
    const MidiDeviceList list = midiDeviceList();
    for (const QString &entry : list.entries)
        std::printf("%s\n", terminalText(entry).toUtf8().constData());
    return 0;
}

const RegisterCommand registration(Command{
    "devices",
    "list the MIDI output devices",
    "usage: tambolin devices\n"
    "\n"
    "Prints the MIDI output devices as the settings window lists them, one per line:\n"
    "entry 0 is the MIDI mapper (by default the embedded General MIDI synthesizer;\n"
    "set TAMBOLIN_MIDI_MAPPER to part of a port's name to play there instead),\n"
    "entry k is device k-1.\n",
    runDevices,
});

} // namespace

} // namespace tambolin::cli
