// Feeds arbitrary bytes to the registry file reader; what it accepts writes
// out and reads back to the same text.

#include "platform/registry/registry_store.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

using namespace tambolin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const std::optional<RegistryStore> store = RegistryStore::parse(bytes);
    if (!store)
        return 0;
    const QByteArray text = store->serialize();
    const std::optional<RegistryStore> again = RegistryStore::parse(text);
    if (!again || again->serialize() != text)
        __builtin_trap();
    return 0;
}
