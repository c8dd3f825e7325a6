#include "host/tamberlo/own_library.h"

#include "control/automation/class_entry.h"
#include "control/automation/class_registration.h"
#include "host/class_lookup.h"

#include <QFileInfo>

namespace tambolin::tamberlo {

QString ownControlLibrary() {
    return thisLibraryPath();
}

bool registerOwnLibrary() {
    const QString own = ownControlLibrary();
    if (own.isEmpty())
        return false;
    RegisteredClass found;
    QString error;
    if (findRegisteredClass(QString::fromLatin1(kPlayctrlProgId), found, error)) {
        const QFileInfo registered(found.library);
        if (registered.exists() &&
            registered.canonicalFilePath() == QFileInfo(own).canonicalFilePath())
            return true;
    }
    return registerControlClasses(own) == S_OK;
}

} // namespace tambolin::tamberlo
