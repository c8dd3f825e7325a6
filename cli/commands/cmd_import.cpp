// tambolin import SONG.mid -o OUT.tbn: a melody made from a Standard MIDI File.

#include "cli/command.h"
#include "cli/command_line.h"
#include "cli/console.h"
#include "cli/melody_input.h"
#include "cli/options.h"
#include "cli/output_path.h"
#include "cli/output_target.h"
#include "melody/melody_writer.h"
#include "melody/midi_import.h"
#include "melody/mod_tambolin.h"
#include "platform/files/filesystem.h"
#include "platform/runtime/bounded_read.h"
#include "platform/runtime/message_box.h"

#include <QFile>
#include <QFileInfo>
#include <optional>
#include <unistd.h>

namespace tambolin::cli {

namespace {

// MIDI songs are tens of KiB; this keeps the work and memory of a device or
// a stray file bounded (a few hundred bytes of memory a byte at worst).
constexpr qsizetype kLargestSong = 4 << 20;

struct ImportArguments {
    QString song;
    QString output;
    MidiImportOptions options;
    bool strict = false;
};

bool partList(const QString &text, std::vector<int> &out, QString &problem) {
    const QStringList items = text.split(u',');
    if (items.size() > 3) {
        problem = QStringLiteral("--parts takes at most three numbers");
        return false;
    }
    for (const QString &item : items) {
        bool ok = false;
        const int n = item.trimmed().toInt(&ok);
        if (!ok || n < 1 || n > 65535) {
            problem = QStringLiteral("--parts takes track or channel numbers from 1, such as 2,3 "
                                     "or 2,2; not '") +
                      text + u'\'';
            return false;
        }
        out.push_back(n);
    }
    return true;
}

// All of the command's argument handling; the exit status when the
// command cannot go on (the usage asked for counts), otherwise none.
std::optional<int> parseArguments(const QStringList &args, ImportArguments &out) {
    Options options;
    QString problem;
    if (!options.read(args,
                      {{{"-o", "--output"}},
                       {{"--parts"}},
                       {{"--tempo"}},
                       {{"--title"}},
                       {{"--strict"}, false}},
                      problem))
        return refuseArguments("import", options, problem);
    long long tempo = -1;
    if (const std::optional<QString> parts = options.value("--parts");
        parts && !partList(*parts, out.options.parts, problem))
        return refuseArguments("import", options, problem);
    if (const std::optional<QString> text = options.value("--tempo");
        text && !integerOption(options, "--tempo", 0, 3, -1, tempo, problem))
        return refuseArguments("import", options,
                               QStringLiteral("--tempo takes a tempo code from 0 to 3, not '") +
                                   *text + u'\'');
    if (tempo >= 0)
        out.options.tempo = static_cast<Integer>(tempo);
    if (const std::optional<QString> title = options.value("--title"))
        out.options.title = *title;
    out.strict = options.flag("--strict");
    if (options.files().isEmpty())
        return refuseArguments("import", options, QStringLiteral("no SONG.mid given"));
    if (options.files().size() > 1)
        return refuseArguments("import", options, QStringLiteral("more than one SONG given"));
    out.song = options.file();
    out.output = options.value("-o").value_or(QString());
    if (out.output.isEmpty())
        return refuseArguments("import", options, QStringLiteral("no output: give -o OUT.tbn"));
    return std::nullopt;
}

bool tooLarge(const QString &song, QString &problem) {
    problem = song + QStringLiteral(": more than ") + QString::number(kLargestSong) +
              QStringLiteral(" bytes is too large for a MIDI song");
    return false;
}

bool readSong(const QString &song, QByteArray &bytes, QString &problem) {
    if (song == u"-")
        return readBounded(STDIN_FILENO, kLargestSong, bytes, problem) &&
               (bytes.size() <= kLargestSong || tooLarge(song, problem));
    QFile file;
    {
        if (QFileInfo(song).isDir()) {
            problem = song + QStringLiteral(": is a folder");
            return false;
        }
        file.setFileName(song);
        if (!file.open(QIODevice::ReadOnly)) {
            problem = song + QStringLiteral(": cannot read: ") + file.errorString();
            return false;
        }
    }
    bytes = readAtMost(file, kLargestSong);
    return bytes.size() <= kLargestSong || tooLarge(song, problem);
}

// Writes the melody beside output and puts it in place once complete. The
// player ignores a melody file shorter than 14 bytes, so a tiny melody's title
// is padded with spaces until its file is that long; padded counts them.
bool writeMelody(const QString &output, ImportedMelody melody, qsizetype &padded) {
    constexpr qint64 shortestMelodyFile = 14;
    padded = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const QString partial = createFileBeside(output);
        if (partial.isEmpty())
            return false;
        MOD_TAMBOLIN &store = mod();
        store.initialiseStore();
        putInStore(melody, store);
        const bool written = saveMelody(partial);
        const qint64 size = QFileInfo(partial).size();
        if (written && size < shortestMelodyFile && attempt < 2) {
            QFile::remove(partial);
            const qsizetype more = static_cast<qsizetype>(shortestMelodyFile - size);
            melody.title += QString(more, u' ');
            padded += more;
            continue;
        }
        if (written && replaceFile(partial, output))
            return true;
        QFile::remove(partial);
        return false;
    }
    return false;
}

int runImport(const QStringList &args) {
    ImportArguments arguments;
    if (const std::optional<int> status = parseArguments(args, arguments))
        return *status;
    QString problem;
    OutputTarget target;
    if (!target.open(arguments.output, QStringLiteral("out.tbn"), problem) ||
        !checkOutputPath(target.path(), problem)) {
        complain("import", problem);
        return 2;
    }
    QByteArray bytes;
    if (!readSong(arguments.song, bytes, problem)) {
        complain("import", problem);
        return 2;
    }
    if (arguments.song != u"-")
        arguments.options.fallbackTitle = QFileInfo(arguments.song).completeBaseName();

    ImportReport report;
    const std::optional<ImportedMelody> melody =
        importMidi(bytes, arguments.options, report, problem);
    if (!melody) {
        complain("import", arguments.song + QStringLiteral(": ") + problem);
        return 2;
    }
    for (const QString &line : importReportLines(report))
        complain("import", line);
    if (arguments.strict && report.lossy()) {
        complain("import", QStringLiteral("--strict: the melody would not hold the song as it is "
                                          "(see above); nothing written"));
        return 2;
    }

    // The writer's own message about triplets (an import never makes one).
    const MessageBoxHook previous = setMessageBoxHook([](const MessageBoxCall &call) {
        printErr(call.prompt + u'\n');
        return vbOK;
    });
    qsizetype padded = 0;
    const bool written = writeMelody(target.path(), *melody, padded);
    setMessageBoxHook(previous);
    if (!written) {
        complain("import", arguments.output + QStringLiteral(": cannot write the melody file"));
        return 1;
    }
    if (!target.deliver(problem)) {
        complain("import", problem);
        return 1;
    }
    if (padded > 0)
        complain("import", QStringLiteral("title padded with ") + QString::number(padded) +
                               QStringLiteral(" spaces: the player ignores a melody file of less "
                                              "than 14 bytes"));
    return 0;
}

const RegisterCommand registration({
    "import",
    "make a .tbn melody from a Standard MIDI File",
    "Usage: tambolin import SONG.mid -o OUT.tbn [--parts LIST] [--tempo 0..3]\n"
    "                      [--title TEXT] [--strict]\n"
    "Makes a melody of up to three parts from a Standard MIDI File of type 0 or 1\n"
    "(SONG '-' reads standard input) and writes it to OUT.tbn, replacing it whole\n"
    "only once the new file is complete (OUT.tbn '-' writes standard output).\n"
    "The parts come from the three busiest tracks (type 1) or channels (type 0),\n"
    "in file order; notes on channel 10 (drums) are left out. Chords are split\n"
    "into voices, highest first; with fewer than three sources, the busiest give\n"
    "their next voices too. The song's quarter note becomes the melody's, so its\n"
    "tempo changes change note lengths; notes and silences are fitted to the\n"
    "melody's lengths (rests, dotted notes, triplets), pitches are moved by whole\n"
    "octaves into MIDI keys 48 to 83, and a part keeps at most 200 notes.\n"
    "What changed is reported on standard error.\n"
    "  -o, --output  the melody file to write ('-': standard output)\n"
    "  --parts LIST  the sources of parts 1, 2 and 3: track numbers (type 1, the\n"
    "                first track is 1) or channel numbers (type 0; 10 takes the\n"
    "                drums); a number given again takes that source's next voice\n"
    "  --tempo N     the tempo code (0: quarter 396 ms, 1: 475 ms, 2: 554 ms,\n"
    "                3: 634 ms); default: the one nearest the song's quarter note\n"
    "  --title TEXT  the title; default: the song's first track name, else SONG's\n"
    "                file name; cut to what a melody file holds (25 bytes)\n"
    "  --strict      refuse (exit status 2, nothing written) when any note would\n"
    "                move by more than 5 ms, change octave or be dropped, or the\n"
    "                title would be cut\n"
    "Exit status: 0 written, 1 the file could not be written, 2 bad usage, a SONG\n"
    "that is no Standard MIDI File or holds no notes (nothing written).\n",
    runImport,
});

} // namespace

} // namespace tambolin::cli
