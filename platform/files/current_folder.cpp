#include "platform/files/current_folder.h"

#include "platform/runtime/basic_runtime.h"

#include <QDir>

namespace tambolin {

QString CurDir() {
    return QDir::currentPath();
}

void ChDir(const QString &path) {
    if (path.isEmpty() || !QDir::setCurrent(path))
        failStep();
}

} // namespace tambolin
