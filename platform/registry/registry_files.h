#pragma once
// Where the registry and profile stores live, and how they are changed
// safely: one writer at a time (an exclusive lock on a side file, held across
// the whole read-modify-write) and whole-file replacement, so a reader never
// sees half a file and two writers never lose each other's changes.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace tambolin {

// $XDG_CONFIG_HOME when it is an absolute path, otherwise ~/.config.
QString configHome();
// configHome()/tamberlo/<sub>, without creating it.
QString tamberloConfigDir(const QString &sub);

// An exclusive advisory lock on lockPath (created when missing), held for the
// object's lifetime. Separate objects exclude each other across threads and
// processes alike; a crashed holder releases it with its descriptors.
class FileLock final {
public:
    explicit FileLock(const QString &lockPath);
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;
    bool isLocked() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

// The largest registry or profile file read (they hold a few KiB): anything
// larger, and anything that is not a regular file, reads as Unreadable, so a
// writer leaves it alone.
inline constexpr qint64 LargestSettingsFile = 16 << 20;

enum class FileRead { Missing, Read, Unreadable };
FileRead readWholeFile(const QString &path, QByteArray &out);

// Replaces path with bytes: written whole to a new file beside it, flushed to
// disk and renamed over it. On any failure (a full disk included) the new
// file is removed, path is left exactly as it was, and the result is false.
bool writeFileAtomically(const QString &path, const QByteArray &bytes);

// Moves a file we cannot use out of the way (path.corrupt-<time>) so that
// writing a fresh one loses nothing. False when it could not be moved.
bool keepBackup(const QString &path);

// Case-insensitive key for ANSI (code page 932) names: ASCII letters of
// single-byte characters fold to lower case; the trail byte of a double-byte
// character is left alone, since it may look like a letter.
QByteArray foldAnsi(QByteArrayView name);

} // namespace tambolin
