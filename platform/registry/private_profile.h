#pragma once
// Private profile (INI) files through the ANSI functions the player calls.
// Section and key names are case-insensitive; a write changes only the lines
// it concerns and replaces the file atomically under a per-file lock. A file
// name without "/" names a file in the player's own profile folder,
// $XDG_CONFIG_HOME/tamberlo/profiles (see profileFolder()).

#include <QString>

#include <cstdint>

namespace tambolin {

using DWORD = std::uint32_t;
using BOOL = std::int32_t;

// The folder that bare profile names resolve to (not created by reading).
QString profileFolder();
// The path a profile file name resolves to; empty for a null or empty name.
QString profilePath(const char *lpFileName);

// Copies the entry's value (enclosing single or double quotes removed) or,
// when missing, lpDefault without trailing blanks, into lpReturnedString,
// cut to nSize - 1 bytes and NUL-ended; returns the bytes copied.
// A null lpAppName lists the section names, a null lpKeyName the section's
// key names: each NUL-ended, one more NUL after the last; when the list does
// not fit it is cut, ended by two NULs, and nSize - 2 is returned.
DWORD GetPrivateProfileStringA(const char *lpAppName, const char *lpKeyName, const char *lpDefault,
                               char *lpReturnedString, DWORD nSize, const char *lpFileName);

// Sets an entry (creating the file, section and entry as needed); a null
// lpString deletes the entry, a null lpKeyName the whole section. Returns
// nonzero on success. Refuses (0) what would not read back as written: line
// breaks anywhere, "]" in a section name, "=" in a key or a key that would
// read as a section or comment line.
BOOL WritePrivateProfileStringA(const char *lpAppName, const char *lpKeyName, const char *lpString,
                                const char *lpFileName);

} // namespace tambolin
