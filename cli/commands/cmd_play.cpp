// tambolin play FILE: the melody in real time through a MIDI output, until
// Ctrl-C or the given number of loops.

#include "cli/command.h"
#include "cli/command_line.h"
#include "cli/console.h"
#include "cli/headless_control.h"
#include "cli/melody_io.h"
#include "cli/options.h"
#include "cli/play_status.h"
#include "cli/status_line.h"
#include "cli/terminal_text.h"
#include "control/midi_lists.h"
#include "platform/runtime/stop_signals.h"

#include <QCoreApplication>

namespace tambolin::cli {

namespace {

int runPlay(const QStringList &args) {
    Options options;
    QString problem;
    long long device = 0;
    long long program = 0;
    long long loops = 0;
    if (!options.parse(args, {{"--device"}, {"--program"}, {"--loops"}}, problem) ||
        !integerOption(options, "--device", 0, 32767, 0, device, problem) ||
        !integerOption(options, "--program", 0, 127, 0, program, problem) ||
        !integerOption(options, "--loops", 1, 1'000'000, 0, loops, problem))
        return refuseArguments("play", options, problem);
    if (!checkMelodyFile(options.file(), problem)) {
        complain("play", problem);
        return 2;
    }
    const MidiDeviceList devices = midiDeviceList();
    if (device >= devices.entries.size()) {
        complain(
            "play",
            QStringLiteral("there is no device %1; 'tambolin devices' lists them").arg(device));
        return 2;
    }

    // Listening before the control starts, so that no Ctrl-C is lost.
    StopSignals stopSignals;
    const std::unique_ptr<HeadlessControl> headless = HeadlessControl::create(
        "play", MidiChoices{static_cast<Integer>(device), static_cast<Integer>(program)}, problem);
    if (!headless) {
        complain("play", problem);
        return 1;
    }
    Player &player = headless->player();
    if (headless->messageBoxes() > 0) {
        // The control has said why (its message box, on standard error).
        complain("play", QStringLiteral("cannot play on device %1").arg(device));
        return 1;
    }
    player.load(options.file());

    const QString how =
        loops > 0 ? QStringLiteral("%1 loop(s)").arg(loops) : QStringLiteral("until stopped");
    printOut(QStringLiteral("%1\nPlaying on %2 with %3, %4; Ctrl-C stops\n")
                 .arg(terminalText(player.title()), terminalText(player.midiDeviceText()),
                      player.instrumentText(), how));

    bool finished = false;
    const auto finish = [&] {
        if (finished)
            return;
        finished = true;
        player.stop();
        QCoreApplication::quit();
    };
    QObject::connect(&stopSignals, &StopSignals::received, &stopSignals, finish);
    // Queued: the stop comes once the tick that ended the melody is over.
    QObject::connect(
        &player, &Player::melodyEnded, &player,
        [&] {
            if (loops > 0 && player.ends() >= loops)
                finish();
        },
        Qt::QueuedConnection);
    // On a terminal one line keeps the time and the loop up to date.
    StatusLine line(stdout);
    PlayStatus status(terminalText(player.title()), player.lengthMs(), static_cast<int>(loops),
                      [&line](const QString &text) { line.show(text); });
    if (line.enabled())
        QObject::connect(&player, &Player::melodyEnded, &status, &PlayStatus::loopEnded);
    player.play();
    if (line.enabled())
        status.start();
    QCoreApplication::exec();
    status.stop();
    // The control's end resets and closes the device.
    return 0;
}

const RegisterCommand registration({
    "play",
    "play a melody in real time through a MIDI output",
    "Usage: tambolin play FILE [--device K] [--program N] [--loops N]\n"
    "Plays FILE as the player does, on the real clock, and prints its title and a\n"
    "status line. On a terminal one more line is kept up to date: the title, the\n"
    "elapsed and total time of the loop playing, and the loop count.\n"
    "Ctrl-C (or SIGTERM) stops it cleanly: note-offs for the notes\n"
    "sounding, the device closed, exit status 0.\n"
    "  --device  the output as 'tambolin devices' lists it (default 0, the MIDI mapper)\n"
    "  --program the instrument, General MIDI program 0..127 (default 0)\n"
    "  --loops   stop after the melody has ended N times (default: play until stopped)\n"
    "Your stored MIDI settings are neither read nor changed.\n"
    "Bad options or a FILE that holds no melody: exit status 2; the device cannot\n"
    "be opened: exit status 1.\n",
    runPlay,
    alwaysWidgets,
    true,
});

} // namespace

} // namespace tambolin::cli
