#include "control/automation/class_registration.h"

#include "platform/registry/registry.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>

namespace tambolin {

namespace {

// Closes a key handle when it goes out of scope.
class KeyHandle final {
public:
    KeyHandle() = default;
    ~KeyHandle() {
        if (m_key)
            RegCloseKey(m_key);
    }
    KeyHandle(const KeyHandle &) = delete;
    KeyHandle &operator=(const KeyHandle &) = delete;
    HKEY *out() { return &m_key; }
    HKEY get() const { return m_key; }

private:
    HKEY m_key = 0;
};

// Sets the default value of HKEY_CLASSES_ROOT\subKey to text, creating the key.
bool setDefaultText(const QByteArray &subKey, const QByteArray &text) {
    KeyHandle key;
    if (RegCreateKeyA(HKEY_CLASSES_ROOT, subKey.constData(), key.out()) != ERROR_SUCCESS)
        return false;
    QByteArray data = text;
    data.append('\0'); // a string value carries its terminating NUL
    return RegSetValueExA(key.get(), nullptr, 0, REG_SZ,
                          reinterpret_cast<const Byte *>(data.constData()),
                          static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

bool createKey(const QByteArray &subKey) {
    KeyHandle key;
    return RegCreateKeyA(HKEY_CLASSES_ROOT, subKey.constData(), key.out()) == ERROR_SUCCESS;
}

} // namespace

HRESULT registerControlClasses(const QString &libraryPath) {
    const QByteArray progId = kPlayctrlProgId;
    const QByteArray classKey = QByteArray(kClsidKey) + '\\' + kPlayctrlClsid;
    // The path goes in as the file system spells it, so any name loads again.
    const QByteArray path = QFile::encodeName(QFileInfo(libraryPath).absoluteFilePath());
    const bool ok = !libraryPath.isEmpty() && setDefaultText(progId, "Tamberlo Player control") &&
                    setDefaultText(progId + '\\' + kClsidKey, kPlayctrlClsid) &&
                    setDefaultText(classKey, progId) &&
                    setDefaultText(classKey + '\\' + kProgIdKey, progId) &&
                    createKey(classKey + "\\Control") &&
                    setDefaultText(classKey + '\\' + kInprocServerKey, path);
    return ok ? S_OK : SELFREG_E_CLASS;
}

QString thisLibraryPath() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void *>(&DllRegisterServer), &info) || !info.dli_fname)
        return {};
    return QFileInfo(QFile::decodeName(info.dli_fname)).absoluteFilePath();
}

} // namespace tambolin

tambolin::HRESULT DllRegisterServer() {
    return tambolin::registerControlClasses(tambolin::thisLibraryPath());
}
