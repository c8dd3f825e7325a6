#include "platform/audio/wav_writer.h"

#include <QByteArray>
#include <QSaveFile>
#include <QtEndian>
#include <limits>

namespace tambolin {

namespace {

void put16(QByteArray &out, std::uint16_t v) {
    char bytes[2];
    qToLittleEndian(v, bytes);
    out.append(bytes, 2);
}

void put32(QByteArray &out, std::uint32_t v) {
    char bytes[4];
    qToLittleEndian(v, bytes);
    out.append(bytes, 4);
}

} // namespace

QByteArray wavHeader(int channels, int sampleRate, std::uint32_t dataBytes) {
    const auto blockAlign = static_cast<std::uint16_t>(channels * 2);
    QByteArray header;
    header.append("RIFF", 4);
    put32(header, 36 + dataBytes);
    header.append("WAVEfmt ", 8);
    put32(header, 16);
    put16(header, 1); // PCM
    put16(header, static_cast<std::uint16_t>(channels));
    put32(header, static_cast<std::uint32_t>(sampleRate));
    put32(header, static_cast<std::uint32_t>(sampleRate) * blockAlign);
    put16(header, blockAlign);
    put16(header, 16);
    header.append("data", 4);
    put32(header, dataBytes);
    return header;
}

bool writeWav(const QString &path, const std::vector<std::int16_t> &samples, int channels,
              int sampleRate, QString &error) {
    if (channels < 1 || channels > 8 || sampleRate < 1 ||
        samples.size() % static_cast<std::size_t>(channels) != 0) {
        error = QStringLiteral("invalid sample layout");
        return false;
    }
    const std::uint64_t dataBytes = std::uint64_t{samples.size()} * 2;
    // The RIFF size fields are 32-bit.
    if (dataBytes > std::numeric_limits<std::uint32_t>::max() - 36) {
        error = QStringLiteral("too much sound for a WAV file");
        return false;
    }
    const QByteArray header =
        wavHeader(channels, sampleRate, static_cast<std::uint32_t>(dataBytes));

    QByteArray data;
    data.reserve(static_cast<qsizetype>(dataBytes));
    for (std::int16_t s : samples)
        put16(data, static_cast<std::uint16_t>(s));

    // Written aside and renamed, so a failure never leaves half a file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(header) != header.size() ||
        file.write(data) != data.size() || !file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

} // namespace tambolin
