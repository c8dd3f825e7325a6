#pragma once
// The wave-audio device: a wave file played on the audio output. The
// output stream is open from play until stop or the end.

#include "platform/audio/audio_out.h"
#include "platform/mci/mci_device.h"

#include <memory>

namespace tambolin {

class MciWaveAudio final : public MciDevice {
public:
    explicit MciWaveAudio(AudioClip clip);

    QString type() const override { return QStringLiteral("waveaudio"); }
    std::int64_t lengthMs() const override;
    std::int64_t positionMs() const override;
    Mode mode() const override { return m_mode; }
    MCIERROR play(std::int64_t fromMs, std::int64_t toMs) override;
    void pause() override;
    void stop() override;
    MCIERROR resume() override;
    void seek(std::int64_t ms) override;
    void pump() override;
    QString statusItem(const QString &item) const override;

private:
    std::int64_t toMs(std::int64_t frames) const;
    std::int64_t toFrames(std::int64_t ms) const;

    std::shared_ptr<const AudioClip> m_clip;
    std::unique_ptr<AudioStream> m_stream;
    Mode m_mode = Mode::Stopped;
    std::int64_t m_positionFrame = 0; // while no stream is open
    std::int64_t m_endFrame = 0;      // of the current play
};

} // namespace tambolin
