#include "platform/files/module_file.h"

#include "platform/runtime/last_error.h"

#include <unistd.h>

#include <array>
#include <cstring>

namespace tambolin {

std::uint32_t GetModuleFileNameA(const void *module, char *buffer, std::uint32_t size) noexcept {
    if (module || !buffer || size == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::array<char, 4096> path{};
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (n <= 0) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    const std::uint32_t copied = std::min<std::uint32_t>(static_cast<std::uint32_t>(n), size - 1);
    std::memcpy(buffer, path.data(), copied);
    buffer[copied] = '\0';
    return copied;
}

} // namespace tambolin
