#pragma once
// Where the tool may write an output file.

#include <QString>

namespace tambolin::cli {

// True when path names no file yet or a regular file (which the output then
// replaces whole, in one step). False, with a message, for anything else:
// a folder, a device, a FIFO, a socket, or a symbolic link of any kind, so
// that a link planted where the output goes never redirects the write.
bool checkOutputPath(const QString &path, QString &problem);

} // namespace tambolin::cli
