#pragma once
// Writes 16-bit PCM samples as a RIFF WAVE file.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace tambolin {

// The 44-byte header of a 16-bit PCM file holding dataBytes bytes of
// samples (at most 4 GiB less the header: the sizes are 32-bit).
QByteArray wavHeader(int channels, int sampleRate, std::uint32_t dataBytes);

// samples are interleaved by channel. Returns false with error set when the
// file cannot be written or the data is too large for the format; a
// partly written file is removed.
bool writeWav(const QString &path, const std::vector<std::int16_t> &samples, int channels,
              int sampleRate, QString &error);

} // namespace tambolin
