// tambolin-thumbnail FILE OUT.png -s SIZE: the picture of `tambolin
// thumbnail`, for file managers, which start a process for every file they
// show. It carries the melody model and the drawing only, not the control
// library with its MIDI, audio and D-Bus libraries, and it starts a GUI
// platform (for fonts) only when the picture has a title.

#include "cli/console.h"
#include "cli/terminal_text.h"
#include "roll/roll_melody_file.h"
#include "roll/roll_painter.h"
#include "roll/roll_thumbnail.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <memory>

using namespace tambolin;

namespace {

constexpr char Usage[] =
    "Usage: tambolin-thumbnail FILE OUT.png -s SIZE\n"
    "Writes the square piano roll of 'tambolin thumbnail FILE OUT.png -s SIZE'\n"
    "(16..2048 pixels), the same picture, for the desktop's thumbnailer entry.\n"
    "Exit status: 0 written, 1 OUT.png cannot be written, 2 bad arguments or a\n"
    "FILE that holds no melody (nothing written).\n";

void complain(const QString &problem) {
    cli::printErr(QStringLiteral("tambolin-thumbnail: ") + cli::terminalText(problem) +
                  QLatin1Char('\n'));
}

// Qt's own notes (a missing XDG_RUNTIME_DIR, say) mean nothing to a file
// manager reading a picture; this program's own problems go to complain().
void quietQt(QtMsgType type, const QMessageLogContext &, const QString &message) {
    if (type == QtFatalMsg || type == QtCriticalMsg)
        cli::printErr(QStringLiteral("tambolin-thumbnail: ") + cli::terminalText(message) +
                      QLatin1Char('\n'));
}

} // namespace

int main(int argc, char **argv) {
    // The arguments are read here, before any application exists: the kind
    // of application depends on the size, and Qt never sees them as options.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args += QString::fromLocal8Bit(argv[i]);
    if (args.size() == 1 && (args[0] == u"--help" || args[0] == u"-h")) {
        cli::printOut(QString::fromLatin1(Usage));
        return 0;
    }
    roll::ThumbnailRequest request;
    QString problem;
    if (!roll::parseThumbnailArgs(args, request, problem)) {
        complain(problem + QStringLiteral("; see 'tambolin-thumbnail --help'"));
        return roll::ThumbnailRefused;
    }

    qInstallMessageHandler(quietQt);
    int appArgc = 1;
    std::unique_ptr<QCoreApplication> app;
    if (roll::RollLook::thumbnail(request.size).title) {
        // Fonts come from the platform: an offscreen one, which needs no
        // display, unless the user chose another. A desktop's theme plugin
        // (which may load a whole toolkit) would give such a picture nothing
        // but font settings that make it differ from desktop to desktop.
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
            qunsetenv("QT_QPA_PLATFORMTHEME");
        }
        app = std::make_unique<QGuiApplication>(appArgc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(appArgc, argv);
    }
    // PNG is built in; without this, writing one first loads every image
    // format plugin (and the libraries they need) to ask whether it writes PNG.
    QCoreApplication::setLibraryPaths({});

    const roll::ThumbnailStatus status =
        roll::makeThumbnail(request, roll::rollFromMelodyFile, problem);
    if (status != roll::ThumbnailMade)
        complain(problem);
    return status;
}
