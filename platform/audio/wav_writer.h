#pragma once
// Writes 16-bit PCM samples as a RIFF WAVE file.

#include <QString>
#include <cstdint>
#include <vector>

namespace tambolin {

// samples are interleaved by channel. Returns false with error set when the
// file cannot be written or the data is too large for the format; a
// partly written file is removed.
bool writeWav(const QString &path, const std::vector<std::int16_t> &samples, int channels,
              int sampleRate, QString &error);

} // namespace tambolin
