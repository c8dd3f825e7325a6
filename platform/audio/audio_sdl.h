#pragma once
// The sound system's output through SDL: one SDL audio device per open clip,
// fed from the clip by SDL's callback.

#include "platform/audio/audio_out.h"

namespace tambolin {

class SdlAudioOutput final : public AudioOutput {
public:
    std::unique_ptr<AudioStream> open(std::shared_ptr<const AudioClip> clip,
                                      QString &error) override;
};

} // namespace tambolin
