#pragma once
// Writing a whole buffer to a file descriptor (a file, a pipe, an in-memory
// file): write() may take only part of it, or be interrupted by a signal.

#include <QByteArray>

namespace tambolin {

// All of bytes, in as many writes as it takes; false on the first failure.
// Unbuffered, so a write the disk refuses (full, or past a size limit)
// shows right here.
bool writeAll(int fd, const QByteArray &bytes);

} // namespace tambolin
