#include "platform/registry/registry_files.h"
#include "platform/runtime/bounded_read.h"
#include "platform/runtime/descriptor_write.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
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
    out = readAtMost(file, LargestSettingsFile);
    if (file.error() != QFileDevice::NoError || out.size() > LargestSettingsFile) {
        out.clear();
        return FileRead::Unreadable;
    }
    return FileRead::Read;
}

namespace {

// A new empty file beside target (same folder, so a rename can replace it),
// open for writing; its descriptor, or -1.
int createBeside(const QString &target, QByteArray &name) {
    const QFileInfo info(target);
    const QByteArray base =
        QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName() + u'.');
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = base + QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".part";
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

void syncFolder(const QString &path) {
    const int fd = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd); // best effort: the rename itself is already atomic
        ::close(fd);
    }
}

} // namespace

bool writeFileAtomically(const QString &path, const QByteArray &bytes) {
    // Not QSaveFile: it can report success after a failed buffered write and
    // put the cut-short file in place of the good one.
    QByteArray partial;
    const int fd = createBeside(path, partial);
    if (fd < 0)
        return false;
    const QByteArray target = QFile::encodeName(path);
    struct stat st {};
    if (::stat(target.constData(), &st) == 0 && S_ISREG(st.st_mode))
        ::fchmod(fd, st.st_mode & 07777); // the file keeps its permissions
    const bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (written && closed && ::rename(partial.constData(), target.constData()) == 0) {
        syncFolder(path);
        return true;
    }
    ::unlink(partial.constData());
    return false;
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
