#pragma once
// Builds Standard MIDI Files and wave files byte by byte for the tests.

#include <QByteArray>
#include <QtEndian>
#include <cstdint>
#include <initializer_list>

namespace tambolin::testdata {

// One track's events: delta time, then the raw event bytes.
class Track {
public:
    Track &event(std::uint32_t delta, std::initializer_list<int> bytes) {
        vlq(delta);
        for (int b : bytes)
            m_bytes.append(static_cast<char>(b));
        return *this;
    }
    Track &tempo(std::uint32_t delta, std::uint32_t usPerQuarter) {
        return event(delta, {0xFF, 0x51, 0x03, int(usPerQuarter >> 16) & 0xFF,
                             int(usPerQuarter >> 8) & 0xFF, int(usPerQuarter) & 0xFF});
    }
    Track &end(std::uint32_t delta) { return event(delta, {0xFF, 0x2F, 0x00}); }
    // A meta event holding any bytes (a track name is type 3).
    Track &meta(std::uint32_t delta, int type, const QByteArray &data) {
        event(delta, {0xFF, type});
        vlq(static_cast<std::uint32_t>(data.size()));
        m_bytes.append(data);
        return *this;
    }
    const QByteArray &bytes() const { return m_bytes; }

private:
    void vlq(std::uint32_t v) {
        QByteArray out;
        out.prepend(static_cast<char>(v & 0x7F));
        while (v >>= 7)
            out.prepend(static_cast<char>(0x80 | (v & 0x7F)));
        m_bytes.append(out);
    }
    QByteArray m_bytes;
};

inline QByteArray be(std::uint32_t v, int bytes) {
    QByteArray out;
    for (int i = bytes - 1; i >= 0; --i)
        out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    return out;
}

inline QByteArray le(std::uint32_t v, int bytes) {
    QByteArray out;
    for (int i = 0; i < bytes; ++i)
        out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    return out;
}

inline QByteArray smf(int format, int division, std::initializer_list<Track> tracks) {
    QByteArray out =
        "MThd" + be(6, 4) + be(format, 2) + be(int(tracks.size()), 2) + be(division, 2);
    for (const Track &t : tracks)
        out += "MTrk" + be(std::uint32_t(t.bytes().size()), 4) + t.bytes();
    return out;
}

inline QByteArray chunk(const char *id, const QByteArray &body) {
    QByteArray out = QByteArray(id, 4) + le(std::uint32_t(body.size()), 4) + body;
    if (body.size() & 1)
        out.append('\0');
    return out;
}

inline QByteArray wavFormat(int tag, int channels, int rate, int bits) {
    const int align = channels * bits / 8;
    return le(tag, 2) + le(channels, 2) + le(rate, 4) + le(rate * align, 4) + le(align, 2) +
           le(bits, 2);
}

inline QByteArray wav(const QByteArray &format, const QByteArray &data,
                      const QByteArray &extraChunks = {}) {
    const QByteArray body = "WAVE" + chunk("fmt ", format) + extraChunks + chunk("data", data);
    return "RIFF" + le(std::uint32_t(body.size()), 4) + body;
}

// 16-bit mono samples counting up from 0, frames long.
inline QByteArray rampPcm16(int frames) {
    QByteArray out;
    for (int i = 0; i < frames; ++i)
        out += le(std::uint32_t(i & 0xFFFF), 2);
    return out;
}

} // namespace tambolin::testdata
