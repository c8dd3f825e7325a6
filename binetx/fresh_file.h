#pragma once
// A file written under a fresh, unpredictable name in a folder and renamed
// over its final name only when complete. The folder may be shared with other
// users: the fresh name is created exclusively and never through a link, and
// the rename replaces whatever entry is at the final name (a link included)
// without writing into it.

#include <cstddef>
#include <string>

namespace tambolin {

// Owns a file descriptor.
class UniqueFd final {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : m_fd(fd) {}
    UniqueFd(UniqueFd &&other) noexcept : m_fd(other.release()) {}
    UniqueFd &operator=(UniqueFd &&other) noexcept;
    UniqueFd(const UniqueFd &) = delete;
    UniqueFd &operator=(const UniqueFd &) = delete;
    ~UniqueFd();

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    int release();
    // Closes now; false when the close reported an error (data may be lost).
    bool close();

private:
    int m_fd = -1;
};

class FreshFile final {
public:
    // Opens folder; the file itself is created by create().
    explicit FreshFile(const std::string &folder);
    FreshFile(const FreshFile &) = delete;
    FreshFile &operator=(const FreshFile &) = delete;
    // Removes the fresh file unless it was committed.
    ~FreshFile();

    bool folderOpen() const { return m_dir.valid(); }
    // Creates the fresh file next to finalName; false when that fails.
    bool create(const std::string &finalName);
    // Appends all of data; false on a write error.
    bool write(const char *data, std::size_t size);
    // Closes the file and renames it over finalName; false when either
    // fails, in which case the fresh file is removed.
    bool commit();

private:
    void discard();

    UniqueFd m_dir;
    UniqueFd m_file;
    std::string m_freshName;
    std::string m_finalName;
};

} // namespace tambolin
