// Feeds arbitrary bytes to the melody import, with and without chosen parts
// and tempo, and checks what it makes fits the melody store.

#include "melody/midi_import.h"

#include <cstddef>
#include <cstdint>

using namespace tambolin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    MidiImportOptions options;
    // The first byte, when it is no MIDI header, chooses parts and a tempo.
    if (size > 0 && data[0] < 16) {
        options.parts = {data[0] % 4 + 1, data[0] / 4 + 1};
        options.tempo = static_cast<Integer>(data[0] % 4);
    }
    ImportReport report;
    QString error;
    const auto melody = importMidi(bytes, options, report, error);
    if (!melody)
        return 0;
    for (const auto &part : melody->parts) {
        if (part.size() > kMostNotesInPart)
            __builtin_trap();
        for (const MelodyNote &n : part)
            if (n.pitch < 0 || n.pitch > 35 || (n.length > 24 && n.length < 30) || n.length > 43)
                __builtin_trap();
    }
    return 0;
}
