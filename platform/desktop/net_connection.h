#pragma once
// Connecting and disconnecting network shares and printers. The desktop has
// no dialog of its own for this; we show the places where the user does it:
// the file manager's network view ("network:///") for shares, and the print
// server's printer pages (http://localhost:631/) for printers, both started
// through the shell layer.

#include "platform/runtime/basic_runtime.h"

#include <cstdint>

namespace tambolin {

inline constexpr std::uint32_t RESOURCETYPE_ANY = 0;
inline constexpr std::uint32_t RESOURCETYPE_DISK = 1;
inline constexpr std::uint32_t RESOURCETYPE_PRINT = 2;

inline constexpr std::uint32_t NO_ERROR = 0;

// NO_ERROR when the place was shown; otherwise a system error code.
std::uint32_t WNetConnectionDialog(Long hwnd, std::uint32_t type) noexcept;
std::uint32_t WNetDisconnectDialog(Long hwnd, std::uint32_t type) noexcept;

} // namespace tambolin
