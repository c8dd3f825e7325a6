#pragma once
// Which notes of a MIDI song become the melody's parts: the song's sources
// (tracks of a type 1 file, channels of a type 0 file), and each source's
// chords split into single voices.

#include "melody/smf_tracks.h"

#include <QString>
#include <vector>

namespace tambolin {

struct VoiceNote {
    std::int64_t startUs = 0;
    std::int64_t endUs = 0;
    int key = 0;
};

using Voice = std::vector<VoiceNote>;

struct MidiSource {
    int number = 0; // the track (1-based, in file order) or the channel (1..16)
    bool channel = false;
    QByteArray name; // the track's name; empty for a channel
    int track = 0;   // the track whose end is the source's end (0-based)
    std::int64_t endUs = 0;
    std::vector<VoiceNote> notes; // by start, highest key first
};

// The sources of a song. Channel 10 (drums) is left out unless it is asked
// for by number (only channels can be asked for so). Sources without notes
// are kept: --parts may name them. drumNotes counts the notes left out.
std::vector<MidiSource> midiSources(const SmfSong &song, bool withDrumChannel,
                                    long long &drumNotes);

// Splits notes into at most maxVoices voices, highest first where notes start
// together. A note goes to the first voice that is free when it starts: its
// last note has ended, or has sounded at least three quarters of its length
// (that note is then cut where the new one starts). Notes for which no voice
// is free are counted in dropped.
std::vector<Voice> splitVoices(const std::vector<VoiceNote> &notes, int maxVoices,
                               long long &dropped);

} // namespace tambolin
