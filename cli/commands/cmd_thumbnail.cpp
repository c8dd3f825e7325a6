// tambolin thumbnail FILE OUT.png -s SIZE: a square picture of a melody for
// file managers.

#include "cli/command.h"
#include "cli/command_line.h"
#include "cli/console.h"
#include "cli/melody_roll.h"
#include "roll/roll_thumbnail.h"

#include <optional>

namespace tambolin::cli {

namespace {

// FILE and OUT in this order, and -s SIZE (also --size, --size=N) anywhere.
bool parseArgs(Options &options, const QStringList &args, roll::ThumbnailRequest &out,
               QString &problem) {
    if (!options.read(args, {{{"-s", "--size"}}}, problem))
        return false;
    if (options.files().size() != 2) {
        problem = QStringLiteral("give FILE and OUT.png");
        return false;
    }
    const std::optional<QString> sizeText = options.value("-s");
    if (!sizeText) {
        problem = QStringLiteral("no size: give -s SIZE");
        return false;
    }
    bool ok = false;
    const int size = sizeText->toInt(&ok);
    if (!ok || size < roll::SmallestThumbnail || size > roll::LargestThumbnail) {
        problem = QStringLiteral("-s takes a whole number from %1 to %2, not '%3'")
                      .arg(QString::number(roll::SmallestThumbnail),
                           QString::number(roll::LargestThumbnail), *sizeText);
        return false;
    }
    out = {options.files()[0], options.files()[1], size};
    return true;
}

int runThumbnail(const QStringList &args) {
    Options options;
    roll::ThumbnailRequest request;
    QString problem;
    if (!parseArgs(options, args, request, problem))
        return refuseArguments("thumbnail", options, problem);
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
    "  -s, --size  the side of the square in pixels\n"
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
