#include "melody/smf_chunks.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tambolin {

namespace {

constexpr std::uint32_t kDefaultTempo = 500000; // microseconds per quarter note
constexpr std::int64_t kMaxTick = std::numeric_limits<std::int32_t>::max();
constexpr qsizetype kLongestName = 1024; // a title, not a text file

class Reader final {
public:
    Reader(const char *data, qsizetype size) : m_data(data), m_size(size) {}
    bool atEnd() const { return m_pos >= m_size; }
    qsizetype remaining() const { return m_size - m_pos; }
    bool byte(std::uint8_t &out) {
        if (atEnd())
            return false;
        out = static_cast<std::uint8_t>(m_data[m_pos++]);
        return true;
    }
    bool peek(std::uint8_t &out) const {
        if (atEnd())
            return false;
        out = static_cast<std::uint8_t>(m_data[m_pos]);
        return true;
    }
    // A variable-length quantity: at most four bytes, 28 bits.
    bool vlq(std::uint32_t &out) {
        out = 0;
        for (int i = 0; i < 4; ++i) {
            std::uint8_t b = 0;
            if (!byte(b))
                return false;
            out = (out << 7) | (b & 0x7F);
            if (!(b & 0x80))
                return true;
        }
        return false;
    }
    bool skip(std::uint32_t n) {
        if (n > static_cast<std::uint64_t>(remaining()))
            return false;
        m_pos += n;
        return true;
    }
    const char *here() const { return m_data + m_pos; }

private:
    const char *m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
};

std::uint32_t be32(const char *p) {
    return qFromBigEndian<quint32>(p);
}
std::uint16_t be16(const char *p) {
    return qFromBigEndian<quint16>(p);
}

int dataBytes(std::uint8_t status) {
    const std::uint8_t kind = status & 0xF0;
    return (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
}

bool readTrack(const char *data, qsizetype size, SmfTrackChunk &track, QString &error) {
    Reader r(data, size);
    std::vector<SmfItem> &items = track.items;
    std::int64_t tick = 0;
    std::uint8_t running = 0;
    while (!r.atEnd()) {
        std::uint32_t delta = 0;
        if (!r.vlq(delta))
            break;
        tick += delta;
        if (tick > kMaxTick) {
            error = QStringLiteral("track longer than the sequencer can count");
            return false;
        }
        std::uint8_t status = 0;
        if (!r.peek(status))
            break;
        if (status & 0x80) {
            r.byte(status);
        } else if (running) {
            status = running;
        } else {
            error = QStringLiteral("data byte without a status");
            return false;
        }
        if (status == 0xFF) {
            std::uint8_t type = 0;
            std::uint32_t length = 0;
            if (!r.byte(type) || !r.vlq(length) ||
                length > static_cast<std::uint64_t>(r.remaining()))
                break;
            const auto *p = reinterpret_cast<const std::uint8_t *>(r.here());
            if (type == 0x51 && length == 3) {
                const std::uint32_t tempo = (p[0] << 16) | (p[1] << 8) | p[2];
                if (tempo > 0)
                    items.push_back({tick, SmfItemKind::Tempo, tempo});
            } else if (type == 0x03 && !track.name) {
                track.name = QByteArray(r.here(), std::min<qsizetype>(length, kLongestName));
            }
            r.skip(length);
            if (type == 0x2F)
                break;
            continue;
        }
        if (status == 0xF0 || status == 0xF7) {
            std::uint32_t length = 0;
            if (!r.vlq(length) || !r.skip(length))
                break;
            running = 0;
            continue;
        }
        if (status >= 0xF0) {
            error = QStringLiteral("system message inside a track");
            return false;
        }
        running = status;
        std::uint32_t word = status;
        bool complete = true;
        for (int i = 0; i < dataBytes(status); ++i) {
            std::uint8_t d = 0;
            if (!r.byte(d) || (d & 0x80)) {
                complete = false;
                break;
            }
            word |= std::uint32_t(d) << (8 * (i + 1));
        }
        if (!complete)
            break;
        items.push_back({tick, SmfItemKind::Message, word});
    }
    items.push_back({tick, SmfItemKind::End, 0});
    return true;
}

// The SMF inside a RIFF RMID file, or bytes unchanged.
QByteArray unwrapRmid(const QByteArray &bytes) {
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "RMID")
        return bytes;
    qsizetype pos = 12;
    while (pos + 8 <= bytes.size()) {
        const std::uint32_t length = qFromLittleEndian<quint32>(bytes.constData() + pos + 4);
        const qsizetype available = bytes.size() - pos - 8;
        if (bytes.mid(pos, 4) == "data")
            return bytes.mid(pos + 8, std::min<qsizetype>(length, available));
        if (length > static_cast<std::uint64_t>(available))
            break;
        pos += 8 + length + (length & 1);
    }
    return {};
}

} // namespace

std::optional<SmfChunks> readSmfChunks(const QByteArray &input, QString &error) {
    const QByteArray bytes = unwrapRmid(input);
    if (bytes.size() < 14 || !bytes.startsWith("MThd")) {
        error = QStringLiteral("not a standard MIDI file");
        return std::nullopt;
    }
    const char *d = bytes.constData();
    const std::uint32_t headerLength = be32(d + 4);
    if (headerLength < 6 || headerLength > static_cast<std::uint64_t>(bytes.size() - 8)) {
        error = QStringLiteral("bad header");
        return std::nullopt;
    }
    SmfChunks file;
    file.format = be16(d + 8);
    const int declaredTracks = be16(d + 10);
    file.division = be16(d + 12);
    if (file.format > 1) {
        error = QStringLiteral("only types 0 and 1 are played");
        return std::nullopt;
    }
    const bool smpte = file.division & 0x8000;
    const int framesPerSecond = smpte ? -static_cast<std::int8_t>(file.division >> 8) : 0;
    if ((!smpte && (file.division & 0x7FFF) == 0) ||
        (smpte && (framesPerSecond <= 0 || (file.division & 0xFF) == 0))) {
        error = QStringLiteral("bad time division");
        return std::nullopt;
    }

    qsizetype pos = 8 + headerLength;
    while (pos + 8 <= bytes.size() && std::ssize(file.tracks) < declaredTracks) {
        const std::uint32_t length = be32(d + pos + 4);
        const qsizetype available = bytes.size() - pos - 8;
        const qsizetype used = std::min<qsizetype>(length, available);
        if (bytes.mid(pos, 4) == "MTrk") {
            SmfTrackChunk track;
            if (!readTrack(d + pos + 8, used, track, error))
                return std::nullopt;
            file.tracks.push_back(std::move(track));
        }
        pos += 8 + used;
    }
    if (file.tracks.empty()) {
        error = QStringLiteral("no tracks");
        return std::nullopt;
    }
    return file;
}

SmfClock::SmfClock(const SmfChunks &file) {
    m_smpte = file.division & 0x8000;
    if (m_smpte) {
        const int fps = -static_cast<std::int8_t>(file.division >> 8);
        m_ticksPerSecond = (fps == 29 ? 29.97 : fps) * (file.division & 0xFF);
    } else {
        m_ticksPerQuarter = std::max(file.division & 0x7FFF, 1);
    }
    std::vector<SmfItem> tempos;
    for (const SmfTrackChunk &track : file.tracks)
        for (const SmfItem &item : track.items)
            if (item.kind == SmfItemKind::Tempo)
                tempos.push_back(item);
    // Equal ticks keep file order: the last change at a tick is the one in force.
    std::stable_sort(tempos.begin(), tempos.end(),
                     [](const SmfItem &a, const SmfItem &b) { return a.tick < b.tick; });
    m_segments.push_back({0, 0, kDefaultTempo});
    for (const SmfItem &t : tempos) {
        const std::int64_t us = toUs(t.tick);
        if (m_segments.back().tick == t.tick)
            m_segments.back() = {t.tick, us, t.value};
        else
            m_segments.push_back({t.tick, us, t.value});
    }
}

const SmfClock::Segment &SmfClock::segmentAt(std::int64_t tick) const {
    const auto after =
        std::upper_bound(m_segments.begin(), m_segments.end(), tick,
                         [](std::int64_t t, const Segment &s) { return t < s.tick; });
    return after == m_segments.begin() ? m_segments.front() : *(after - 1);
}

std::int64_t SmfClock::toUs(std::int64_t tick) const {
    if (m_smpte)
        return std::llround(double(tick) * 1e6 / m_ticksPerSecond);
    const Segment &s = segmentAt(tick);
    return s.us + (tick - s.tick) * s.tempo / m_ticksPerQuarter;
}

std::uint32_t SmfClock::tempoAt(std::int64_t tick) const {
    return m_smpte ? kDefaultTempo : segmentAt(tick).tempo;
}

} // namespace tambolin
