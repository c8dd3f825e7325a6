#include "host/class_lookup.h"

#include "control/automation/class_entry.h"
#include "platform/registry/registry.h"

#include <QByteArray>
#include <QFile>

#include <optional>

namespace tambolin {

namespace {

// The default value of HKEY_CLASSES_ROOT\subKey up to its first NUL, or
// nullopt when the key or the value is missing.
std::optional<QByteArray> defaultText(const QByteArray &subKey) {
    HKEY key = 0;
    if (RegOpenKeyA(HKEY_CLASSES_ROOT, subKey.constData(), &key) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD size = 0;
    LSTATUS status = RegQueryValueExA(key, nullptr, nullptr, nullptr, nullptr, &size);
    QByteArray data(static_cast<qsizetype>(size), '\0');
    if (status == ERROR_SUCCESS && size > 0)
        status = RegQueryValueExA(key, nullptr, nullptr, nullptr,
                                  reinterpret_cast<Byte *>(data.data()), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return std::nullopt;
    const qsizetype nul = data.indexOf('\0');
    return nul < 0 ? data : data.left(nul);
}

} // namespace

bool findRegisteredClass(const QString &progId, RegisteredClass &found, QString &error) {
    const QByteArray name = progId.toLatin1();
    const auto clsid = defaultText(name + '\\' + kClsidKey);
    if (!clsid || clsid->isEmpty()) {
        error = QStringLiteral("The control class \"%1\" is not registered.").arg(progId);
        return false;
    }
    const auto library =
        defaultText(QByteArray(kClsidKey) + '\\' + *clsid + '\\' + kInprocServerKey);
    if (!library || library->isEmpty()) {
        error = QStringLiteral("The registration of \"%1\" names no library for its class %2.")
                    .arg(progId, QString::fromLatin1(*clsid));
        return false;
    }
    found.clsid = QString::fromLatin1(*clsid);
    found.library = QFile::decodeName(*library);
    return true;
}

} // namespace tambolin
