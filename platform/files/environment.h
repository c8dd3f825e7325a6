#pragma once
// The process environment through the ANSI functions the player calls.
// Names are case-sensitive, as everywhere on this system. A change is seen by
// this process and by the processes it starts afterwards.

#include <cstdint>

namespace tambolin {

using DWORD = std::uint32_t;
using BOOL = std::int32_t;

// Copies the value and a NUL into lpBuffer and returns its length in bytes.
// When it does not fit, the buffer is left alone and the size needed
// (length + 1) is returned. 0 when the variable is not set (or empty).
DWORD GetEnvironmentVariableA(const char *lpName, char *lpBuffer, DWORD nSize);

// Sets the variable; a null lpValue removes it. Returns 0 for a name the
// system cannot hold (null, empty, or containing "="), nonzero otherwise.
BOOL SetEnvironmentVariableA(const char *lpName, const char *lpValue);

} // namespace tambolin
