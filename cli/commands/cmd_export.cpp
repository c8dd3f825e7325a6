// tambolin export FILE -o OUT.mid: what `trace` prints, as a Standard MIDI
// File that ends with the melody.

#include "cli/command.h"
#include "cli/console.h"
#include "cli/melody_io.h"
#include "cli/note_timing.h"
#include "cli/options.h"
#include "cli/output_path.h"
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

bool writeMidi(const QString &output, const QByteArray &bytes) {
    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) < 0 || !file.commit()) {
        complain("export", QStringLiteral("%1: cannot write: %2").arg(output, file.errorString()));
        return false;
    }
    return true;
}

// The melody's notation: a track per part, what `import` reads back.
int exportParts(const QString &input, const QString &output, long long loops) {
    QString problem;
    mod().initialiseStore();
    if (!loadMelodyFile(input, problem)) {
        complain("export", problem);
        return 2;
    }
    const PartsMidiFile midi = partsMidiFile(mod(), playerProgram, loops, exportCapMs);
    if (midi.loops < loops)
        complain("export",
                 QStringLiteral("the file holds %1 of %2 loops: no more fit in %3 minutes")
                     .arg(midi.loops)
                     .arg(loops)
                     .arg(exportCapMs / 60000));
    return writeMidi(output, midi.bytes) ? 0 : 1;
}

int runExport(const QStringList &args) {
    Options options;
    QString problem;
    long long loops = 1;
    NoteTiming timing = NoteTiming::Due;
    if (!options.parse(args, {{"-o", "--output"}, {"--loops"}, {"--timing"}}, problem) ||
        !integerOption(options, "--loops", 1, 1'000'000, 1, loops, problem) ||
        !timingOption(options, timing, problem)) {
        complain("export", problem + QStringLiteral("; see 'tambolin export --help'"));
        return 2;
    }
    const std::optional<QString> output = options.value("-o");
    if (!output || output->isEmpty()) {
        complain("export", QStringLiteral("no output: give -o OUT.mid"));
        return 2;
    }
    if (!checkOutputPath(*output, problem)) {
        complain("export", problem);
        return 2;
    }
    if (!options.value(QStringLiteral("--timing")))
        return exportParts(options.file(), *output, loops);
    VirtualRunResult result;
    if (!runVirtual(options.file(), loopsRun(static_cast<int>(loops), exportCapMs), result,
                    problem)) {
        complain("export", problem);
        return 2;
    }
    if (result.stopped)
        complain("export", QStringLiteral("stopped at %1 minutes of playing, after %2 of %3 "
                                          "loops; the file ends there")
                               .arg(exportCapMs / 60000)
                               .arg(result.melodyEnds)
                               .arg(loops));

    return writeMidi(*output, standardMidiFile(placed(result.messages, timing), result.endMs)) ? 0
                                                                                               : 1;
}

const RegisterCommand registration({
    "export",
    "write the MIDI messages of a melody as a Standard MIDI File",
    "Usage: tambolin export FILE -o OUT.mid [--loops N] [--timing due|tick]\n"
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
    "  --timing  due: each message at its due time, when the melody means it, to\n"
    "            the millisecond; tick: at the tick that sent it, as\n"
    "            'tambolin trace' prints it\n"
    "A FILE that holds no melody, or bad options: exit status 2; OUT.mid cannot be\n"
    "written: exit status 1.\n",
    runExport,
    alwaysWidgets,
    true,
});

} // namespace

} // namespace tambolin::cli
