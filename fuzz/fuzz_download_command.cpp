// Feeds arbitrary bytes to the download library's command text reader: what
// it accepts names a plain file and an http or ftp URL.

#include "binetx/command_text.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace tambolin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const auto command = parseDownloadCommand(text);
    if (command) {
        if (command->fileName.empty() || command->fileName.find('/') != std::string::npos)
            __builtin_trap();
        if (command->url.rfind("http://", 0) != 0 && command->url.rfind("ftp://", 0) != 0 &&
            command->url.rfind("https://", 0) != 0)
            __builtin_trap();
    }
    normaliseScheme(text);
    return 0;
}
