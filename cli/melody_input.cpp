#include "cli/melody_input.h"

#include "cli/melody_io.h"
#include "platform/runtime/descriptor_write.h"

#include <QByteArray>
#include <cerrno>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

namespace tambolin::cli {

namespace {

QString errnoText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

bool readBounded(int fd, long long limit, QByteArray &out, QString &problem) {
    out.clear();
    char buffer[65536];
    while (out.size() <= limit) {
        const long long room = limit + 1 - out.size();
        const ssize_t n =
            ::read(fd, buffer, static_cast<size_t>(std::min<long long>(room, sizeof buffer)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            problem = errnoText(errno);
            return false;
        }
        if (n == 0)
            break;
        out.append(buffer, n);
    }
    return true;
}

MelodyInput::~MelodyInput() {
    if (m_fd >= 0)
        ::close(m_fd);
}

bool MelodyInput::open(const QString &argument, QString &problem) {
    m_name = argument;
    m_path = argument;
    if (argument != u"-")
        return true;
    QByteArray bytes;
    QString why;
    if (!readBounded(STDIN_FILENO, LargestMelodyFile, bytes, why)) {
        problem = QStringLiteral("-: cannot read standard input: ") + why;
        return false;
    }
    if (bytes.size() > LargestMelodyFile) {
        problem = QStringLiteral("-: more than ") + QString::number(LargestMelodyFile) +
                  QStringLiteral(" bytes is too large for a melody");
        return false;
    }
    m_fd = ::memfd_create("tambolin-stdin", MFD_CLOEXEC);
    if (m_fd < 0 || !writeAll(m_fd, bytes)) {
        problem = QStringLiteral("-: cannot hold standard input: ") + errnoText(errno);
        return false;
    }
    m_path = QStringLiteral("/proc/self/fd/") + QString::number(m_fd);
    return true;
}

QString MelodyInput::named(const QString &message) const {
    if (m_path == m_name || !message.startsWith(m_path))
        return message;
    return m_name + message.mid(m_path.size());
}

} // namespace tambolin::cli
