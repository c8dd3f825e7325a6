// Registry, INI file and environment helpers of CL_GL010C. All of them go on
// after a failing step and return what they had reached; nothing is raised.

#include "util/cl_gl010c.h"

#include "platform/files/environment.h"
#include "platform/registry/codepage932.h"
#include "platform/registry/private_profile.h"
#include "platform/registry/registry.h"

#include <QByteArray>
#include <QFile>

#include <algorithm>
#include <array>
#include <vector>

namespace tambolin {

namespace {

// Registry and profile text in code page 932, as the stores hold it: byte
// lengths and the buffers' limits count a kanji as two bytes.
QByteArray ansi(const QString &text) {
    return cp932::fromUnicode(text);
}
QString fromAnsi(const char *bytes, qsizetype size) {
    return cp932::toUnicode(QByteArray(bytes, size));
}

// File names and the environment belong to the rest of this system, which
// spells them in its own encoding; code page 932 there would garble them
// for every other program.
QByteArray native(const QString &text) {
    return QFile::encodeName(text);
}
QString fromNative(const char *bytes, qsizetype size) {
    return QFile::decodeName(QByteArray(bytes, size));
}

// A null string reaches the system as a null pointer, as the profile
// functions tell "no key" (list them) from an empty key.
const char *orNull(const QString &text, const QByteArray &bytes) {
    return text.isNull() ? nullptr : bytes.constData();
}

constexpr DWORD kRegBuffer = 1024;
constexpr DWORD kIniBuffer = 1024;
constexpr DWORD kEnvBuffer = 256;
constexpr DWORD kLargestBuffer = 1u << 26;

} // namespace

QString CL_GL010C::RVN_RegGet(Long &root, QString &key, QString &nm) {
    QString result;
    HKEY hKey = 0;
    const QByteArray keyName = ansi(key);
    if (RegOpenKeyA(root, keyName.constData(), &hKey) == ERROR_SUCCESS) {
        std::array<Byte, kRegBuffer> buffer{};
        DWORD type = 0;
        DWORD size = kRegBuffer;
        const QByteArray valueName = ansi(nm);
        if (RegQueryValueExA(hKey, valueName.constData(), nullptr, &type, buffer.data(), &size) ==
            ERROR_SUCCESS) {
            // Read as text whatever the value's type: up to the first NUL.
            const auto end = std::find(buffer.begin(), buffer.end(), Byte{0});
            result = fromAnsi(reinterpret_cast<const char *>(buffer.data()), end - buffer.begin());
        }
    }
    RegCloseKey(hKey); // also after a failed open: closing handle 0 fails harmlessly
    return result;
}

Boolean CL_GL010C::RVN_RegSet(Long &root, QString &key, QString &nm, QString &Data) {
    Boolean result = False;
    HKEY hKey = 0;
    const QByteArray keyName = ansi(key);
    if (RegCreateKeyA(root, keyName.constData(), &hKey) == ERROR_SUCCESS) {
        const QByteArray valueName = ansi(nm);
        QByteArray data = ansi(Data);
        data.append('\0'); // a string value carries its terminating NUL
        if (RegSetValueExA(hKey, valueName.constData(), 0, REG_SZ,
                           reinterpret_cast<const Byte *>(data.constData()),
                           static_cast<DWORD>(data.size())) == ERROR_SUCCESS)
            result = True;
    }
    RegCloseKey(hKey);
    return result;
}

QString CL_GL010C::RVN_IniGet(QString &section, QString &key, QString &ininame) {
    const QByteArray sectionName = ansi(section);
    const QByteArray keyName = ansi(key);
    const QByteArray fileName = native(ininame);
    const bool listing = section.isNull() || key.isNull();
    // A longer entry or list than the buffer holds comes back cut; read it
    // again with room enough rather than lose its end.
    std::vector<char> buffer;
    for (DWORD size = kIniBuffer;; size *= 2) {
        buffer.assign(size, '\0');
        const DWORD n = GetPrivateProfileStringA(orNull(section, sectionName), orNull(key, keyName),
                                                 "", buffer.data(), size, fileName.constData());
        const DWORD cut = listing ? size - 2 : size - 1;
        if (n < cut || size >= kLargestBuffer)
            break;
    }
    // The text ends where two NULs meet: one entry, or a NUL-separated list.
    const QByteArrayView text(buffer.data(), static_cast<qsizetype>(buffer.size()));
    const qsizetype end = text.indexOf(QByteArrayView("\0\0", 2));
    return fromAnsi(buffer.data(), end < 0 ? text.size() : end);
}

void CL_GL010C::RVN_IniWrite(QString &section, QString &key, QString &str, QString &ininame) {
    const QByteArray sectionName = ansi(section);
    const QByteArray keyName = ansi(key);
    const QByteArray value = ansi(str);
    const QByteArray fileName = native(ininame);
    WritePrivateProfileStringA(sectionName.constData(), keyName.constData(), value.constData(),
                               fileName.constData());
}

QString CL_GL010C::RVN_EnvironGet(QString &evname) {
    // The name is terminated in the caller's own string (it is passed by
    // reference); callers of the family have always seen it come back so.
    evname += QChar(0);
    const QByteArray name = native(evname);
    std::vector<char> buffer(kEnvBuffer, '\0');
    DWORD n = GetEnvironmentVariableA(name.constData(), buffer.data(), kEnvBuffer);
    while (n >= buffer.size()) {
        // Too long for the buffer: n is the room needed; ask again with it.
        buffer.assign(n, '\0');
        n = GetEnvironmentVariableA(name.constData(), buffer.data(), n);
    }
    if (n == 0)
        return {};
    // Exactly the value's n bytes, so no double-byte character is split.
    return fromNative(buffer.data(), n);
}

Long CL_GL010C::RVN_EnvironSet(QString &evname, QString &evdat) {
    const QByteArray name = native(evname);
    const QByteArray value = native(evdat);
    return SetEnvironmentVariableA(name.constData(), orNull(evdat, value));
}

} // namespace tambolin
