#include "melody/smf_writer.h"

#include "melody/smf_bytes.h"

#include <algorithm>

namespace tambolin {

namespace {

using smfbytes::bigEndian;
using smfbytes::variableLength;

// Data bytes that follow a channel status byte.
int dataBytes(std::uint8_t status) {
    switch (status & 0xF0) {
    case 0xC0:
    case 0xD0:
        return 1;
    default:
        return 2;
    }
}

} // namespace

QByteArray standardMidiFile(const std::vector<TimedWord> &messages, std::int64_t endMs) {
    QByteArray track;
    std::int64_t at = 0;
    const auto delta = [&](std::int64_t ms) {
        const std::int64_t d = std::max<std::int64_t>(ms - at, 0);
        variableLength(track, static_cast<std::uint32_t>(d));
        at += d;
    };
    // The tempo that makes a tick a millisecond.
    delta(0);
    track.append("\xFF\x51\x03", 3);
    bigEndian(track, midiFileTempo, 3);
    for (const TimedWord &m : messages) {
        const auto status = static_cast<std::uint8_t>(m.word & 0xFF);
        if (status < 0x80 || status >= 0xF0)
            continue;
        delta(m.ms);
        track.append(static_cast<char>(status));
        for (int i = 1; i <= dataBytes(status); ++i)
            // Seven bits a data byte: a stray high bit would break the file.
            track.append(static_cast<char>((m.word >> (8 * i)) & 0x7F));
    }
    delta(endMs);
    track.append("\xFF\x2F\x00", 3);

    QByteArray file = smfbytes::header(0, 1, midiFileDivision);
    smfbytes::appendTrack(file, track);
    return file;
}

} // namespace tambolin
