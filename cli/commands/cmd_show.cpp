// tambolin show FILE -o OUT.png|OUT.svg: a piano roll of the melody as the
// player plays it.

#include "cli/command.h"
#include "cli/command_line.h"
#include "cli/console.h"
#include "cli/melody_roll.h"
#include "cli/options.h"
#include "platform/registry/registry_files.h"
#include "roll/roll_files.h"
#include "roll/roll_painter.h"

#include <QFileInfo>

namespace tambolin::cli {

namespace {

constexpr long long DefaultWidth = 1000;
constexpr long long DefaultHeight = 400;

int runShow(const QStringList &args) {
    Options options;
    QString problem;
    long long width = 0;
    long long height = 0;
    if (!options.parse(args, {{"-o", "--output"}, {"--width"}, {"--height"}}, problem) ||
        !integerOption(options, "--width", 160, 4096, DefaultWidth, width, problem) ||
        !integerOption(options, "--height", 120, 4096, DefaultHeight, height, problem))
        return refuseArguments("show", options, problem);
    const std::optional<QString> output = options.value("-o");
    if (!output || output->isEmpty()) {
        complain("show", QStringLiteral("no output: give -o OUT.png or -o OUT.svg"));
        return 2;
    }
    const QString kind = QFileInfo(*output).suffix().toLower();
    if (kind != u"png" && kind != u"svg") {
        complain("show", QStringLiteral("%1: the output must end in .png or .svg").arg(*output));
        return 2;
    }
    roll::RollModel model;
    if (!loadRoll(options.file(), model, problem)) {
        complain("show", problem);
        return 2;
    }
    const QSize size(static_cast<int>(width), static_cast<int>(height));
    const roll::RollPainter painter(std::move(model), roll::RollLook::picture(size));
    const QByteArray bytes =
        kind == u"png" ? roll::rollPng(painter, size) : roll::rollSvg(painter, size);
    if (bytes.isEmpty() || !writeFileAtomically(*output, bytes)) {
        complain("show", QStringLiteral("%1: cannot write").arg(*output));
        return 1;
    }
    return 0;
}

const RegisterCommand registration({
    "show",
    "draw a piano roll of a melody as a PNG or SVG picture",
    "Usage: tambolin show FILE -o OUT.png|OUT.svg [--width N] [--height N]\n"
    "Draws the melody as the player plays it: time left to right (a light line\n"
    "every so many seconds, labelled below), pitch bottom to top over the\n"
    "melody's range (at least an octave; every C named on the left), one bar per\n"
    "note from its start to its end as the player times it, each part in its own\n"
    "colour with a legend, the title above. Rests draw nothing; tied notes draw\n"
    "one bar. The whole melody is scaled to the width.\n"
    "The picture is N pixels wide (160..4096, default 1000) and N high (120..4096,\n"
    "default 400); the same FILE and options give the same picture. OUT.png or\n"
    "OUT.svg is written beside its old version and replaces it only when complete.\n"
    "  -o, --output  the picture to write\n"
    "A FILE that holds no melody (as for 'dump', larger than 1 MiB, or without a\n"
    "note that sounds) or bad options: exit status 2 and nothing written; OUT\n"
    "cannot be written: exit status 1.\n",
    runShow,
    alwaysWidgets,
    true,
});

} // namespace

} // namespace tambolin::cli
