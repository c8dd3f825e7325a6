#include "platform/files/binetx_loader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <cerrno>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tambolin {

namespace {

// The folder of the shared library this code was linked into, where the
// build and the installation put the download library too.
QString ownLibraryFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void *>(&ownLibraryFolder), &info) == 0 || !info.dli_fname)
        return {};
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
}

std::atomic<BinetxLibrary *> g_installed{nullptr};

} // namespace

BinetxLibrary::BinetxLibrary(QString name) : m_name(std::move(name)) {}

BinetxLibrary::Functions BinetxLibrary::resolve() {
    if (m_functions.plain)
        return m_functions;
    QStringList candidates;
    if (!m_name.contains(QLatin1Char('/'))) {
        const QString folder = ownLibraryFolder();
        if (!folder.isEmpty())
            candidates << QDir(folder).filePath(QStringLiteral("lib%1.so").arg(m_name));
    }
    candidates << m_name;
    for (const QString &candidate : candidates) {
        if (candidate.contains(QLatin1Char('/')) && !QFileInfo::exists(candidate))
            continue;
        m_library.setFileName(candidate);
        if (!m_library.load())
            continue;
        m_functions.plain = reinterpret_cast<W3getvFunction>(m_library.resolve("W3getv"));
        if (m_functions.plain) {
            // Optional: older copies of the library cannot be cancelled.
            m_functions.cancellable =
                reinterpret_cast<CancellableFunction>(m_library.resolve("W3getvCancellable"));
            return m_functions;
        }
        m_library.unload();
    }
    return {};
}

Long BinetxLibrary::W3getv(const QString &command, Long &reserved, std::int32_t *cancel) {
    Functions functions;
    {
        // Held for the look-up only: downloads may run side by side.
        std::lock_guard lock(m_mutex);
        functions = resolve();
    }
    if (!functions.plain)
        return 0;
    // The function may write into its buffer; what it leaves is not used.
    QByteArray buffer = command.toLocal8Bit();
    std::int32_t status = reserved;
    const std::int32_t result = functions.cancellable
                                    ? functions.cancellable(buffer.data(), &status, cancel)
                                    : functions.plain(buffer.data(), &status);
    reserved = status;
    return result;
}

bool BinetxLibrary::canCancel() const {
    std::lock_guard lock(m_mutex);
    return m_functions.cancellable != nullptr;
}

QString BinetxLibrary::loadedFrom() const {
    std::lock_guard lock(m_mutex);
    return m_functions.plain ? m_library.fileName() : QString();
}

BinetxLibrary &currentBinetx() {
    static BinetxLibrary standard;
    BinetxLibrary *installed = g_installed.load();
    return installed ? *installed : standard;
}

void setCurrentBinetx(BinetxLibrary *library) {
    g_installed = library;
}

Long W3getv(const QString &command, Long &reserved, std::int32_t *cancel) {
    return currentBinetx().W3getv(command, reserved, cancel);
}

QString privateDownloadFolder(const QString &tempFolder) {
    if (tempFolder.isEmpty())
        return {};
    const uid_t uid = ::geteuid();
    QString folder = tempFolder;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    folder += QStringLiteral("tamberlo-") + QString::number(uid);
    const QByteArray path = QFile::encodeName(folder);
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    // Whatever is there now is checked, never followed: a link or another
    // user's folder at this name is refused.
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return {};
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == uid;
    // Ours but opened up (by hand, or by an old umask): closed again.
    if (ok && (st.st_mode & 077) != 0)
        ok = ::fchmod(fd, 0700) == 0;
    ::close(fd);
    return ok ? folder + QLatin1Char('/') : QString();
}

} // namespace tambolin
