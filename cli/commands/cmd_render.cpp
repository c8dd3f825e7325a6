// tambolin render FILE -o OUT: the melody through the embedded
// synthesizer, offline, to a sound file.

#include "cli/command.h"
#include "cli/console.h"
#include "cli/melody_render.h"
#include "cli/note_timing.h"
#include "cli/options.h"

#include <QFile>
#include <unistd.h>

namespace tambolin::cli {

namespace {

int runRender(const QStringList &args) {
    Options options;
    QString problem;
    long long loops = 1;
    long long program = -1;
    NoteTiming timing = NoteTiming::Due;
    if (!options.parse(
            args, {{"-o", "--output"}, {"--program"}, {"--loops"}, {"--soundfont"}, {"--timing"}},
            problem) ||
        !integerOption(options, "--loops", 1, 1'000'000, 1, loops, problem) ||
        !integerOption(options, "--program", 0, 127, -1, program, problem) ||
        !timingOption(options, timing, problem)) {
        complain("render", problem + QStringLiteral("; see 'tambolin render --help'"));
        return 2;
    }
    const std::optional<QString> output = options.value("-o");
    if (!output || output->isEmpty()) {
        complain("render", QStringLiteral("no output: give -o OUT.wav"));
        return 2;
    }
    const QString soundFont = options.value("--soundfont").value_or(QString());
    if (options.value("--soundfont") && !QFile(soundFont).open(QIODevice::ReadOnly)) {
        complain("render", QStringLiteral("%1: cannot read the sound font").arg(soundFont));
        return 2;
    }

    RenderOptions render;
    render.loops = static_cast<int>(loops);
    if (program >= 0)
        render.program = static_cast<Integer>(program);
    render.soundFont = soundFont;
    render.timing = timing;
    int status = 0;
    if (*output == u"-") {
        // Binary sound on a terminal is only noise.
        if (::isatty(STDOUT_FILENO)) {
            complain("render", QStringLiteral("standard output is a terminal; redirect it or give "
                                              "-o OUT.wav"));
            return 2;
        }
        status = renderMelodyTo(options.file(), STDOUT_FILENO, render, problem);
    } else {
        status = renderMelody(options.file(), *output, render, problem);
    }
    if (status != 0)
        complain("render", problem);
    return status;
}

const RegisterCommand registration({
    "render",
    "play a melody through the embedded synthesizer into a WAV, FLAC or Ogg file",
    "Usage: tambolin render FILE -o OUT [--program N] [--loops N] [--soundfont SF2]\n"
    "                      [--timing due|tick]\n"
    "Plays FILE as 'tambolin export' does (up to the tick on which the melody ends\n"
    "for the N-th time, default 1) and renders those messages with the embedded\n"
    "General MIDI synthesizer into OUT: stereo, 44100 Hz, with 1 second after the\n"
    "last message for the sound to die away. OUT's extension gives its type: .wav\n"
    "(16-bit PCM), .flac or .ogg (Ogg Vorbis); -o - writes WAV to standard output.\n"
    "  --program   the instrument, General MIDI program 0..127 (default 0, the\n"
    "              player's own default), sent as the start-up's program change\n"
    "  --soundfont the sound font to play with (default: $TAMBOLIN_SOUNDFONT, then\n"
    "              the system's General MIDI font)\n"
    "  --timing    due (default): each note at its due time; tick: at the tick that\n"
    "              sent it, as 'tambolin trace' prints it\n"
    "No file is longer than 10 minutes: playing stops there, and a message says so.\n"
    "Bad options, an unknown type of OUT, a FILE that holds no melody or no usable\n"
    "sound font: exit status 2;\n"
    "OUT cannot be written: exit status 1.\n",
    runRender,
    alwaysWidgets,
    true,
});

} // namespace

} // namespace tambolin::cli
