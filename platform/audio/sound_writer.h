#pragma once
// Where rendered sound is written, block by block: a sound file by name
// (sound_file_writer.h) or an open descriptor (wav_stream_writer.h).

#include <QString>
#include <cstddef>
#include <cstdint>

namespace tambolin {

class SoundWriter {
public:
    virtual ~SoundWriter() = default;
    // frames frames of interleaved 16-bit samples. False, with error set,
    // when they cannot be written; the output is then left unfinished.
    virtual bool write(const std::int16_t *samples, std::size_t frames, QString &error) = 0;
    // Completes the output. False, with error set, when it cannot be.
    virtual bool finish(QString &error) = 0;
};

} // namespace tambolin
