#pragma once
// Short messages as a Standard MIDI File: format 0, one track, 1000 ticks
// per quarter note at 1,000,000 microseconds per quarter, so one tick is
// one millisecond.

#include "platform/runtime/system_errors.h"

#include <QByteArray>
#include <cstdint>
#include <optional>
#include <vector>

namespace tambolin {

// A short message and when it was sent.
struct TimedWord {
    std::int64_t ms; // milliseconds since the play action
    DWORD word;
    std::optional<std::int64_t> dueMs; // when the melody means it; none: at once
};

inline constexpr int midiFileDivision = 1000;
inline constexpr int midiFileTempo = 1'000'000;

// The messages in time order (each written with its status byte, none
// running), then the end of the track at endMs (or at the last message, if
// later). Words whose status is not a channel message are left out: a file
// track cannot carry them as they are.
QByteArray standardMidiFile(const std::vector<TimedWord> &messages, std::int64_t endMs);

} // namespace tambolin
