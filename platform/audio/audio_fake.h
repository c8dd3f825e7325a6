#pragma once
// An audio output that plays nothing: each open clip is taken at its sample
// rate in the clock layer's time (so a virtual clock drives it), and every
// frame taken is kept for reading back.

#include "platform/audio/audio_out.h"

#include <memory>
#include <vector>

namespace tambolin {

class FakeAudioOutput final : public AudioOutput {
public:
    FakeAudioOutput();
    std::unique_ptr<AudioStream> open(std::shared_ptr<const AudioClip> clip,
                                      QString &error) override;

    // Refuses every clip from now on, as an output without a device does.
    void setUnavailable(bool unavailable);

    // The formats of the clips opened so far.
    std::vector<AudioFormat> openedFormats() const;
    // The bytes taken so far by all streams, in the order they were taken.
    QByteArray played() const;
    // Streams open now.
    int openStreams() const;

    struct Log;

private:
    std::shared_ptr<Log> m_log;
};

} // namespace tambolin
