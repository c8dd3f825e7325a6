#include "melody/smf_tracks.h"

#include "melody/smf_chunks.h"

#include <algorithm>
#include <array>
#include <limits>
#include <memory>

namespace tambolin {

namespace {

// Note-ons still waiting for their note-off, per channel and key; a note-off
// ends the earliest of its key. One is kept for all tracks: clearing touches
// only the keys a track used.
class OpenNotes final {
public:
    void start(int channel, int key, std::int64_t tick) {
        Waiting &w = m_open[slot(channel, key)];
        if (w.ticks.empty())
            m_used.push_back(slot(channel, key));
        w.ticks.push_back(tick);
    }
    std::optional<std::int64_t> end(int channel, int key) {
        Waiting &w = m_open[slot(channel, key)];
        if (w.head >= w.ticks.size())
            return std::nullopt;
        return w.ticks[w.head++];
    }
    // Calls f(channel, key, start) for every note still open, and forgets them.
    template <class F> void drain(F f) {
        for (std::size_t i : m_used) {
            Waiting &w = m_open[i];
            for (std::size_t k = w.head; k < w.ticks.size(); ++k)
                f(static_cast<int>(i / 128), static_cast<int>(i % 128), w.ticks[k]);
            w = {};
        }
        m_used.clear();
    }

private:
    struct Waiting {
        std::vector<std::int64_t> ticks;
        std::size_t head = 0;
    };
    static std::size_t slot(int channel, int key) { return std::size_t(channel) * 128 + key; }
    std::array<Waiting, 16 * 128> m_open;
    std::vector<std::size_t> m_used;
};

SmfSongTrack notesOf(const SmfTrackChunk &chunk, const SmfClock &clock, OpenNotes &open,
                     std::int64_t &firstNoteTick) {
    SmfSongTrack track;
    track.name = chunk.name;
    struct TickNote {
        std::int64_t start, end;
        int channel, key;
    };
    std::vector<TickNote> notes;
    std::int64_t endTick = 0;
    for (const SmfItem &item : chunk.items) {
        if (item.kind == SmfItemKind::End)
            endTick = item.tick;
        if (item.kind != SmfItemKind::Message)
            continue;
        const int status = item.value & 0xF0;
        const int channel = item.value & 0x0F;
        const int key = (item.value >> 8) & 0x7F;
        const int velocity = (item.value >> 16) & 0x7F;
        if (status == 0x90 && velocity > 0) {
            open.start(channel, key, item.tick);
            firstNoteTick = std::min(firstNoteTick, item.tick);
        } else if (status == 0x80 || status == 0x90) {
            if (const auto start = open.end(channel, key))
                notes.push_back({*start, item.tick, channel, key});
        }
    }
    open.drain([&](int channel, int key, std::int64_t tick) {
        notes.push_back({tick, endTick, channel, key});
    });
    track.endUs = clock.toUs(endTick);
    track.notes.reserve(notes.size());
    for (const TickNote &n : notes)
        track.notes.push_back({clock.toUs(n.start), clock.toUs(n.end), n.channel, n.key});
    std::stable_sort(track.notes.begin(), track.notes.end(),
                     [](const SmfNote &a, const SmfNote &b) {
                         return a.startUs != b.startUs ? a.startUs < b.startUs : a.key > b.key;
                     });
    return track;
}

} // namespace

std::optional<SmfSong> readSmfSong(const QByteArray &bytes, QString &error) {
    const std::optional<SmfChunks> file = readSmfChunks(bytes, error);
    if (!file)
        return std::nullopt;
    const SmfClock clock(*file);
    SmfSong song;
    song.format = file->format;
    std::int64_t firstNoteTick = std::numeric_limits<std::int64_t>::max();
    auto open = std::make_unique<OpenNotes>();
    for (const SmfTrackChunk &chunk : file->tracks)
        song.tracks.push_back(notesOf(chunk, clock, *open, firstNoteTick));
    song.quarterUs = clock.tempoAt(
        firstNoteTick == std::numeric_limits<std::int64_t>::max() ? 0 : firstNoteTick);
    return song;
}

} // namespace tambolin
