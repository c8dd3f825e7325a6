#pragma once
// The byte forms a Standard MIDI File is written in.

#include <QByteArray>
#include <cstdint>

namespace tambolin::smfbytes {

inline void bigEndian(QByteArray &out, std::uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i)
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A variable-length quantity: seven bits a byte, most significant first.
inline void variableLength(QByteArray &out, std::uint32_t value) {
    char groups[5];
    int n = 0;
    do {
        groups[n++] = static_cast<char>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (n > 1)
        out.append(static_cast<char>(groups[--n] | 0x80));
    out.append(groups[0]);
}

inline QByteArray header(int format, int tracks, int division) {
    QByteArray file("MThd", 4);
    bigEndian(file, 6, 4);
    bigEndian(file, static_cast<std::uint32_t>(format), 2);
    bigEndian(file, static_cast<std::uint32_t>(tracks), 2);
    bigEndian(file, static_cast<std::uint32_t>(division), 2);
    return file;
}

inline void appendTrack(QByteArray &file, const QByteArray &track) {
    file.append("MTrk", 4);
    bigEndian(file, static_cast<std::uint32_t>(track.size()), 4);
    file.append(track);
}

} // namespace tambolin::smfbytes
