#pragma once
// Writing the store back to a melody file. The file is written beside the
// old one and takes its place only when complete, so a failed save leaves the
// old file as it was.

#include <QString>

namespace tambolin {

// Writes the melody to fname. No error escapes; an incomplete triplet group
// is reported in a message box after the file is written.
void FileSave(QString &fname);

// FileSave, telling whether the file was written and is in place.
bool saveMelody(const QString &fname);

} // namespace tambolin
