// tambolin info FILE: a melody file described for people.

#include "cli/command.h"
#include "cli/console.h"
#include "cli/melody_io.h"
#include "cli/terminal_text.h"
#include "melody/mod_tambolin.h"
#include "melody/player_store.h"

namespace tambolin::cli {

namespace {

int runInfo(const QStringList &args) {
    if (args.size() != 1) {
        complain("info", QStringLiteral("expected one FILE; see 'tambolin info --help'"));
        return 2;
    }
    mod().initialiseStore();
    QString problem;
    if (!loadMelodyFile(args.first(), problem)) {
        complain("info", problem);
        return 2;
    }
    const MOD_TAMBOLIN &store = mod();
    // One pass over the texts: a '%' in a title or a path stays as it is.
    QString text = QStringLiteral("File:    %1\nTitle:   %2\nTempo:   %3\n")
                       .arg(terminalText(args.first()), terminalText(store.mtitle),
                            QString::number(store.tempo));
    for (int part = 1; part <= 3; ++part)
        text += QStringLiteral("Part %1:  %2 notes\n").arg(part).arg(store.onpcnt(part));
    const long long length = melodyLengthMs(store);
    text += QStringLiteral("Length:  %1 s\n").arg(static_cast<double>(length) / 1000.0, 0, 'f', 1);
    printOut(text);
    return 0;
}

const RegisterCommand registration({
    "info",
    "show the title, tempo, notes per part and length of a .tbn file",
    "Usage: tambolin info FILE\n"
    "Shows the title, the tempo code (0..3), the number of notes in each part and\n"
    "the length of one pass of the melody in seconds, as the player times it.\n"
    "A file that holds no melody: a message on standard error and exit status 2.\n",
    runInfo,
});

} // namespace

} // namespace tambolin::cli
