#include "platform/files/filesystem.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tambolin {

namespace {

QByteArray native(const QString &path) {
    return QFile::encodeName(path);
}

// A writer killed half way leaves its ".NAME.RANDOM.part" file; the next
// write of NAME removes those nobody has touched for a minute (a live
// writer's file is seconds old).
void removeStaleParts(const QFileInfo &target) {
    constexpr qint64 StaleSeconds = 60;
    const QString prefix = u'.' + target.fileName() + u'.';
    const QString suffix = QStringLiteral(".part");
    const QDir folder(target.absolutePath());
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QFileInfoList entries =
        folder.entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks | QDir::System);
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName();
        if (!name.startsWith(prefix) || !name.endsWith(suffix) ||
            name.size() <= prefix.size() + suffix.size())
            continue;
        const QStringView middle =
            QStringView(name).mid(prefix.size(), name.size() - prefix.size() - suffix.size());
        const bool random = std::all_of(middle.begin(), middle.end(), [](QChar c) {
            return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z');
        });
        if (random && entry.lastModified().secsTo(now) >= StaleSeconds)
            QFile::remove(entry.absoluteFilePath());
    }
}

QByteArray tempFolder() {
    QByteArray dir = qgetenv("TMPDIR");
    struct stat st {};
    if (dir.isEmpty() || !dir.startsWith('/') || ::stat(dir.constData(), &st) != 0 ||
        !S_ISDIR(st.st_mode))
        dir = "/tmp";
    if (!dir.endsWith('/'))
        dir.append('/');
    return dir;
}

// Writes the whole file to disk before it is allowed to replace anything.
bool syncFile(const QByteArray &path) {
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

void syncFolderOf(const QByteArray &path) {
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray dir = slash < 0    ? QByteArray(".")
                           : slash == 0 ? QByteArray("/")
                                        : path.left(slash);
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd); // best effort: the rename itself is already atomic
        ::close(fd);
    }
}

} // namespace

quint32 GetTempPathA(quint32 bufferLength, QByteArray &buffer) {
    const QByteArray dir = tempFolder();
    const auto needed = static_cast<quint32>(dir.size()) + 1;
    if (needed > bufferLength)
        return needed;
    buffer = dir;
    buffer.append(QByteArray(static_cast<qsizetype>(bufferLength) - dir.size(), '\0'));
    return static_cast<quint32>(dir.size());
}

quint32 GetTempFileNameA(const QByteArray &pathName, const QByteArray &prefix, quint32 unique,
                         QByteArray &tempFileName) {
    constexpr qsizetype MaxPath = 260;
    const QByteArray pre = prefix.left(3);
    if (pre.contains('/') || pathName.isEmpty())
        return 0; // the name must stay inside the folder
    QByteArray folder = pathName;
    if (!folder.endsWith('/'))
        folder.append('/');
    auto nameFor = [&](quint32 n) {
        return folder + pre + QByteArray::number(n, 16).toUpper() + ".tmp";
    };
    unique &= 0xFFFF;
    if (unique != 0) {
        const QByteArray name = nameFor(unique);
        if (name.size() >= MaxPath)
            return 0;
        tempFileName = name + '\0';
        return unique;
    }
    // Like the system: start from a changing number and take the first free one.
    quint32 start = QRandomGenerator::global()->bounded(1u, 0x10000u);
    for (quint32 i = 0; i < 0xFFFF; ++i) {
        const quint32 n = (start + i - 1) % 0xFFFF + 1;
        const QByteArray name = nameFor(n);
        if (name.size() >= MaxPath)
            return 0;
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            tempFileName = name + '\0';
            return n;
        }
        if (errno != EEXIST)
            return 0;
    }
    return 0;
}

qint64 fileSize(const QString &path) {
    if (path.isEmpty())
        return -1;
    struct stat st {};
    if (::stat(native(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    return static_cast<qint64>(st.st_size);
}

bool wildcardMatch(const QString &pattern, const QString &name) {
    if (name.startsWith(u'.') && !pattern.startsWith(u'.'))
        return false;
    // Greedy match with one back-tracking point per "*".
    qsizetype p = 0, n = 0, starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

bool deleteFiles(const QString &path) {
    if (path.isEmpty())
        return false;
    const qsizetype slash = path.lastIndexOf(u'/');
    const QString folder = slash < 0    ? QStringLiteral(".")
                           : slash == 0 ? QStringLiteral("/")
                                        : path.left(slash);
    const QString pattern = path.mid(slash + 1);
    if (pattern.isEmpty())
        return false;

    QStringList targets;
    const bool wildcard = pattern.contains(u'*') || pattern.contains(u'?');
    if (wildcard) {
        const QStringList names = QDir(folder).entryList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString &name : names)
            if (wildcardMatch(pattern, name))
                targets.append(folder + u'/' + name);
    } else {
        targets.append(path);
    }
    if (targets.isEmpty())
        return false;

    // Every matching file goes, whatever happens to the others; folders
    // that match a wildcard are passed over.
    int files = 0;
    bool all = true;
    for (const QString &target : targets) {
        const QByteArray file = native(target);
        struct stat st {};
        if (::lstat(file.constData(), &st) != 0) {
            all = false; // gone since the folder was listed, or never there
            continue;
        }
        if (S_ISDIR(st.st_mode)) {
            if (!wildcard)
                return false;
            continue;
        }
        ++files;
        // A file nobody may write to is read-only: it is not deleted.
        if (!S_ISLNK(st.st_mode) && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            all = false;
        else if (::unlink(file.constData()) != 0)
            all = false;
    }
    return files > 0 && all;
}

bool createFolder(const QString &path) {
    if (path.isEmpty())
        return false;
    return ::mkdir(native(path).constData(), 0777) == 0;
}

QString createFileBeside(const QString &target) {
    const QFileInfo info(target);
    const QString base = info.absolutePath() + QStringLiteral("/.") + info.fileName() + u'.';
    removeStaleParts(info);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString candidate = base +
                                  QString::number(QRandomGenerator::global()->generate(), 36) +
                                  QStringLiteral(".part");
        const int fd =
            ::open(native(candidate).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return candidate;
        }
        if (errno != EEXIST)
            return {};
    }
    return {};
}

bool replaceFile(const QString &replacement, const QString &target) {
    const QByteArray from = native(replacement);
    const QByteArray to = native(target);
    struct stat st {};
    // Only a file (or the link that names one) is replaced; never a device,
    // a FIFO or a folder.
    if (::lstat(to.constData(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode))
        return false;
    if (::stat(to.constData(), &st) == 0 && S_ISREG(st.st_mode))
        ::chmod(from.constData(), st.st_mode & 07777);
    if (!syncFile(from))
        return false;
    if (::rename(from.constData(), to.constData()) != 0)
        return false;
    syncFolderOf(to);
    return true;
}

} // namespace tambolin
