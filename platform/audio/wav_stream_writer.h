#pragma once
// A 16-bit PCM WAV file written straight to an open descriptor, such as
// standard output. A pipe cannot be rewound to fill in the sizes at the end,
// so the length is given first and the header written with it; the output
// must then hold exactly that many frames.

#include "platform/audio/sound_writer.h"

#include <QByteArray>
#include <cstdint>
#include <memory>

namespace tambolin {

class WavStreamWriter final : public SoundWriter {
public:
    // fd stays open and the caller's. Null, with error set, when the layout
    // is invalid, frames do not fit a WAV file, or the header cannot be
    // written.
    static std::unique_ptr<WavStreamWriter> create(int fd, int channels, int sampleRate,
                                                   std::uint64_t frames, QString &error);

    // Refuses frames beyond the length given to create().
    bool write(const std::int16_t *samples, std::size_t frames, QString &error) override;
    // False when fewer frames came than the header announces.
    bool finish(QString &error) override;

private:
    WavStreamWriter(int fd, int channels, std::uint64_t frames);
    bool writeAll(const char *data, std::size_t size, QString &error);

    int m_fd;
    int m_channels;
    std::uint64_t m_framesLeft;
    QByteArray m_buffer; // one block in little-endian order
};

} // namespace tambolin
