// tambolin info FILE: a melody file described for people.

#include "cli/command.h"
#include "cli/command_line.h"
#include "cli/console.h"
#include "cli/melody_input.h"
#include "cli/melody_io.h"
#include "cli/part_header.h"
#include "cli/terminal_text.h"
#include "melody/mod_tambolin.h"
#include "melody/player_store.h"

namespace tambolin::cli {

namespace {

int runInfo(const QStringList &args) {
    Options options;
    QString problem;
    if (!options.read(args, {}, problem))
        return refuseArguments("info", options, problem);
    if (options.files().size() != 1)
        return refuseArguments("info", options, QStringLiteral("expected one FILE"));
    MelodyInput input;
    if (!input.open(options.file(), problem)) {
        complain("info", problem);
        return 2;
    }
    mod().initialiseStore();
    if (!loadMelodyFile(input.path(), problem)) {
        complain("info", input.named(problem));
        return 2;
    }
    if (!hasPartHeader(input.path()))
        warnNoPartHeader("info", input.name());
    const MOD_TAMBOLIN &store = mod();
    // One pass over the texts: a '%' in a title or a path stays as it is.
    QString text = QStringLiteral("File:    %1\nTitle:   %2\nTempo:   %3\n")
                       .arg(terminalText(input.name()), terminalText(store.mtitle),
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
    "FILE '-' reads standard input.\n"
    "A file that holds no melody: a message on standard error and exit status 2.\n"
    "A file without a part header is described all the same, with a warning on\n"
    "standard error that it is probably not a melody file.\n",
    runInfo,
});

} // namespace

} // namespace tambolin::cli
