#pragma once
// Reading a melody file into the store: notes appended to the three parts,
// the tempo code and the title. Callers empty the parts first.

#include <QString>

namespace tambolin {

// Reads fname (a file shorter than 14 bytes, or one that cannot be read, is
// ignored and nothing changes). No error escapes.
void FileLoad(QString &fname);

} // namespace tambolin
