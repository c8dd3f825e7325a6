#include "platform/registry/registry.h"

#include "platform/registry/codepage932.h"
#include "platform/registry/registry_store.h"

#include <QString>

#include <cstring>
#include <mutex>
#include <optional>
#include <unordered_map>

namespace tambolin {

namespace {

struct OpenKey {
    HKEY root;
    KeyPath path;
};

const char *rootName(HKEY root) {
    switch (root) {
    case HKEY_CLASSES_ROOT:
        return "HKEY_CLASSES_ROOT";
    case HKEY_CURRENT_USER:
        return "HKEY_CURRENT_USER";
    case HKEY_LOCAL_MACHINE:
        return "HKEY_LOCAL_MACHINE";
    case HKEY_USERS:
        return "HKEY_USERS";
    case HKEY_CURRENT_CONFIG:
        return "HKEY_CURRENT_CONFIG";
    default:
        return nullptr;
    }
}

// Handles are shared by every thread of the process, like the system's.
class HandleTable final {
public:
    std::optional<OpenKey> resolve(HKEY h) {
        if (rootName(h))
            return OpenKey{h, {}};
        const std::lock_guard guard(m_mutex);
        const auto it = m_keys.find(h);
        if (it == m_keys.end())
            return std::nullopt;
        return it->second;
    }
    HKEY add(OpenKey key) {
        const std::lock_guard guard(m_mutex);
        HKEY h;
        do {
            m_next = (m_next >= 0x7FFFFF00) ? 0x100 : m_next + 4;
            h = m_next;
        } while (m_keys.count(h));
        m_keys.emplace(h, std::move(key));
        return h;
    }
    bool remove(HKEY h) {
        const std::lock_guard guard(m_mutex);
        return m_keys.erase(h) > 0;
    }

private:
    std::mutex m_mutex;
    std::unordered_map<HKEY, OpenKey> m_keys;
    HKEY m_next = 0xFC;
};

HandleTable &handles() {
    static HandleTable table;
    return table;
}

// Splits a subkey path; one trailing "\" is tolerated, empty components are not.
std::optional<KeyPath> splitSubKey(const char *subKey) {
    KeyPath path;
    if (!subKey || !*subKey)
        return path;
    const QByteArray text(subKey);
    // Separators are whole characters: the second byte of 表 (95 5C) is none.
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype sep = cp932::indexOfChar(text, '\\', start);
        if (sep < 0)
            sep = text.size();
        if (sep == start)
            return std::nullopt;
        path.append(text.sliced(start, sep - start));
        start = sep + 1;
    }
    return path;
}

QString storeFor(HKEY root) {
    return registryStorePath(QString::fromLatin1(rootName(root)));
}

QByteArray valueName(const char *name) {
    return name ? QByteArray(name) : QByteArray();
}

// Shared start of RegOpenKeyA and RegCreateKeyA: the key below hKey to reach.
LSTATUS target(HKEY hKey, const char *lpSubKey, PHKEY phkResult, OpenKey &out) {
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = 0;
    const auto base = handles().resolve(hKey);
    if (!base)
        return ERROR_INVALID_HANDLE;
    const auto sub = splitSubKey(lpSubKey);
    if (!sub)
        return ERROR_BAD_PATHNAME;
    out = *base;
    out.path += *sub;
    return ERROR_SUCCESS;
}

} // namespace

LSTATUS RegOpenKeyA(HKEY hKey, const char *lpSubKey, PHKEY phkResult) {
    OpenKey key;
    if (const LSTATUS rc = target(hKey, lpSubKey, phkResult, key); rc != ERROR_SUCCESS)
        return rc;
    if (!lpSubKey || !*lpSubKey) {
        *phkResult = hKey;
        return ERROR_SUCCESS;
    }
    if (!loadRegistryStore(storeFor(key.root)).hasKey(key.path))
        return ERROR_FILE_NOT_FOUND;
    *phkResult = handles().add(std::move(key));
    return ERROR_SUCCESS;
}

LSTATUS RegCreateKeyA(HKEY hKey, const char *lpSubKey, PHKEY phkResult) {
    OpenKey key;
    if (const LSTATUS rc = target(hKey, lpSubKey, phkResult, key); rc != ERROR_SUCCESS)
        return rc;
    if (!lpSubKey || !*lpSubKey) {
        *phkResult = hKey;
        return ERROR_SUCCESS;
    }
    const LSTATUS rc =
        updateRegistryStore(storeFor(key.root), [&](RegistryStore &store, bool &modified) {
            modified = store.createKey(key.path);
            return ERROR_SUCCESS;
        });
    if (rc != ERROR_SUCCESS)
        return rc;
    *phkResult = handles().add(std::move(key));
    return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExA(HKEY hKey, const char *lpValueName, DWORD *lpReserved, DWORD *lpType,
                         Byte *lpData, DWORD *lpcbData) {
    if (lpReserved || (lpData && !lpcbData))
        return ERROR_INVALID_PARAMETER;
    const auto key = handles().resolve(hKey);
    if (!key)
        return ERROR_INVALID_HANDLE;
    const RegistryStore store = loadRegistryStore(storeFor(key->root));
    const RegistryValue *value = store.findValue(key->path, valueName(lpValueName));
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    const auto size = static_cast<DWORD>(value->data.size());
    if (lpType)
        *lpType = value->type;
    if (lpData) {
        if (*lpcbData < size) {
            *lpcbData = size;
            return ERROR_MORE_DATA;
        }
        if (size > 0)
            std::memcpy(lpData, value->data.constData(), size);
    }
    if (lpcbData)
        *lpcbData = size;
    return ERROR_SUCCESS;
}

LSTATUS RegSetValueExA(HKEY hKey, const char *lpValueName, DWORD Reserved, DWORD dwType,
                       const Byte *lpData, DWORD cbData) {
    if (Reserved != 0 || (!lpData && cbData > 0))
        return ERROR_INVALID_PARAMETER;
    const auto key = handles().resolve(hKey);
    if (!key)
        return ERROR_INVALID_HANDLE;
    const QByteArray data(reinterpret_cast<const char *>(lpData), lpData ? cbData : 0);
    return updateRegistryStore(storeFor(key->root), [&](RegistryStore &store, bool &modified) {
        store.setValue(key->path, valueName(lpValueName), dwType, data);
        modified = true;
        return ERROR_SUCCESS;
    });
}

LSTATUS RegCloseKey(HKEY hKey) {
    if (rootName(hKey))
        return ERROR_SUCCESS;
    return handles().remove(hKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

} // namespace tambolin
