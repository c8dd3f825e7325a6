#pragma once
// The melody as bars in time: for each part, every note that sounds with its
// start and length in milliseconds exactly as the player schedules it. Plain
// data, computed once from the store and drawn as often as wanted.

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace tambolin {
struct MOD_TAMBOLIN;
}

namespace tambolin::roll {

constexpr int PartCount = 3;

struct RollNote {
    std::int64_t startMs = 0;  // from the start of play
    std::int64_t lengthMs = 0; // 0 for a length code the player gives no time
    int pitch = 0;             // pitch number; 0 sounds as MIDI key 48

    bool operator==(const RollNote &) const = default;
};

struct RollPart {
    std::vector<RollNote> notes; // the sounding notes, in playing order
    std::int64_t lengthMs = 0;   // one pass of the part, rests included

    bool operator==(const RollPart &) const = default;
};

struct RollModel {
    QString title;
    int tempo = 1;
    std::array<RollPart, PartCount> parts;
    std::int64_t lengthMs = 0; // the longest part
    int lowPitch = 0;          // the range of the sounding notes;
    int highPitch = -1;        // high below low when nothing sounds

    bool sounds() const { return highPitch >= lowPitch; }
    // Equal models draw the same picture.
    bool operator==(const RollModel &) const = default;
};

// The notes of the store as the sequencer times them: each part's notes
// follow each other from time 0, a note ending where the running total of
// the played durations, rounded to whole milliseconds, stands after it.
// Rests (length codes above 29) take their time and give no bar.
RollModel rollFromStore(const MOD_TAMBOLIN &store);

} // namespace tambolin::roll
