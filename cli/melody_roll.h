#pragma once
// A melody file read into the store and laid out as a roll, for `show` and
// `thumbnail`.

#include "roll/roll_model.h"

#include <QString>

namespace tambolin::cli {

// False, with a message, when the file holds no melody: what `dump` refuses
// (a missing, short or over-large file), or one in which no note sounds.
bool loadRoll(const QString &path, roll::RollModel &out, QString &problem);

} // namespace tambolin::cli
