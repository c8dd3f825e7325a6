// tambolin thumbnail FILE OUT.png -s SIZE: a square picture of a melody for
// file managers.

#include "cli/command.h"
#include "cli/console.h"
#include "cli/melody_roll.h"
#include "roll/roll_thumbnail.h"

namespace tambolin::cli {

namespace {

int runThumbnail(const QStringList &args) {
    roll::ThumbnailRequest request;
    QString problem;
    if (!roll::parseThumbnailArgs(args, request, problem)) {
        complain("thumbnail", problem + QStringLiteral("; see 'tambolin thumbnail --help'"));
        return roll::ThumbnailRefused;
    }
    const roll::ThumbnailStatus status = roll::makeThumbnail(request, loadRoll, problem);
    if (status != roll::ThumbnailMade)
        complain("thumbnail", problem);
    return status;
}

const RegisterCommand registration({
    "thumbnail",
    "write a square PNG picture of a melody for file managers",
    "Usage: tambolin thumbnail FILE OUT.png -s SIZE\n"
    "Draws the piano roll of 'tambolin show' in a square of SIZE pixels (16..2048)\n"
    "with the roll filling it: no legend or labels, and the title above the roll\n"
    "only from 128 pixels up. OUT.png is written beside its old version and\n"
    "replaces it only when complete, so a reader never sees half a picture.\n"
    "The desktop's thumbnailer entry runs the same as 'tambolin-thumbnail', a\n"
    "program that starts faster because it carries nothing but the drawing.\n"
    "A FILE that holds no melody (as for 'show') or bad arguments: exit status 2\n"
    "and nothing written; OUT.png cannot be written: exit status 1.\n",
    runThumbnail,
    alwaysWidgets,
    true,
});

} // namespace

} // namespace tambolin::cli
