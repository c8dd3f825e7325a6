// Feeds arbitrary bytes to the Standard MIDI File reader.

#include "melody/smf_reader.h"

#include <cstddef>
#include <cstdint>

using namespace tambolin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QString error;
    const auto sequence = parseSmf(bytes, error);
    if (sequence)
        for (std::size_t i = 1; i < sequence->events.size(); ++i)
            if (sequence->events[i].timeUs < sequence->events[i - 1].timeUs)
                __builtin_trap();
    return 0;
}
