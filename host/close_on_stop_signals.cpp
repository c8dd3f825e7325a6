#include "host/close_on_stop_signals.h"

#include <QApplication>
#include <QWidget>

namespace tambolin {

StopSignals *closeWindowsOnStopSignals() {
    auto *handler = new StopSignals;
    handler->setParent(QCoreApplication::instance());
    QObject::connect(handler, &StopSignals::received, handler, [] {
        // Modal dialogs first, so that the code waiting on them goes on
        // (as after a cancel) and the main window's close can finish.
        for (int guard = 0; guard < 16; ++guard) {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal || !modal->close())
                break;
        }
        QApplication::closeAllWindows();
        // Also ends loops that wait for something other than a window.
        QCoreApplication::exit(0);
    });
    return handler;
}

} // namespace tambolin
