#include "cli/part_header.h"

#include "cli/console.h"
#include "cli/melody_io.h"
#include "platform/runtime/bounded_read.h"

#include <QFile>

namespace tambolin::cli {

bool hasPartHeader(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // Only as much as the loader reads.
    return readAtMost(file, LargestMelodyFile).contains(QByteArrayLiteral("\x1b$D"));
}

void warnNoPartHeader(const char *command, const QString &name) {
    complain(command,
             name + QStringLiteral(": no part header found; this is probably not a melody file"));
}

} // namespace tambolin::cli
