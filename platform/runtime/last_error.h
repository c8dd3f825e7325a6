#pragma once
// The calling thread's last system error: our layers record why a call
// failed here, as the system's own functions do, and GetLastError reads it.
// The numbers are the system error codes the player's code knows.

#include "platform/runtime/system_errors.h"

namespace tambolin {

// Codes beyond the common ones.
inline constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
inline constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr DWORD ERROR_NOT_SUPPORTED = 50;
inline constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
inline constexpr DWORD ERROR_PROC_NOT_FOUND = 127;
inline constexpr DWORD ERROR_TIMEOUT = 1460;
inline constexpr DWORD ERROR_NO_ASSOCIATION = 1155;
inline constexpr DWORD ERROR_CANCELLED = 1223;
inline constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
inline constexpr DWORD ERROR_SERVICE_NOT_ACTIVE = 1062;

DWORD GetLastError() noexcept;
void SetLastError(DWORD code) noexcept;

} // namespace tambolin
