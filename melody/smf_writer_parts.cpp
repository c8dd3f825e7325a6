#include "melody/smf_writer_parts.h"

#include "melody/mod_tambolin.h"
#include "melody/note_duration.h"
#include "melody/smf_bytes.h"

#include <algorithm>
#include <vector>

namespace tambolin {

namespace {

using smfbytes::bigEndian;
using smfbytes::variableLength;

constexpr int kParts = 3;
constexpr int kMostNotes = 200;
constexpr int kKeyOfPitch0 = 48;
constexpr int kNoteOnVelocity = 0x79;
constexpr int kNoteOffVelocity = 0x10;
constexpr int kFallbackDivision = 480;

class TrackBytes final {
public:
    void meta(std::int64_t tick, std::uint8_t type, const QByteArray &data) {
        delta(tick);
        m_bytes.append(static_cast<char>(0xFF));
        m_bytes.append(static_cast<char>(type));
        variableLength(m_bytes, static_cast<std::uint32_t>(data.size()));
        m_bytes.append(data);
    }
    void message(std::int64_t tick, std::initializer_list<int> bytes) {
        delta(tick);
        for (int b : bytes)
            m_bytes.append(static_cast<char>(b));
    }
    const QByteArray &bytes() const { return m_bytes; }

private:
    void delta(std::int64_t tick) {
        variableLength(m_bytes, static_cast<std::uint32_t>(std::max<std::int64_t>(tick - m_at, 0)));
        m_at = std::max(m_at, tick);
    }
    QByteArray m_bytes;
    std::int64_t m_at = 0;
};

std::int64_t lengthOf(const MOD_TAMBOLIN &store, Integer code) {
    return static_cast<std::int64_t>(nominalDuration(store.tempo, code));
}

std::int64_t partLength(const MOD_TAMBOLIN &store, int part) {
    std::int64_t total = 0;
    const int count = std::min<int>(store.onpcnt(part), kMostNotes);
    for (int n = 1; n <= count; ++n)
        total += lengthOf(store, store.onpary(n, part));
    return total;
}

} // namespace

PartsMidiFile partsMidiFile(const MOD_TAMBOLIN &store, int program, long long loops,
                            std::int64_t mostMs) {
    const bool timed = store.tempo >= 0 && store.tempo <= 3;
    const int division =
        timed ? static_cast<int>(nominalDuration(store.tempo, 2)) : kFallbackDivision;
    // The tempo that makes a tick a played millisecond of the table: 99 % of one.
    const std::uint32_t tempo = static_cast<std::uint32_t>(division) * 990;

    std::vector<int> parts;
    std::int64_t melodyLength = 0;
    for (int part = 1; part <= kParts; ++part)
        if (store.onpcnt(part) > 0) {
            parts.push_back(part);
            melodyLength = std::max(melodyLength, partLength(store, part));
        }
    PartsMidiFile out;
    out.loops = std::max<long long>(1, loops);
    if (melodyLength > 0)
        out.loops = std::clamp<long long>(mostMs / melodyLength, 1, out.loops);
    else
        out.loops = 1;

    const QByteArray title = store.mtitle.toUtf8();
    const int channelProgram = std::clamp(program, 0, 127);
    QByteArray file =
        smfbytes::header(1, std::max<int>(1, static_cast<int>(parts.size())), division);
    const auto startTrack = [&](TrackBytes &t, bool first) {
        t.meta(0, 0x03, title);
        if (first) {
            QByteArray tempoBytes;
            bigEndian(tempoBytes, tempo, 3);
            t.meta(0, 0x51, tempoBytes);
        }
        t.message(0, {0xC0, channelProgram});
    };
    if (parts.empty()) {
        TrackBytes t;
        startTrack(t, true);
        t.meta(0, 0x2F, {});
        smfbytes::appendTrack(file, t.bytes());
        return {file, out.loops};
    }
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const int part = parts[i];
        TrackBytes t;
        startTrack(t, i == 0);
        std::int64_t at = 0;
        const int count = std::min<int>(store.onpcnt(part), kMostNotes);
        for (long long loop = 0; loop < out.loops; ++loop) {
            at = loop * melodyLength;
            for (int n = 1; n <= count; ++n) {
                const Integer code = store.onpary(n, part);
                const std::int64_t length = lengthOf(store, code);
                if (code <= 29) { // what the player sounds; above 29 it rests
                    const int key = std::clamp(store.kaiary(n, part) + kKeyOfPitch0, 0, 127);
                    t.message(at, {0x90, key, kNoteOnVelocity});
                    t.message(at + length, {0x80, key, kNoteOffVelocity});
                }
                at += length;
            }
        }
        t.meta(at, 0x2F, {});
        smfbytes::appendTrack(file, t.bytes());
    }
    out.bytes = file;
    return out;
}

} // namespace tambolin
