#pragma once
// Which output the process plays wave audio on.

#include "platform/audio/audio_out.h"

#include <memory>

namespace tambolin {

// The output in use; the sound system's unless setAudioOutput chose another.
std::shared_ptr<AudioOutput> currentAudioOutput();
// nullptr goes back to the sound system.
void setAudioOutput(std::shared_ptr<AudioOutput> output);

} // namespace tambolin
