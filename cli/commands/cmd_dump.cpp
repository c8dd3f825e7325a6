// tambolin dump FILE: the melody a file holds, as JSON.

#include "cli/command.h"
#include "cli/command_line.h"
#include "cli/console.h"
#include "cli/melody_input.h"
#include "cli/melody_io.h"
#include "cli/part_header.h"
#include "melody/mod_tambolin.h"

namespace tambolin::cli {

namespace {

int runDump(const QStringList &args) {
    Options options;
    QString problem;
    if (!options.read(args, {}, problem))
        return refuseArguments("dump", options, problem);
    if (options.files().size() != 1)
        return refuseArguments("dump", options, QStringLiteral("expected one FILE"));
    MelodyInput input;
    if (!input.open(options.file(), problem)) {
        complain("dump", problem);
        return 2;
    }
    mod().initialiseStore();
    if (!loadMelodyFile(input.path(), problem)) {
        complain("dump", input.named(problem));
        return 2;
    }
    if (!hasPartHeader(input.path()))
        warnNoPartHeader("dump", input.name());
    printOut(melodyJson(mod()) + u'\n');
    return 0;
}

const RegisterCommand registration({
    "dump",
    "print the melody of a .tbn file as JSON",
    "Usage: tambolin dump FILE\n"
    "Reads the melody file FILE and prints the melody on one line of JSON:\n"
    "  {\"title\": \"AB\", \"tempo\": 0, \"parts\": [[[4, 21], [3, 21]], [], []]}\n"
    "title: the decoded title (NUL and other control characters as \\u escapes);\n"
    "tempo: the tempo code 0..3; parts: always three arrays of [length code, pitch] pairs.\n"
    "FILE '-' reads standard input.\n"
    "A file that is missing, not readable or shorter than 14 bytes holds no melody:\n"
    "a message on standard error and exit status 2. A file without a part header is\n"
    "printed all the same, with a warning on standard error that it is probably\n"
    "not a melody file.\n",
    runDump,
});

} // namespace

} // namespace tambolin::cli
