#include "platform/audio/wav_stream_writer.h"

#include "platform/audio/wav_writer.h"

#include <QtEndian>
#include <cerrno>
#include <cstring>
#include <limits>
#include <unistd.h>

namespace tambolin {

std::unique_ptr<WavStreamWriter> WavStreamWriter::create(int fd, int channels, int sampleRate,
                                                         std::uint64_t frames, QString &error) {
    if (fd < 0 || channels < 1 || channels > 8 || sampleRate < 1) {
        error = QStringLiteral("invalid sample layout");
        return nullptr;
    }
    const std::uint64_t limit = (std::numeric_limits<std::uint32_t>::max() - 36) / 2;
    if (frames > limit / static_cast<std::uint64_t>(channels)) {
        error = QStringLiteral("too much sound for a WAV file");
        return nullptr;
    }
    const auto dataBytes = static_cast<std::uint32_t>(frames * static_cast<unsigned>(channels) * 2);
    std::unique_ptr<WavStreamWriter> writer(new WavStreamWriter(fd, channels, frames));
    const QByteArray header = wavHeader(channels, sampleRate, dataBytes);
    if (!writer->writeAll(header.constData(), static_cast<std::size_t>(header.size()), error))
        return nullptr;
    return writer;
}

WavStreamWriter::WavStreamWriter(int fd, int channels, std::uint64_t frames)
    : m_fd(fd), m_channels(channels), m_framesLeft(frames) {}

bool WavStreamWriter::writeAll(const char *data, std::size_t size, QString &error) {
    while (size > 0) {
        const ssize_t n = ::write(m_fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = QString::fromLocal8Bit(std::strerror(n < 0 ? errno : EIO));
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool WavStreamWriter::write(const std::int16_t *samples, std::size_t frames, QString &error) {
    if (frames > m_framesLeft) {
        error = QStringLiteral("more sound than the header announces");
        return false;
    }
    const std::size_t count = frames * static_cast<std::size_t>(m_channels);
    m_buffer.resize(static_cast<qsizetype>(count * 2));
    qToLittleEndian<std::int16_t>(samples, static_cast<qsizetype>(count), m_buffer.data());
    if (!writeAll(m_buffer.constData(), count * 2, error))
        return false;
    m_framesLeft -= frames;
    return true;
}

bool WavStreamWriter::finish(QString &error) {
    if (m_framesLeft != 0) {
        error = QStringLiteral("less sound than the header announces");
        return false;
    }
    return true;
}

} // namespace tambolin
