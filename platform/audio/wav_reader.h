#pragma once
// Reads RIFF WAVE files: PCM of 8, 16, 24 or 32 bits and 32-bit float, also
// in the extensible header. 24-bit samples come back widened to 32 bits.

#include "platform/audio/audio_out.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace tambolin {

// Null with error set when bytes are not a wave file we can play.
std::optional<AudioClip> readWav(const QByteArray &bytes, QString &error);

} // namespace tambolin
