// tambolin export FILE -o OUT.mid: what `trace` prints, as a Standard MIDI
// File that ends with the melody.

#include "cli/batch_output.h"
#include "cli/command.h"
#include "cli/command_line.h"
#include "cli/console.h"
#include "cli/melody_input.h"
#include "cli/melody_io.h"
#include "cli/note_timing.h"
#include "cli/options.h"
#include "cli/output_path.h"
#include "cli/output_target.h"
#include "cli/virtual_run.h"
#include "melody/mod_tambolin.h"
#include "melody/smf_writer.h"
#include "melody/smf_writer_parts.h"

#include <QSaveFile>

namespace tambolin::cli {

namespace {

// The longest melody passes 200 notes of at most 3.8 s a part; many loops
// of it still must not run for ever.
constexpr std::int64_t exportCapMs = 3'600'000;
constexpr int playerProgram = 0; // the instrument the player starts with

// Writes bytes to target's file and hands it on; output names it in messages.
int writeMidi(const QString &output, OutputTarget &target, const QByteArray &bytes) {
    QSaveFile file(target.path());
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) < 0 || !file.commit()) {
        complain("export", output + QStringLiteral(": cannot write: ") + file.errorString());
        return 1;
    }
    QString problem;
    if (!target.deliver(problem)) {
        complain("export", problem);
        return 1;
    }
    return 0;
}

// The melody's notation: a track per part, what `import` reads back.
int exportParts(const MelodyInput &input, const QString &output, OutputTarget &target,
                long long loops) {
    QString problem;
    mod().initialiseStore();
    if (!loadMelodyFile(input.path(), problem)) {
        complain("export", input.named(problem));
        return 2;
    }
    const PartsMidiFile midi = partsMidiFile(mod(), playerProgram, loops, exportCapMs);
    if (midi.loops < loops)
        complain("export",
                 QStringLiteral("the file holds %1 of %2 loops: no more fit in %3 minutes")
                     .arg(midi.loops)
                     .arg(loops)
                     .arg(exportCapMs / 60000));
    return writeMidi(output, target, midi.bytes);
}

struct ExportSettings {
    long long loops = 1;
    NoteTiming timing = NoteTiming::Due;
    bool parts = true; // no --timing: the melody's notation, not the player's messages
};

// One melody file to one MIDI file; the exit status.
int exportOne(const QString &melody, const QString &output, const ExportSettings &settings) {
    const long long loops = settings.loops;
    QString problem;
    OutputTarget target;
    if (!target.open(output, QStringLiteral("out.mid"), problem) ||
        !checkOutputPath(target.path(), problem)) {
        complain("export", problem);
        return 2;
    }
    MelodyInput input;
    if (!input.open(melody, problem)) {
        complain("export", problem);
        return 2;
    }
    if (settings.parts)
        return exportParts(input, output, target, loops);
    VirtualRunResult result;
    if (!runVirtual(input.path(), loopsRun(static_cast<int>(loops), exportCapMs), result,
                    problem)) {
        complain("export", input.named(problem));
        return 2;
    }
    if (result.stopped)
        complain("export", QStringLiteral("stopped at %1 minutes of playing, after %2 of %3 "
                                          "loops; the file ends there")
                               .arg(exportCapMs / 60000)
                               .arg(result.melodyEnds)
                               .arg(loops));

    return writeMidi(output, target,
                     standardMidiFile(placed(result.messages, settings.timing), result.endMs));
}

int runExport(const QStringList &args) {
    Options options;
    QString problem;
    ExportSettings settings;
    if (!options.read(args, {{{"-o", "--output"}}, {{"--loops"}}, {{"--timing"}}}, problem) ||
        !integerOption(options, "--loops", 1, 1'000'000, 1, settings.loops, problem) ||
        !timingOption(options, settings.timing, problem))
        return refuseArguments("export", options, problem);
    settings.parts = !options.value(QStringLiteral("--timing"));
    if (options.files().isEmpty())
        return refuseArguments("export", options, QStringLiteral("no FILE given"));
    const std::optional<QString> output = options.value("-o");
    if (!output || output->isEmpty()) {
        complain("export", QStringLiteral("no output: give -o OUT.mid"));
        return 2;
    }
    std::vector<BatchJob> jobs;
    if (!planOutputs(options.files(), *output, QStringLiteral("mid"), jobs, problem)) {
        complain("export", problem);
        return 2;
    }
    return runBatch("export", jobs, [&](const BatchJob &job) {
        return exportOne(job.input, job.output, settings);
    });
}

const RegisterCommand registration({
    "export",
    "write the MIDI messages of a melody as a Standard MIDI File",
    "Usage: tambolin export FILE -o OUT.mid [--loops N] [--timing due|tick]\n"
    "       tambolin export FILE... -o FOLDER [--loops N] [--timing due|tick]\n"
    "Without --timing: the melody's notes as 'tambolin import' reads them back, N\n"
    "times over (default 1), each pass starting when the longest part has ended.\n"
    "Format 1, one track per part, each named with the title and holding the\n"
    "player's program change (0) and its notes on channel 1; a tick is a\n"
    "millisecond of the note table (division: the quarter note of the tempo code,\n"
    "400, 480, 560 or 640) at 99 % speed, as the player plays (tempo 990 us a\n"
    "tick); each track ends where its part ends, trailing rests included. No more\n"
    "passes than fit in 60 minutes are written; a message says so.\n"
    "With --timing: plays FILE as 'tambolin trace' does and writes the same\n"
    "messages to OUT.mid, up to and including the tick on which the melody ends\n"
    "for the N-th time. The file has format 0 and one track; 1000 ticks a\n"
    "quarter note at 1,000,000 microseconds a quarter, so one tick is 1 ms. It ends\n"
    "with an end-of-track event at that last tick.\n"
    "Playing stops at 60 minutes whatever N asks: a message says so, and the file\n"
    "then ends with the stop's note-offs.\n"
    "  -o, --output  the MIDI file to write, or the folder to write into\n"
    "  --timing  due: each message at its due time, when the melody means it, to\n"
    "            the millisecond; tick: at the tick that sent it, as\n"
    "            'tambolin trace' prints it\n"
    "FILE '-' reads standard input; OUT.mid '-' writes standard output.\n"
    "With several FILEs, or when -o names an existing folder, each FILE is written\n"
    "to FOLDER under its own name ending in .mid (a.tbn -> FOLDER/a.mid); one that\n"
    "fails is said and passed over, and the exit status is the worst of them.\n"
    "A FILE that holds no melody, or bad options: exit status 2; OUT.mid cannot be\n"
    "written: exit status 1.\n",
    runExport,
    alwaysWidgets,
    true,
});

} // namespace

} // namespace tambolin::cli
