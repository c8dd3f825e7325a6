#include "host/tamberlo/melody_length.h"

#include "control/mod_tambolin.h"
#include "control/note_duration.h"

#include <algorithm>
#include <cmath>

namespace tambolin::tamberlo {

long long loadedMelodyMilliseconds() {
    const MOD_TAMBOLIN &store = mod();
    long long longest = 0;
    for (int part = 1; part <= 3; ++part) {
        // The sequencer keeps whole milliseconds at each note.
        long long total = 0;
        const int count = std::clamp<int>(store.onpcnt(part), 0, 200);
        for (int n = 1; n <= count; ++n)
            total = std::llrint(static_cast<double>(total) +
                                playedDuration(store.tempo, store.onpary(n, part)));
        longest = std::max(longest, total);
    }
    return longest;
}

} // namespace tambolin::tamberlo
