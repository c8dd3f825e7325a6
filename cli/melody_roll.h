#pragma once
// A melody file read into the store and laid out as a roll, for `show` and
// `thumbnail`.

#include "roll/roll_model.h"

#include <QString>

namespace tambolin::cli {

// Files larger than this are not melodies (real ones are a few hundred
// bytes); refusing them keeps a thumbnailer fed with any file quick.
constexpr long long LargestMelodyFile = 1 << 20;

// False, with a message, when the file holds no melody: what `dump` refuses,
// a file over LargestMelodyFile, or one in which no note sounds.
bool loadRoll(const QString &path, roll::RollModel &out, QString &problem);

} // namespace tambolin::cli
