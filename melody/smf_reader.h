#pragma once
// Standard MIDI Files (types 0 and 1, and the RIFF RMID wrapper): the short
// messages of all tracks merged into one list, each with its time in
// microseconds from the start, the tempo map already applied.

#include "platform/runtime/basic_runtime.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace tambolin {

struct SmfEvent {
    std::int64_t timeUs = 0;
    std::uint32_t word = 0; // status | data1 << 8 | data2 << 16, as midiOutShortMsg takes it
};

struct SmfSequence {
    int format = 0;
    int trackCount = 0;
    int division = 0;             // the header's raw division word
    std::int64_t lengthUs = 0;    // up to the last track's end
    std::vector<SmfEvent> events; // in time order; equal times keep file order
};

// Null with error set when bytes are not a file we can play.
std::optional<SmfSequence> parseSmf(const QByteArray &bytes, QString &error);

} // namespace tambolin
