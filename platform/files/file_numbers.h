#pragma once
// File numbers: the player opens its melody files by number, reads or writes
// them one raw byte at a time and closes them in the same call. A number that
// names no open file makes reads and writes do nothing.

#include "platform/runtime/basic_runtime.h"

#include <QString>

namespace tambolin {

enum class FileAccess { Read, Write };

// Highest file number handed out.
inline constexpr Integer MaxFileNumber = 511;

// The lowest number not naming an open file; fails the statement when all are taken.
Integer FreeFile();

// Opens path as raw bytes under fileNumber. Write creates the file or empties
// an existing one. Fails the statement when the number is out of range or
// already open, or the file cannot be opened.
void Open(const QString &path, FileAccess access, Integer fileNumber);

bool IsOpen(Integer fileNumber);

// True at the end of the file, and for a number that names no file open for reading.
bool Eof(Integer fileNumber);

// Reads the next byte into value; false (value unchanged) at the end or when
// the number names no file open for reading.
bool GetByte(Integer fileNumber, Byte &value);

// Writes one byte; nothing happens when the number names no file open for
// writing. A failed write fails the statement, and Close reports it again.
void PutByte(Integer fileNumber, Byte value);

// Closes the file and frees its number. Fails the statement when any write to
// it failed or the last bytes could not be flushed; the number is freed all the same.
void Close(Integer fileNumber);

} // namespace tambolin
