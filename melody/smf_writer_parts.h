#pragma once
// A melody as a Standard MIDI File that keeps its notation: format 1, one
// track per part, each named with the title and holding the player's program
// change and notes on channel 1. A tick is one millisecond of the note table
// (division = the tempo code's quarter note in ms) and the tempo is that
// quarter at 99 %, as the player plays every note, so every length is a
// whole number of ticks and each track ends where its part ends.

#include <QByteArray>
#include <cstdint>

namespace tambolin {

struct MOD_TAMBOLIN;

struct PartsMidiFile {
    QByteArray bytes;
    long long loops = 1; // the loops written
};

// loops passes of the melody, each starting when its longest part has ended;
// no more loops than fit in mostMs table milliseconds (one at least).
PartsMidiFile partsMidiFile(const MOD_TAMBOLIN &store, int program, long long loops,
                            std::int64_t mostMs);

} // namespace tambolin
