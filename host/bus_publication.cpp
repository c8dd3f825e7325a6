#include "host/bus_publication.h"

#include "control/automation/class_entry.h"

#include <QLibrary>

namespace tambolin {

bool publishControl(const QString &library, QWidget *control, QString &error) {
    if (library.isEmpty() || !control) {
        error = QStringLiteral("There is no control to publish.");
        return false;
    }
    // Already loaded: this only finds the loaded library again.
    QLibrary loaded(library);
    const auto exportControl =
        reinterpret_cast<TambolinExportControl>(loaded.resolve(kExportControlSymbol));
    if (!exportControl) {
        error = QStringLiteral("The control library %1 cannot publish its controls.").arg(library);
        return false;
    }
    if (exportControl(control) != 1) {
        error = QStringLiteral("The control could not be published on the session bus.");
        return false;
    }
    return true;
}

} // namespace tambolin
