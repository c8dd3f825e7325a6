#pragma once
// Whether a file looks like a melody at all. A melody's parts each start
// with the escape sequence ESC "$D"; the reader takes every byte before the
// first one as the title, so a file without one reads as a long title and no
// notes: most likely not a melody file.

#include <QString>

namespace tambolin::cli {

// False also when the file cannot be read (the loader has said why).
bool hasPartHeader(const QString &path);

// "tambolin COMMAND: NAME: no part header found; this is probably not a
// melody file" on standard error.
void warnNoPartHeader(const char *command, const QString &name);

} // namespace tambolin::cli
