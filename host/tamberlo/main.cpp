// tamberlo: the desktop player. Opens the files and addresses it is given
// and plays the first; one window per desktop session.

#include "control/automation/dbus_export.h"
#include "host/close_on_stop_signals.h"
#include "host/control_loader.h"
#include "host/tamberlo/app_info.h"
#include "host/tamberlo/locations.h"
#include "host/tamberlo/mpris_service.h"
#include "host/tamberlo/own_library.h"
#include "host/tamberlo/player_window.h"
#include "host/tamberlo/single_instance.h"
#include "platform/runtime/message_box.h"
#include "platform/runtime/ui_language.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDBusConnection>
#include <QDir>

#include <cstdio>

using namespace tambolin;
using namespace tambolin::tamberlo;

namespace {

QStringList locationsFromArguments(const QStringList &arguments) {
    QStringList locations;
    const QString here = QDir::currentPath();
    for (const QString &argument : arguments) {
        if (auto location = locationFromArgument(argument, here))
            locations << *location;
        else
            std::fprintf(stderr,
                         "tamberlo: cannot open '%s': not a file or an http, https or "
                         "ftp address\n",
                         printable(argument).toLocal8Bit().constData());
    }
    return locations;
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    applyAppInfo();
    // Before any window: the control's texts, the menus and the toolkit's
    // dialogs in one language.
    const auto language = installUiLanguage();
    for (const QString &missing : language->missing())
        std::fprintf(stderr, "tamberlo: translation %s not found\n", qPrintable(missing));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Plays J-PHONE ring melody files."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("locations"),
                                 QStringLiteral("Melody files or http, https or ftp addresses; "
                                                "the first is played."),
                                 QStringLiteral("[FILE|URL...]"));
    parser.process(app);
    const QStringList locations = locationsFromArguments(parser.positionalArguments());

    // A logout or a kill ends the player as closing its window does: notes
    // off and the MIDI settings stored on the way out.
    closeWindowsOnStopSignals();

    QDBusConnection bus = QDBusConnection::sessionBus();
    SingleInstance instance(bus);
    if (instance.claim(locations) == SingleInstance::Role::HandedOver)
        return 0;

    // The class is created by name, from the library this program runs with.
    if (!registerOwnLibrary())
        std::fprintf(stderr, "tamberlo: the player control could not be registered\n");
    ControlLoader loader({ownControlLibrary()});
    PlayerWindow window(loader);
    if (!window.control()) {
        const QString message = window.loadError();
        std::fprintf(stderr, "tamberlo: %s\n", qPrintable(message));
        if (QGuiApplication::platformName() != QLatin1String("offscreen"))
            MsgBox(message, vbCritical, QString::fromLatin1(kIdentity));
        return 1;
    }
    QObject::connect(&instance, &SingleInstance::openRequested, &window,
                     [&window](const QStringList &handed) {
                         window.openLocations(locationsFromHandOver(handed));
                         window.raiseWindow();
                     });

    // Other programs drive the control by its own members; desktops and
    // media keys through MPRIS.
    dbus::exportControl(*window.control(), bus);
    MprisService mpris(*window.driver(), bus);
    mpris.publish();
    QObject::connect(&mpris, &MprisService::raiseRequested, &window, &PlayerWindow::raiseWindow);
    QObject::connect(&mpris, &MprisService::quitRequested, &window, &QWidget::close,
                     Qt::QueuedConnection);

    window.show();
    window.openLocations(locations);
    return app.exec();
}
