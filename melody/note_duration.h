#pragma once
// How long a note lasts when played: the tempo table, the dotted and triplet
// variants, and the 1 % the player takes off every note.

#include "platform/runtime/basic_runtime.h"

namespace tambolin {

// Milliseconds of a note with length code `code` at tempo code `tempo`,
// before the 0.99 factor: 0 for a tempo outside 0..3 or a units digit
// outside 0..4.
double nominalDuration(Integer tempo, Integer code);

// The played duration: nominalDuration x 0.99, a real number.
double playedDuration(Integer tempo, Integer code);

} // namespace tambolin
