#include "platform/files/environment.h"

#include <QByteArray>
#include <QtGlobal>

#include <cstring>

namespace tambolin {

namespace {

bool validName(const char *name) {
    return name && *name && !std::strchr(name, '=');
}

} // namespace

DWORD GetEnvironmentVariableA(const char *lpName, char *lpBuffer, DWORD nSize) {
    if (!validName(lpName))
        return 0;
    // Qt's environment functions share one lock, so readers and writers on
    // different threads never see the environment half changed.
    if (!qEnvironmentVariableIsSet(lpName))
        return 0;
    const QByteArray value = qgetenv(lpName);
    const auto len = static_cast<DWORD>(value.size());
    if (!lpBuffer || nSize < len + 1)
        return len + 1;
    std::memcpy(lpBuffer, value.constData(), len);
    lpBuffer[len] = '\0';
    return len;
}

BOOL SetEnvironmentVariableA(const char *lpName, const char *lpValue) {
    if (!validName(lpName))
        return 0;
    if (!lpValue)
        return qunsetenv(lpName) ? 1 : 0;
    return qputenv(lpName, QByteArray(lpValue)) ? 1 : 0;
}

} // namespace tambolin
