#include "platform/files/binetx_loader.h"

#include <QDir>
#include <QFileInfo>
#include <atomic>
#include <dlfcn.h>

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

BinetxLibrary::W3getvFunction BinetxLibrary::resolve() {
    if (m_function)
        return m_function;
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
        m_function = reinterpret_cast<W3getvFunction>(m_library.resolve("W3getv"));
        if (m_function)
            return m_function;
        m_library.unload();
    }
    return nullptr;
}

Long BinetxLibrary::W3getv(const QString &command, Long &reserved) {
    std::lock_guard lock(m_mutex);
    const W3getvFunction function = resolve();
    if (!function)
        return 0;
    // The function may write into its buffer; what it leaves is not used.
    QByteArray buffer = command.toLocal8Bit();
    std::int32_t status = reserved;
    const std::int32_t result = function(buffer.data(), &status);
    reserved = status;
    return result;
}

QString BinetxLibrary::loadedFrom() const {
    std::lock_guard lock(m_mutex);
    return m_function ? m_library.fileName() : QString();
}

BinetxLibrary &currentBinetx() {
    static BinetxLibrary standard;
    BinetxLibrary *installed = g_installed.load();
    return installed ? *installed : standard;
}

void setCurrentBinetx(BinetxLibrary *library) {
    g_installed = library;
}

Long W3getv(const QString &command, Long &reserved) {
    return currentBinetx().W3getv(command, reserved);
}

} // namespace tambolin
