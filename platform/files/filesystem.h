#pragma once
// The file system as the player uses it: the temporary folder and temporary
// files, file sizes, deleting files by a pattern, creating folders, and
// replacing a file in one step. Paths use "/" as the separator.

#include <QByteArray>
#include <QString>

namespace tambolin {

// The temporary folder with its trailing "/": $TMPDIR when it names a folder
// by an absolute path, else /tmp. When it fits in bufferLength bytes
// (terminating NUL included) it is copied into buffer (resized to
// bufferLength, NUL-padded) and its length in bytes is returned; otherwise
// buffer is left alone and the size needed is returned.
quint32 GetTempPathA(quint32 bufferLength, QByteArray &buffer);

// Creates a new empty file in folder pathName named from the first three
// characters of prefix, a hexadecimal number and ".tmp", and writes its path
// (NUL-terminated, at most 260 bytes) into tempFileName. With unique 0 the
// number is chosen so that the file is new; otherwise that number is used and
// no file is created. Returns the number, or 0 on failure.
quint32 GetTempFileNameA(const QByteArray &pathName, const QByteArray &prefix, quint32 unique,
                         QByteArray &tempFileName);

// Size in bytes of the regular file at path, or -1 (missing, not a regular file).
qint64 fileSize(const QString &path);

// Deletes the file named by path, whose last component may hold the wildcards
// "*" (any run of characters) and "?" (one character); a wildcard does not
// match a leading "." unless the pattern has it. Every matching file is
// deleted (folders matching a wildcard are passed over); true when at least
// one file matched and all of them were deleted. False when nothing matched,
// the named path is a folder, or a file was write-protected or could not be
// deleted.
bool deleteFiles(const QString &path);

// True when pattern (with "*" and "?") matches name.
bool wildcardMatch(const QString &pattern, const QString &name);

// Creates one folder level; false when it exists or cannot be created.
bool createFolder(const QString &path);

// Creates a new empty file next to target, readable and writable as the umask
// allows, and returns its path; empty when the folder cannot take one.
QString createFileBeside(const QString &target);

// Makes replacement (complete, on disk) take the place of target in one step,
// keeping an existing target's permissions. False (both files unchanged) on failure.
bool replaceFile(const QString &replacement, const QString &target);

} // namespace tambolin
