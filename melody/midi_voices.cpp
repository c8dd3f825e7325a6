#include "melody/midi_voices.h"

#include <algorithm>

namespace tambolin {

namespace {
constexpr int kDrumChannel = 9;
constexpr int kChannels = 16;
} // namespace

std::vector<MidiSource> midiSources(const SmfSong &song, bool withDrumChannel,
                                    long long &drumNotes) {
    drumNotes = 0;
    std::vector<MidiSource> sources;
    if (song.format == 0) {
        sources.resize(kChannels);
        for (int c = 0; c < kChannels; ++c) {
            sources[c].number = c + 1;
            sources[c].channel = true;
        }
        for (const SmfSongTrack &track : song.tracks)
            for (const SmfNote &n : track.notes) {
                MidiSource &s = sources[static_cast<std::size_t>(n.channel)];
                s.endUs = std::max(s.endUs, track.endUs);
                if (n.channel != kDrumChannel || withDrumChannel)
                    s.notes.push_back({n.startUs, n.endUs, n.key});
                else
                    ++drumNotes;
            }
        // Several tracks in a type 0 file are merged; the order by start stands.
        for (MidiSource &s : sources)
            std::stable_sort(
                s.notes.begin(), s.notes.end(), [](const VoiceNote &a, const VoiceNote &b) {
                    return a.startUs != b.startUs ? a.startUs < b.startUs : a.key > b.key;
                });
        return sources;
    }
    for (std::size_t t = 0; t < song.tracks.size(); ++t) {
        const SmfSongTrack &track = song.tracks[t];
        MidiSource s;
        s.number = static_cast<int>(t + 1);
        s.track = static_cast<int>(t);
        s.name = track.name.value_or(QByteArray());
        s.endUs = track.endUs;
        for (const SmfNote &n : track.notes)
            if (n.channel != kDrumChannel)
                s.notes.push_back({n.startUs, n.endUs, n.key});
            else
                ++drumNotes;
        sources.push_back(std::move(s));
    }
    return sources;
}

std::vector<Voice> splitVoices(const std::vector<VoiceNote> &notes, int maxVoices,
                               long long &dropped) {
    std::vector<Voice> voices;
    for (const VoiceNote &n : notes) {
        bool placed = false;
        for (Voice &v : voices) {
            VoiceNote &last = v.back();
            const std::int64_t overlap = last.endUs - n.startUs;
            const bool free = overlap <= 0 || (last.startUs < n.startUs &&
                                               overlap * 4 <= last.endUs - last.startUs);
            if (free) {
                last.endUs = std::min(last.endUs, n.startUs);
                v.push_back(n);
                placed = true;
                break;
            }
        }
        if (placed)
            continue;
        if (static_cast<int>(voices.size()) < maxVoices)
            voices.push_back({n});
        else
            ++dropped;
    }
    return voices;
}

} // namespace tambolin
