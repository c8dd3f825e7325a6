#pragma once
// How long one pass of the loaded melody plays, for media players' progress
// bars: the longest part, its notes timed as the sequencer times them.

namespace tambolin::tamberlo {

// Milliseconds of one pass of the melody in this thread's store; 0 when empty.
long long loadedMelodyMilliseconds();

} // namespace tambolin::tamberlo
