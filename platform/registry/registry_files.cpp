#include "platform/registry/registry_files.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tambolin {

QString configHome() {
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return QDir::cleanPath(xdg);
    return QDir::homePath() + QStringLiteral("/.config");
}

QString tamberloConfigDir(const QString &sub) {
    return configHome() + QStringLiteral("/tamberlo/") + sub;
}

FileLock::FileLock(const QString &lockPath) {
    const QByteArray native = QFile::encodeName(lockPath);
    const int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        ::close(fd);
        return;
    }
    m_fd = fd;
}

FileLock::~FileLock() {
    if (m_fd >= 0)
        ::close(m_fd); // closing the last descriptor releases the lock
}

FileRead readWholeFile(const QString &path, QByteArray &out) {
    out.clear();
    QFile file(path);
    if (!file.exists())
        return FileRead::Missing;
    // Only a regular file of a sensible size: a device or a FIFO never ends,
    // and a huge file would only exhaust memory.
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return FileRead::Unreadable;
    out = file.read(LargestSettingsFile + 1);
    if (file.error() != QFileDevice::NoError || out.size() > LargestSettingsFile) {
        out.clear();
        return FileRead::Unreadable;
    }
    return FileRead::Read;
}

bool writeFileAtomically(const QString &path, const QByteArray &bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool keepBackup(const QString &path) {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int n = 0; n < 1000; ++n) {
        QString target = path + QStringLiteral(".corrupt-") + stamp;
        if (n > 0)
            target += QLatin1Char('-') + QString::number(n);
        if (QFileInfo::exists(target))
            continue;
        return QFile::rename(path, target);
    }
    return false;
}

static bool isLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

QByteArray foldAnsi(QByteArrayView name) {
    QByteArray out(name.data(), name.size());
    for (qsizetype i = 0; i < out.size(); ++i) {
        const auto b = static_cast<unsigned char>(out[i]);
        if (isLeadByte(b)) {
            ++i; // skip the trail byte
            continue;
        }
        if (b >= 'A' && b <= 'Z')
            out[i] = static_cast<char>(b - 'A' + 'a');
    }
    return out;
}

} // namespace tambolin
