#include "melody/melody_file_check.h"

#include <QFile>
#include <QFileInfo>

namespace tambolin {

bool checkMelodyFile(const QString &path, QString &problem) {
    const QFileInfo info(path);
    if (!info.isFile()) {
        problem = QStringLiteral("%1: no such file, or not a regular file").arg(path);
        return false;
    }
    const qint64 size = info.size();
    if (size > LargestMelodyFile) {
        problem = QStringLiteral("%1: %2 bytes is too large for a melody (at most %3)")
                      .arg(path, QString::number(size), QString::number(LargestMelodyFile));
        return false;
    }
    if (size < ShortestMelodyFile) {
        problem = QStringLiteral("%1: %2 bytes is too short for a melody (at least %3)")
                      .arg(path, QString::number(size), QString::number(ShortestMelodyFile));
        return false;
    }
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly)) {
        problem = QStringLiteral("%1: cannot read: %2").arg(path, probe.errorString());
        return false;
    }
    return true;
}

} // namespace tambolin
