#pragma once
// How far playback has come into the melody, read from the control's
// sequencer: every part is timed from the base time its timer took when play
// began (and takes again at each repeat), so the time since that base is the
// time into the pass, on whatever clock the control runs.

#include <cstdint>
#include <optional>

namespace tambolin {
class PLAYCTRL;
}

namespace tambolin::tamberlo {

// Milliseconds since the current pass began; none while the control is stopped.
std::optional<std::int64_t> playedMs(const PLAYCTRL &ctrl);

} // namespace tambolin::tamberlo
