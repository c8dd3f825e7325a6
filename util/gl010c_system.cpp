// Device and system helpers of CL_GL010C: display colours, the mouse
// pointer, shared-library checks, the development-environment check,
// sleeping and the last system error. Nothing is raised.

#include "util/cl_gl010c.h"

#include "platform/desktop/device_caps.h"
#include "platform/files/module_file.h"
#include "platform/runtime/last_error.h"

#include <QCursor>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <dlfcn.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <thread>

namespace tambolin {

namespace {

// Forms and the screen measure in twips: 15 to the pixel.
constexpr double kTwipsPerPixel = 15.0;

// The folders the loader searches by default: the one the C library came
// from (the machine's multiarch folder), then the usual ones.
QStringList libraryFolders() {
    QStringList folders;
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void *>(&::dlopen), &info) != 0 && info.dli_fname)
        folders << QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
    for (const char *folder : {"/usr/local/lib", "/lib", "/usr/lib", "/lib64", "/usr/lib64"})
        folders << QString::fromLatin1(folder);
    folders.removeDuplicates();
    return folders;
}

// The versioned names (libNAME.so.N...) of base in the library folders,
// lowest version first: "libm.so" itself is often a linker script that only
// the linker reads, so the loader needs the name the library carries.
QStringList versionedNames(const QString &base) {
    const QString prefix = base + QStringLiteral(".so.");
    QStringList names;
    for (const QString &folder : libraryFolders()) {
        // Only names that start with the prefix and go on in digits and dots:
        // the name is compared as text, never used as a pattern.
        QDirIterator it(folder, {prefix + u'*'}, QDir::Files | QDir::System);
        while (it.hasNext()) {
            const QString name = it.nextFileInfo().fileName();
            if (!name.startsWith(prefix))
                continue;
            const QStringView rest = QStringView(name).mid(prefix.size());
            const bool versioned = !rest.isEmpty() && rest.front().isDigit() &&
                                   std::all_of(rest.begin(), rest.end(),
                                               [](QChar c) { return c.isDigit() || c == u'.'; });
            if (versioned && !names.contains(name))
                names << name;
        }
    }
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    return names;
}

// A library asked for by its bare name ("m", "libm") is looked up as the
// system names its libraries: "libm.so", then the versioned "libm.so.6".
void *loadLibrary(const QString &name) {
    if (name.isEmpty())
        return nullptr; // an empty name would hand back the program itself
    QStringList candidates{name};
    const QFileInfo info(name);
    const bool bare = !name.contains(u'/') && !info.fileName().contains(QLatin1String(".so"));
    QString base;
    if (bare) {
        base = name.startsWith(QLatin1String("lib")) ? name : QStringLiteral("lib") + name;
        candidates << base + QStringLiteral(".so");
    }
    for (const QString &candidate : candidates) {
        if (void *handle = ::dlopen(candidate.toUtf8().constData(), RTLD_LAZY | RTLD_LOCAL))
            return handle;
    }
    if (!bare)
        return nullptr;
    for (const QString &candidate : versionedNames(base)) {
        if (void *handle = ::dlopen(candidate.toUtf8().constData(), RTLD_LAZY | RTLD_LOCAL))
            return handle;
    }
    return nullptr;
}

} // namespace

Long CL_GL010C::RVN_DisplayColor(Long &formhdc) {
    Long result = 0;
    step([&] {
        const int bits = GetDeviceCaps(formhdc, BITSPIXEL) * GetDeviceCaps(formhdc, PLANES);
        if (bits <= 0)
            return; // no such context: nothing to count
        // 32-bit colour does not fit a Long: the count stays 0.
        result = clng(std::pow(2.0, bits));
    });
    return result;
}

Long CL_GL010C::RVN_MousePointerX() {
    Long result = 0;
    step([&] { result = clng(QCursor::pos().x() * kTwipsPerPixel); });
    return result;
}

Long CL_GL010C::RVN_MousePointerY() {
    Long result = 0;
    step([&] { result = clng(QCursor::pos().y() * kTwipsPerPixel); });
    return result;
}

Boolean CL_GL010C::RVN_DLLFunctionCheck(QString &DLLFile, QString &Funcname) {
    void *handle = loadLibrary(DLLFile);
    if (!handle) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return False;
    }
    ::dlerror();
    const bool found = !Funcname.isEmpty() && ::dlsym(handle, Funcname.toUtf8().constData());
    if (!found)
        SetLastError(ERROR_PROC_NOT_FOUND);
    ::dlclose(handle);
    return toBoolean(found);
}

Boolean CL_GL010C::RVN_CompiledCheck(QWidget * /*frmTarget*/) {
    std::array<char, 256> buffer{};
    const std::uint32_t n = GetModuleFileNameA(nullptr, buffer.data(), 256);
    const QString name = QString::fromUtf8(buffer.data(), n).toUpper();
    // Running inside the development environment's own program.
    if (name.endsWith(QLatin1String("VB32.EXE")) || name.endsWith(QLatin1String("\\VB5.EXE")))
        return False;
    return True;
}

void CL_GL010C::RVN_Sleep(Long &dwMilliseconds) {
    // A negative time would be read as some 49 days, or for ever: no wait.
    if (dwMilliseconds > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds));
}

Long CL_GL010C::RVN_APIErrorGet() {
    return static_cast<Long>(GetLastError());
}

} // namespace tambolin
