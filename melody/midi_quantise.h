#pragma once
// One voice of a song as a part of the melody: its notes and the silences
// between them written with the melody's length codes at one tempo code.

#include "platform/runtime/basic_runtime.h"

#include <cstdint>
#include <vector>

namespace tambolin {

struct TimedNote {
    double start = 0; // in the melody's time: nominal milliseconds at the tempo code
    double end = 0;
    Integer pitch = 0;
};

struct MelodyNote {
    Integer length = 0; // length code
    Integer pitch = 0;  // 0 for a rest
    bool operator==(const MelodyNote &) const = default;
};

struct QuantisedPart {
    std::vector<MelodyNote> notes;
    long long moved = 0;    // notes whose start or end moved by more than the tolerance
    double largestMove = 0; // nominal milliseconds
    long long dropped = 0;  // notes past the part's 200
};

inline constexpr int kMostNotesInPart = 200;

// The notes (by start, none overlapping the next) and the part's end. A note
// that ends less than half a sixteenth before the next one is held until it
// starts; longer silences become rests, each silence the fewest rests that
// fill it best. Three notes that fit a triplet group better than plain
// lengths become one. A move counts when it exceeds tolerance (nominal ms).
QuantisedPart quantisePart(const std::vector<TimedNote> &notes, double partEnd, Integer tempo,
                           double tolerance);

} // namespace tambolin
