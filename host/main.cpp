// TBO: the player's window. It takes no arguments and ignores any it is given.

#include "host/bus_publication.h"
#include "host/close_on_stop_signals.h"
#include "host/control_loader.h"
#include "host/frm_tbo.h"
#include "host/version_info.h"
#include "platform/runtime/ui_language.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

int main(int, char **argv) {
    // Only the program name reaches Qt, so no argument changes what TBO does.
    int qtArgc = 1;
    char *qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);
    tambolin::applyVersionInfo(app, tambolin::tboVersionInfo());
    // Before any window: the control's texts and the toolkit's dialogs in
    // one language.
    const auto language = tambolin::installUiLanguage();
    for (const QString &missing : language->missing())
        std::fprintf(stderr, "TBO: translation %s not found\n", qPrintable(missing));
    // A logout or a kill ends TBO as closing its window does: the control
    // stops its notes and stores its MIDI settings on the way out.
    const tambolin::StopSignals *stopSignals = tambolin::closeWindowsOnStopSignals();

    tambolin::ControlLoader loader(
        tambolin::ControlLoader::librariesBeside(QCoreApplication::applicationDirPath()));
    tambolin::FRM_TBO form(loader);
    if (!form.playctrl1()) {
        const QString message = form.loadError();
        std::fprintf(stderr, "TBO: %s\n", qPrintable(message));
        // Without a screen nobody could answer the box; the line above says it.
        if (QGuiApplication::platformName() != QLatin1String("offscreen"))
            QMessageBox::critical(nullptr, tambolin::tboVersionInfo().productName, message);
        return 1;
    }
    // Stopped while starting (a message box was up): end at once, through
    // the form's end as after a closed window.
    if (stopSignals->caught() != 0)
        return 0;
    // Programs that drive a player find this one's control on the bus.
    QString busError;
    if (!tambolin::publishControl(loader.loadedLibrary(), form.playctrl1(), busError))
        std::fprintf(stderr, "TBO: %s\n", qPrintable(busError));
    form.show();
    return app.exec();
}
