#pragma once
// The file name of the running program's executable.

#include <cstdint>

namespace tambolin {

// Copies the path (cut to size - 1 bytes, NUL-terminated) and returns its
// length; 0 when it cannot be read. Only the program itself (module null).
std::uint32_t GetModuleFileNameA(const void *module, char *buffer, std::uint32_t size) noexcept;

} // namespace tambolin
