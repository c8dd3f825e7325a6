#pragma once
// Whether a file is one the player would load as a melody, with a message
// for the user when it is not. Every program that reads melody files from
// the command line checks them here, so they refuse the same files alike.

#include <QString>

namespace tambolin {

// The player ignores a file shorter than this.
inline constexpr qint64 ShortestMelodyFile = 14;
// The largest file read as a melody (a melody is a few KiB).
inline constexpr qint64 LargestMelodyFile = 1 << 20;

// False, with a message naming path, when the file is missing, not a regular
// file, unreadable, or shorter or larger than a melody file can be.
bool checkMelodyFile(const QString &path, QString &problem);

} // namespace tambolin
