// tambolin dump FILE: the melody a file holds, as JSON.

#include "cli/command.h"
#include "cli/console.h"
#include "cli/melody_io.h"
#include "melody/mod_tambolin.h"

namespace tambolin::cli {

namespace {

int runDump(const QStringList &args) {
    if (args.size() != 1) {
        complain("dump", QStringLiteral("expected one FILE; see 'tambolin dump --help'"));
        return 2;
    }
    mod().initialiseStore();
    QString problem;
    if (!loadMelodyFile(args.first(), problem)) {
        complain("dump", problem);
        return 2;
    }
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
    "A file that is missing, not readable or shorter than 14 bytes holds no melody:\n"
    "a message on standard error and exit status 2.\n",
    runDump,
});

} // namespace

} // namespace tambolin::cli
