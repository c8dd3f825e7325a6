#pragma once
// The chunks of a Standard MIDI File (types 0 and 1, and the RIFF RMID
// wrapper), read track by track in ticks: what both the playing reader and
// the melody import start from.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace tambolin {

enum class SmfItemKind { Message, Tempo, End };

struct SmfItem {
    std::int64_t tick;
    SmfItemKind kind;
    std::uint32_t value; // the short message word, or microseconds per quarter
};

struct SmfTrackChunk {
    std::vector<SmfItem> items;     // in file order; the last one is the End
    std::optional<QByteArray> name; // the first track name event, if any
};

struct SmfChunks {
    int format = 0;
    int division = 0; // the header's raw division word
    std::vector<SmfTrackChunk> tracks;
};

// Null with error set when bytes are not a file we can read. A track cut
// short ends where its data ends, as players do with slightly damaged files.
std::optional<SmfChunks> readSmfChunks(const QByteArray &bytes, QString &error);

// Ticks to microseconds from the start through the tempo changes of all
// tracks (or the time code of the division), one tempo segment at a time so
// that rounding does not add up over a long file.
class SmfClock final {
public:
    SmfClock(const SmfChunks &file);
    std::int64_t toUs(std::int64_t tick) const;
    // Microseconds per quarter note in force at tick (500000 before any
    // tempo change, and for a time-code division).
    std::uint32_t tempoAt(std::int64_t tick) const;

private:
    struct Segment {
        std::int64_t tick;
        std::int64_t us;
        std::uint32_t tempo;
    };
    const Segment &segmentAt(std::int64_t tick) const;

    bool m_smpte = false;
    double m_ticksPerSecond = 0; // time code
    int m_ticksPerQuarter = 1;
    std::vector<Segment> m_segments; // by tick; the first at tick 0
};

} // namespace tambolin
