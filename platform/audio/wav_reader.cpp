#include "platform/audio/wav_reader.h"

#include <QtEndian>

#include <algorithm>

namespace tambolin {

namespace {

constexpr quint16 kFormatPcm = 1;
constexpr quint16 kFormatFloat = 3;
constexpr quint16 kFormatExtensible = 0xFFFE;

quint16 le16(const char *p) {
    return qFromLittleEndian<quint16>(p);
}
quint32 le32(const char *p) {
    return qFromLittleEndian<quint32>(p);
}

QByteArray widen24(const QByteArray &in) {
    QByteArray out;
    out.resize(in.size() / 3 * 4);
    for (qsizetype i = 0, o = 0; i + 3 <= in.size(); i += 3, o += 4) {
        out[o] = 0;
        out[o + 1] = in[i];
        out[o + 2] = in[i + 1];
        out[o + 3] = in[i + 2];
    }
    return out;
}

} // namespace

std::optional<AudioClip> readWav(const QByteArray &bytes, QString &error) {
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE") {
        error = QStringLiteral("not a wave file");
        return std::nullopt;
    }
    AudioClip clip;
    quint16 tag = 0;
    bool haveFormat = false;
    bool haveData = false;
    qsizetype pos = 12;
    while (pos + 8 <= bytes.size() && !(haveFormat && haveData)) {
        const char *chunk = bytes.constData() + pos;
        const quint32 length = le32(chunk + 4);
        const qsizetype available = bytes.size() - pos - 8;
        // A data chunk cut short plays what is there.
        const qsizetype used = std::min<qsizetype>(length, available);
        const QByteArray id = bytes.mid(pos, 4);
        if (id == "fmt ") {
            if (used < 16) {
                error = QStringLiteral("format chunk too short");
                return std::nullopt;
            }
            tag = le16(chunk + 8);
            clip.format.channels = le16(chunk + 10);
            clip.format.sampleRate = static_cast<int>(le32(chunk + 12));
            clip.format.bitsPerSample = le16(chunk + 22);
            if (tag == kFormatExtensible && used >= 40)
                tag = le16(chunk + 8 + 24); // the sub-format's first two bytes
            haveFormat = true;
        } else if (id == "data") {
            clip.pcm = bytes.mid(pos + 8, used);
            haveData = true;
        }
        pos += 8 + used + (used & 1);
    }
    if (!haveFormat || !haveData) {
        error = QStringLiteral("wave file without format or data");
        return std::nullopt;
    }
    AudioFormat &f = clip.format;
    const bool pcm = tag == kFormatPcm && (f.bitsPerSample == 8 || f.bitsPerSample == 16 ||
                                           f.bitsPerSample == 24 || f.bitsPerSample == 32);
    const bool real = tag == kFormatFloat && f.bitsPerSample == 32;
    if (!(pcm || real) || f.channels < 1 || f.channels > 8 || f.sampleRate < 1000 ||
        f.sampleRate > 384000) {
        error = QStringLiteral("unsupported wave format");
        return std::nullopt;
    }
    f.isFloat = real;
    if (f.bitsPerSample == 24) {
        clip.pcm = widen24(clip.pcm);
        f.bitsPerSample = 32;
    }
    // Drop a partial frame at the end.
    clip.pcm.truncate(clip.pcm.size() - clip.pcm.size() % f.bytesPerFrame());
    return clip;
}

} // namespace tambolin
