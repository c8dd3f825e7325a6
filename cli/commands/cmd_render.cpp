// tambolin render FILE -o OUT.wav: the melody through the embedded
// synthesizer, offline, to a sound file.

#include "cli/batch_output.h"
#include "cli/command.h"
#include "cli/command_line.h"
#include "cli/console.h"
#include "cli/melody_input.h"
#include "cli/note_timing.h"
#include "cli/options.h"
#include "cli/output_path.h"
#include "cli/output_target.h"
#include "cli/virtual_run.h"
#include "platform/audio/wav_writer.h"
#include "platform/midi/offline_synth.h"

#include <QFile>
#include <stdexcept>

namespace tambolin::cli {

namespace {

// After the last note-off the sound dies away rather than stopping dead.
constexpr std::int64_t releaseTailMs = 1000;
// No melody, however many loops, makes a longer file than this.
constexpr std::int64_t longestSoundMs = 600'000;
// Rendering this much sound takes long enough to say so first.
constexpr std::int64_t announceAfterMs = 60'000;

QString minutesAndSeconds(std::int64_t ms) {
    const std::int64_t s = ms / 1000;
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

struct RenderSettings {
    long long loops = 1;
    long long program = -1;
    NoteTiming timing = NoteTiming::Due;
    QString soundFont;
};

// One melody file to one sound file; the exit status.
int renderOne(const QString &melody, const QString &output, const RenderSettings &settings) {
    const long long loops = settings.loops;
    const long long program = settings.program;
    const NoteTiming timing = settings.timing;
    const QString &soundFont = settings.soundFont;
    QString problem;
    OutputTarget target;
    if (!target.open(output, QStringLiteral("out.wav"), problem) ||
        !checkOutputPath(target.path(), problem)) {
        complain("render", problem);
        return 2;
    }

    VirtualRun run = loopsRun(static_cast<int>(loops), longestSoundMs - releaseTailMs);
    if (program >= 0)
        run.program = static_cast<Integer>(program);
    MelodyInput input;
    VirtualRunResult result;
    if (!input.open(melody, problem) || !runVirtual(input.path(), run, result, problem)) {
        complain("render", input.named(problem));
        return 2;
    }
    if (result.stopped)
        complain("render", QStringLiteral("the sound is cut at %1 minutes, after %2 of %3 loops")
                               .arg(longestSoundMs / 60000)
                               .arg(result.melodyEnds)
                               .arg(loops));

    std::string error;
    const std::unique_ptr<OfflineSynth> synth =
        OfflineSynth::create(QFile::encodeName(soundFont).toStdString(), error);
    if (!synth) {
        complain("render", QString::fromLocal8Bit(error));
        return 2;
    }
    std::vector<TimedMidiMessage> messages;
    messages.reserve(result.messages.size());
    for (const TimedWord &m : placed(result.messages, timing))
        messages.push_back({static_cast<Long>(m.ms), m.word});
    const std::int64_t length = result.endMs + releaseTailMs;
    if (length > announceAfterMs)
        complain("render",
                 QStringLiteral("rendering %1 of sound...").arg(minutesAndSeconds(length)));

    std::vector<std::int16_t> samples;
    try {
        samples = synth->renderInt16(messages, static_cast<Long>(length));
    } catch (const std::exception &e) {
        complain("render", QString::fromLocal8Bit(e.what()));
        return 1;
    }
    QString writeError;
    if (!writeWav(target.path(), samples, OfflineSynth::channels, OfflineSynth::sampleRate,
                  writeError)) {
        complain("render", output + QStringLiteral(": ") + target.named(writeError));
        return 1;
    }
    if (!target.deliver(problem)) {
        complain("render", problem);
        return 1;
    }
    return 0;
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
    "play a melody through the embedded synthesizer into a WAV file",
    "Usage: tambolin render FILE -o OUT.wav [--program N] [--loops N] [--soundfont SF2]\n"
    "                      [--timing due|tick]\n"
    "       tambolin render FILE... -o FOLDER [options as above]\n"
    "Plays FILE as 'tambolin export' does (up to the tick on which the melody ends\n"
    "for the N-th time, default 1) and renders those messages with the embedded\n"
    "General MIDI synthesizer into OUT.wav: 16-bit PCM, stereo, 44100 Hz, with\n"
    "1 second after the last message for the sound to die away.\n"
    "  -o, --output  the sound file to write, or the folder to write into\n"
    "  --program   the instrument, General MIDI program 0..127 (default 0, the\n"
    "              player's own default), sent as the start-up's program change\n"
    "  --soundfont the sound font to play with (default: $TAMBOLIN_SOUNDFONT, then\n"
    "              the system's General MIDI font)\n"
    "  --timing    due (default): each note at its due time; tick: at the tick that\n"
    "              sent it, as 'tambolin trace' prints it\n"
    "No file is longer than 10 minutes: playing stops there, and a message says so.\n"
    "FILE '-' reads standard input; OUT.wav '-' writes standard output.\n"
    "With several FILEs, or when -o names an existing folder, each FILE is written\n"
    "to FOLDER under its own name ending in .wav (a.tbn -> FOLDER/a.wav); one that\n"
    "fails is said and passed over, and the exit status is the worst of them.\n"
    "Bad options, a FILE that holds no melody or no usable sound font: exit status 2;\n"
    "OUT.wav cannot be written: exit status 1.\n",
    runRender,
    alwaysWidgets,
    true,
});

} // namespace

} // namespace tambolin::cli
