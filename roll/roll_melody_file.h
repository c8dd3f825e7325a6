#pragma once
// A melody file read into the store and laid out as a roll, for a program
// that has the melody model but not the tool's file checks (the thumbnailer).
// It refuses what the tool refuses, with the same messages.

#include "roll/roll_model.h"

#include <QString>

namespace tambolin::roll {

// False, with a message, when the file holds no melody: missing, not a
// regular file, unreadable, shorter or larger than a melody file can be, or
// without a note that sounds.
bool rollFromMelodyFile(const QString &path, RollModel &out, QString &problem);

} // namespace tambolin::roll
