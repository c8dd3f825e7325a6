#include "cli/melody_roll.h"

#include "cli/melody_io.h"
#include "melody/mod_tambolin.h"

#include <QFileInfo>

namespace tambolin::cli {

bool loadRoll(const QString &path, roll::RollModel &out, QString &problem) {
    if (!checkMelodyFile(path, problem))
        return false;
    const qint64 size = QFileInfo(path).size();
    if (size > LargestMelodyFile) {
        problem = QStringLiteral("%1: %2 bytes is too large for a melody (at most %3)")
                      .arg(path, QString::number(size), QString::number(LargestMelodyFile));
        return false;
    }
    mod().initialiseStore();
    if (!loadMelodyFile(path, problem))
        return false;
    out = roll::rollFromStore(mod());
    if (!out.sounds()) {
        problem = QStringLiteral("%1: holds no melody (no note sounds)").arg(path);
        return false;
    }
    return true;
}

} // namespace tambolin::cli
