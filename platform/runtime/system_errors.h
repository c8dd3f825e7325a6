#pragma once
// System error codes: what our layers return or record when a call fails,
// numbered as the system functions the player's code calls number them.

#include "platform/runtime/basic_runtime.h"

#include <cstdint>

namespace tambolin {

using DWORD = std::uint32_t;
using LSTATUS = Long;

inline constexpr LSTATUS ERROR_SUCCESS = 0;
inline constexpr LSTATUS ERROR_FILE_NOT_FOUND = 2;
inline constexpr LSTATUS ERROR_ACCESS_DENIED = 5;
inline constexpr LSTATUS ERROR_INVALID_HANDLE = 6;
inline constexpr LSTATUS ERROR_WRITE_FAULT = 29;
inline constexpr LSTATUS ERROR_INVALID_PARAMETER = 87;
inline constexpr LSTATUS ERROR_BAD_PATHNAME = 161;
inline constexpr LSTATUS ERROR_MORE_DATA = 234;

} // namespace tambolin
