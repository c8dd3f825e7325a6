// tambolin render FILE -o OUT: the melody through the embedded
// synthesizer, offline, to a sound file.

#include "cli/batch_output.h"
#include "cli/command.h"
#include "cli/command_line.h"
#include "cli/console.h"
#include "cli/melody_input.h"
#include "cli/melody_render.h"
#include "cli/note_timing.h"
#include "cli/options.h"

#include <QFile>
#include <unistd.h>

namespace tambolin::cli {

namespace {

struct RenderSettings {
    long long loops = 1;
    long long program = -1;
    NoteTiming timing = NoteTiming::Due;
    QString soundFont;
};

// One melody file to one sound file; the exit status.
int renderOne(const QString &melody, const QString &output, const RenderSettings &settings) {
    QString problem;
    MelodyInput input;
    if (!input.open(melody, problem)) {
        complain("render", problem);
        return 2;
    }
    RenderOptions render;
    render.loops = static_cast<int>(settings.loops);
    if (settings.program >= 0)
        render.program = static_cast<Integer>(settings.program);
    render.soundFont = settings.soundFont;
    render.timing = settings.timing;
    int status = 0;
    if (output == u"-") {
        // Binary sound on a terminal is only noise.
        if (::isatty(STDOUT_FILENO)) {
            complain("render", QStringLiteral("standard output is a terminal; redirect it or give "
                                              "-o OUT.wav"));
            return 2;
        }
        status = renderMelodyTo(input.path(), STDOUT_FILENO, render, problem);
    } else {
        status = renderMelody(input.path(), output, render, problem);
    }
    if (status != 0)
        complain("render", input.named(problem));
    return status;
}

int runRender(const QStringList &args) {
    Options options;
    QString problem;
    RenderSettings settings;
    if (!options.read(args,
                      {{{"-o", "--output"}},
                       {{"--program"}},
                       {{"--loops"}},
                       {{"--soundfont"}},
                       {{"--timing"}}},
                      problem) ||
        !integerOption(options, "--loops", 1, 1'000'000, 1, settings.loops, problem) ||
        !integerOption(options, "--program", 0, 127, -1, settings.program, problem) ||
        !timingOption(options, settings.timing, problem))
        return refuseArguments("render", options, problem);
    if (options.files().isEmpty())
        return refuseArguments("render", options, QStringLiteral("no FILE given"));
    const std::optional<QString> output = options.value("-o");
    if (!output || output->isEmpty()) {
        complain("render", QStringLiteral("no output: give -o OUT.wav"));
        return 2;
    }
    settings.soundFont = options.value("--soundfont").value_or(QString());
    if (options.value("--soundfont") && !QFile(settings.soundFont).open(QIODevice::ReadOnly)) {
        complain("render", settings.soundFont + QStringLiteral(": cannot read the sound font"));
        return 2;
    }
    std::vector<BatchJob> jobs;
    if (!planOutputs(options.files(), *output, QStringLiteral("wav"), jobs, problem)) {
        complain("render", problem);
        return 2;
    }
    return runBatch("render", jobs, [&](const BatchJob &job) {
        return renderOne(job.input, job.output, settings);
    });
}

const RegisterCommand registration({
    "render",
    "play a melody through the embedded synthesizer into a WAV, FLAC or Ogg file",
    "Usage: tambolin render FILE -o OUT [--program N] [--loops N] [--soundfont SF2]\n"
    "                      [--timing due|tick]\n"
    "       tambolin render FILE... -o FOLDER [options as above]\n"
    "Plays FILE as 'tambolin export' does (up to the tick on which the melody ends\n"
    "for the N-th time, default 1) and renders those messages with the embedded\n"
    "General MIDI synthesizer into OUT: stereo, 44100 Hz, with 1 second after the\n"
    "last message for the sound to die away. OUT's extension gives its type: .wav\n"
    "(16-bit PCM), .flac or .ogg (Ogg Vorbis); -o - writes WAV to standard output.\n"
    "  -o, --output  the sound file to write, or the folder to write into\n"
    "  --program   the instrument, General MIDI program 0..127 (default 0, the\n"
    "              player's own default), sent as the start-up's program change\n"
    "  --soundfont the sound font to play with (default: $TAMBOLIN_SOUNDFONT, then\n"
    "              the system's General MIDI font)\n"
    "  --timing    due (default): each note at its due time; tick: at the tick that\n"
    "              sent it, as 'tambolin trace' prints it\n"
    "No file is longer than 10 minutes: playing stops there, and a message says so.\n"
    "FILE '-' reads standard input.\n"
    "With several FILEs, or when -o names an existing folder, each FILE is written\n"
    "to FOLDER under its own name ending in .wav (a.tbn -> FOLDER/a.wav); one that\n"
    "fails is said and passed over, and the exit status is the worst of them.\n"
    "Bad options, an unknown type of OUT, a FILE that holds no melody or no usable\n"
    "sound font: exit status 2;\n"
    "OUT cannot be written: exit status 1.\n",
    runRender,
    alwaysWidgets,
    true,
});

} // namespace

} // namespace tambolin::cli
