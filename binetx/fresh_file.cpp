#include "binetx/fresh_file.h"

#include <cerrno>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace tambolin {

UniqueFd &UniqueFd::operator=(UniqueFd &&other) noexcept {
    if (this != &other) {
        close();
        m_fd = other.release();
    }
    return *this;
}

UniqueFd::~UniqueFd() {
    close();
}

int UniqueFd::release() {
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

bool UniqueFd::close() {
    if (m_fd < 0)
        return true;
    const int rc = ::close(release());
    return rc == 0;
}

namespace {

std::string randomSuffix() {
    static constexpr char alphabet[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937_64 rng{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof(alphabet) - 2);
    std::string s(12, 'x');
    for (char &c : s)
        c = alphabet[pick(rng)];
    return s;
}

} // namespace

FreshFile::FreshFile(const std::string &folder)
    : m_dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}

FreshFile::~FreshFile() {
    discard();
}

bool FreshFile::create(const std::string &finalName) {
    if (!m_dir.valid() || m_file.valid())
        return false;
    m_finalName = finalName;
    // A hidden name beside the final one, so the rename stays inside one
    // file system; O_EXCL | O_NOFOLLOW refuses anything already there.
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = "." + finalName + "." + randomSuffix();
        const int fd = ::openat(m_dir.get(), name.c_str(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            m_file = UniqueFd(fd);
            m_freshName = std::move(name);
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

bool FreshFile::write(const char *data, std::size_t size) {
    if (!m_file.valid())
        return false;
    while (size > 0) {
        const ssize_t n = ::write(m_file.get(), data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool FreshFile::commit() {
    if (!m_file.valid())
        return false;
    if (::fsync(m_file.get()) != 0 || !m_file.close()) {
        discard();
        return false;
    }
    if (::renameat(m_dir.get(), m_freshName.c_str(), m_dir.get(), m_finalName.c_str()) != 0) {
        discard();
        return false;
    }
    m_freshName.clear();
    return true;
}

void FreshFile::discard() {
    m_file.close();
    if (!m_freshName.empty() && m_dir.valid())
        ::unlinkat(m_dir.get(), m_freshName.c_str(), 0);
    m_freshName.clear();
}

} // namespace tambolin
