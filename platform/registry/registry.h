#pragma once
// The registry as the player's code sees it: keys below a few predefined
// roots, each holding typed values, reached through numbered key handles.
// Key and value names are ANSI (code page 932) text and case-insensitive;
// each root is kept per user in a file of its own (see registry_store.h), so
// HKEY_LOCAL_MACHINE too is private to the user and always writable.
// Every function returns a system error code: ERROR_SUCCESS or the reason.

#include "platform/runtime/system_errors.h"

#include <cstdint>

namespace tambolin {

// Key handles are 32-bit numbers, as the player's Long declarations hold them.
using HKEY = Long;
using PHKEY = HKEY *;

inline constexpr HKEY HKEY_CLASSES_ROOT = static_cast<HKEY>(0x80000000u);
inline constexpr HKEY HKEY_CURRENT_USER = static_cast<HKEY>(0x80000001u);
inline constexpr HKEY HKEY_LOCAL_MACHINE = static_cast<HKEY>(0x80000002u);
inline constexpr HKEY HKEY_USERS = static_cast<HKEY>(0x80000003u);
inline constexpr HKEY HKEY_CURRENT_CONFIG = static_cast<HKEY>(0x80000005u);

inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_MULTI_SZ = 7;

// Opens an existing key below hKey. A null or empty lpSubKey gives hKey back.
LSTATUS RegOpenKeyA(HKEY hKey, const char *lpSubKey, PHKEY phkResult);
// Opens a key below hKey, creating it and any missing keys on its path.
LSTATUS RegCreateKeyA(HKEY hKey, const char *lpSubKey, PHKEY phkResult);
// Reads a value (null or empty name: the key's default value). lpType and
// lpData may be null; *lpcbData gives the buffer size and receives the data
// size, also when the buffer is too small (ERROR_MORE_DATA).
LSTATUS RegQueryValueExA(HKEY hKey, const char *lpValueName, DWORD *lpReserved, DWORD *lpType,
                         Byte *lpData, DWORD *lpcbData);
// Writes cbData bytes as a value of type dwType; Reserved must be 0.
LSTATUS RegSetValueExA(HKEY hKey, const char *lpValueName, DWORD Reserved, DWORD dwType,
                       const Byte *lpData, DWORD cbData);
// Closes a handle; the predefined roots need no closing and report success.
LSTATUS RegCloseKey(HKEY hKey);

} // namespace tambolin
