#pragma once
// The notes of a Standard MIDI File track by track: each note with its
// channel, key and its start and end in microseconds (the tempo map
// applied), with the tracks' names and the tempo the song starts in.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace tambolin {

struct SmfNote {
    std::int64_t startUs = 0;
    std::int64_t endUs = 0; // a note never ended ends with its track
    int channel = 0;        // 0..15; 9 is the General MIDI drum channel
    int key = 0;
};

struct SmfSongTrack {
    std::optional<QByteArray> name;
    std::vector<SmfNote> notes; // by start, then highest key first
    std::int64_t endUs = 0;     // the end of the track
};

struct SmfSong {
    int format = 0;
    std::vector<SmfSongTrack> tracks;
    // Microseconds per quarter note where the first note starts: the beat
    // the song is written in.
    std::uint32_t quarterUs = 500000;
};

// Null with error set when bytes are not a Standard MIDI File of type 0 or 1.
std::optional<SmfSong> readSmfSong(const QByteArray &bytes, QString &error);

} // namespace tambolin
