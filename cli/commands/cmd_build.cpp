// tambolin build STORE.json -o OUT.tbn: a melody file from its JSON form.

#include "cli/build_checks.h"
#include "cli/command.h"
#include "cli/command_line.h"
#include "cli/console.h"
#include "cli/melody_io.h"
#include "cli/output_path.h"
#include "cli/output_target.h"
#include "melody/melody_writer.h"
#include "melody/mod_tambolin.h"
#include "platform/runtime/message_box.h"

#include <QFile>

namespace tambolin::cli {

namespace {

int usageError(const QString &message) {
    complain("build", message + QStringLiteral("; see 'tambolin build --help'"));
    return 2;
}

int runBuild(const QStringList &args) {
    Options options;
    QString problem;
    if (!options.read(args, {{{"-o", "--output"}}, {{"--as-is"}, false}}, problem))
        return refuseArguments("build", options, problem);
    if (options.files().size() > 1)
        return usageError(QStringLiteral("more than one STORE given"));
    if (options.files().isEmpty())
        return usageError(QStringLiteral("no STORE.json given"));
    const QString input = options.file();
    const QString output = options.value("-o").value_or(QString());
    const bool asIs = options.flag("--as-is");
    if (output.isEmpty())
        return usageError(QStringLiteral("no output file given (-o OUT.tbn)"));
    OutputTarget target;
    if (!target.open(output, QStringLiteral("out.tbn"), problem) ||
        !checkOutputPath(target.path(), problem)) {
        complain("build", problem);
        return 2;
    }

    QFile file;
    const bool opened = input == u"-" ? file.open(stdin, QIODevice::ReadOnly)
                                      : (file.setFileName(input), file.open(QIODevice::ReadOnly));
    if (!opened) {
        complain("build", QStringLiteral("%1: cannot read: %2").arg(input, file.errorString()));
        return 2;
    }
    // Bounded, whatever the input is (a device or a pipe never ends).
    const QByteArray json = file.read(LargestJson + 1);
    if (json.size() > LargestJson) {
        complain("build", input + QStringLiteral(": more than ") + QString::number(LargestJson) +
                              QStringLiteral(" bytes is too large for a melody store"));
        return 2;
    }

    MOD_TAMBOLIN &store = mod();
    store.initialiseStore();
    if (!fillFromJson(json, store, problem) || !checkUniqueKeys(json, problem)) {
        complain("build", QStringLiteral("%1: %2").arg(input, problem));
        return 2;
    }
    if (!asIs && !checkWritable(store, problem)) {
        complain("build",
                 QStringLiteral("%1: %2 (--as-is writes it all the same)").arg(input, problem));
        return 2;
    }

    // The writer's message about an incomplete triplet group goes to standard
    // error as it is; the file is written all the same.
    const MessageBoxHook previous = setMessageBoxHook([](const MessageBoxCall &call) {
        printErr(call.prompt + u'\n');
        return vbOK;
    });
    const bool written = saveMelody(target.path());
    setMessageBoxHook(previous);
    if (!written) {
        complain("build", output + QStringLiteral(": cannot write the melody file"));
        return 1;
    }
    if (!target.deliver(problem)) {
        complain("build", problem);
        return 1;
    }
    return 0;
}

const RegisterCommand registration({
    "build",
    "write a .tbn file from the JSON form of a melody",
    "Usage: tambolin build STORE.json -o OUT.tbn [--as-is]\n"
    "Reads a melody in the JSON form that 'tambolin dump' prints (STORE '-' reads\n"
    "standard input) and writes it as the melody file OUT.tbn, replacing it whole\n"
    "only once the new file is complete (OUT.tbn '-' writes standard output).\n"
    "  {\"title\": \"AB\", \"tempo\": 1, \"parts\": [[[2, 5], [2, 20]], [], []]}\n"
    "title (default \"\"), tempo (default 1) and up to three parts of at most 200\n"
    "[length code, pitch] pairs; every number an integer from -32768 to 32767.\n"
    "The title is cut to what fits in 25 bytes, as the player saves it.\n"
    "An incomplete triplet group is reported on standard error with the player's\n"
    "own message text; the file is written and the exit status is 0.\n"
    "Refused (exit status 2, nothing written): a tempo outside 0..3, a length code\n"
    "the file format has no bytes for (notes 0-4, 11-13, 21-24; rests 30-34,\n"
    "41-43), a note pitch outside 0..35 (0..42 in a triplet), a title holding the\n"
    "escape sequence ESC \"$D\" that starts a part, a key given twice in an\n"
    "object, more than 1 MiB of input, and an output that exists and is not a\n"
    "regular file (a symbolic link, folder, device or FIFO).\n"
    "  -o, --output  the melody file to write\n"
    "  --as-is  hand the store to the writer unchanged, whatever it holds (every\n"
    "           number still within -32768..32767; keys still given once); the\n"
    "           file is what the player itself would save.\n"
    "Exit status: 0 written, 1 the file could not be written, 2 bad usage or\n"
    "bad input (nothing written).\n",
    runBuild,
});

} // namespace

} // namespace tambolin::cli
