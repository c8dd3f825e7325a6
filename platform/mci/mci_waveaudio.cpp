#include "platform/mci/mci_waveaudio.h"

#include "platform/audio/audio_device.h"

#include <algorithm>

namespace tambolin {

MciWaveAudio::MciWaveAudio(AudioClip clip)
    : m_clip(std::make_shared<const AudioClip>(std::move(clip))) {}

std::int64_t MciWaveAudio::toMs(std::int64_t frames) const {
    return frames * 1000 / m_clip->format.sampleRate;
}

std::int64_t MciWaveAudio::toFrames(std::int64_t ms) const {
    return std::min(m_clip->frames(), ms * m_clip->format.sampleRate / 1000);
}

std::int64_t MciWaveAudio::lengthMs() const {
    return toMs(m_clip->frames());
}

std::int64_t MciWaveAudio::positionMs() const {
    return toMs(m_stream ? m_stream->position() : m_positionFrame);
}

MCIERROR MciWaveAudio::play(std::int64_t fromMs, std::int64_t toMs) {
    if (!m_stream) {
        QString error;
        m_stream = currentAudioOutput()->open(m_clip, error);
        if (!m_stream)
            return MCIERR_WAVE_OUTPUTSUNSUITABLE;
    }
    // The end of the file is its last frame, whatever ms rounding gives.
    m_endFrame = toMs >= lengthMs() ? m_clip->frames() : toFrames(toMs);
    m_stream->play(toFrames(fromMs), m_endFrame);
    m_mode = Mode::Playing;
    pump();
    return 0;
}

void MciWaveAudio::pump() {
    if (m_mode == Mode::Playing && m_stream && m_stream->finished())
        stop();
}

void MciWaveAudio::pause() {
    pump();
    if (m_mode != Mode::Playing)
        return;
    m_stream->pause();
    m_mode = Mode::Paused;
}

void MciWaveAudio::stop() {
    if (m_stream) {
        m_stream->pause();
        m_positionFrame = m_stream->position();
        m_stream.reset();
    }
    m_mode = Mode::Stopped;
}

MCIERROR MciWaveAudio::resume() {
    if (m_mode != Mode::Paused || !m_stream)
        return 0;
    m_stream->play(m_stream->position(), m_endFrame);
    m_mode = Mode::Playing;
    return 0;
}

void MciWaveAudio::seek(std::int64_t ms) {
    stop();
    m_positionFrame = toFrames(ms);
}

QString MciWaveAudio::statusItem(const QString &item) const {
    const AudioFormat &f = m_clip->format;
    if (item == QLatin1String("channels"))
        return QString::number(f.channels);
    if (item == QLatin1String("samplespersec"))
        return QString::number(f.sampleRate);
    if (item == QLatin1String("bitspersample"))
        return QString::number(f.bitsPerSample);
    if (item == QLatin1String("bytespersec"))
        return QString::number(std::int64_t(f.sampleRate) * f.bytesPerFrame());
    return {};
}

} // namespace tambolin
