#include "roll/roll_melody_file.h"

#include "melody/melody_file_check.h"
#include "melody/mod_tambolin.h"
#include "melody/player_store.h"

namespace tambolin::roll {

bool rollFromMelodyFile(const QString &path, RollModel &out, QString &problem) {
    if (!checkMelodyFile(path, problem))
        return false;
    mod().initialiseStore();
    loadIntoStore(path);
    out = rollFromStore(mod());
    if (!out.sounds()) {
        problem = QStringLiteral("%1: holds no melody (no note sounds)").arg(path);
        return false;
    }
    return true;
}

} // namespace tambolin::roll
