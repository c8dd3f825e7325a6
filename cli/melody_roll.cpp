#include "cli/melody_roll.h"

#include "cli/melody_io.h"
#include "melody/mod_tambolin.h"

namespace tambolin::cli {

bool loadRoll(const QString &path, roll::RollModel &out, QString &problem) {
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
