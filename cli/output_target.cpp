#include "cli/output_target.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace tambolin::cli {

OutputTarget::OutputTarget() = default;
OutputTarget::~OutputTarget() = default;

bool OutputTarget::open(const QString &argument, const QString &fileName, QString &problem) {
    m_folder.reset();
    m_path = argument;
    if (argument != u"-")
        return true;
    if (::isatty(STDOUT_FILENO) == 1) {
        problem = QStringLiteral("standard output is a terminal; redirect it, or give -o FILE");
        return false;
    }
    auto folder = std::make_unique<QTemporaryDir>();
    if (!folder->isValid()) {
        problem = QStringLiteral("-: no private folder to write in: ") + folder->errorString();
        return false;
    }
    m_path = folder->filePath(fileName);
    m_folder = std::move(folder);
    return true;
}

QString OutputTarget::named(const QString &message) const {
    if (!m_folder || !message.startsWith(m_path))
        return message;
    return QStringLiteral("-") + message.mid(m_path.size());
}

bool OutputTarget::deliver(QString &problem) {
    if (!m_folder)
        return true;
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        problem = QStringLiteral("-: the written file is gone: ") + file.errorString();
        return false;
    }
    char buffer[65536];
    for (;;) {
        const qint64 n = file.read(buffer, sizeof buffer);
        if (n < 0) {
            problem = QStringLiteral("-: ") + file.errorString();
            return false;
        }
        if (n == 0)
            break;
        qint64 done = 0;
        while (done < n) {
            const ssize_t w = ::write(STDOUT_FILENO, buffer + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0) {
                problem = QStringLiteral("-: cannot write standard output: ") +
                          QString::fromLocal8Bit(std::strerror(errno));
                return false;
            }
            done += w;
        }
    }
    return true;
}

} // namespace tambolin::cli
