// Feeds arbitrary bytes to the WAV file reader.

#include "platform/audio/wav_reader.h"

#include <cstddef>
#include <cstdint>

using namespace tambolin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QString error;
    readWav(bytes, error);
    return 0;
}
