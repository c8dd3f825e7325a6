#include "platform/audio/audio_device.h"

#include "platform/audio/audio_sdl.h"

#include <mutex>

namespace tambolin {

namespace {

struct OutputChoice {
    std::mutex mutex;
    std::shared_ptr<AudioOutput> chosen;
};

OutputChoice &choice() {
    static OutputChoice c;
    return c;
}

} // namespace

std::shared_ptr<AudioOutput> currentAudioOutput() {
    OutputChoice &c = choice();
    std::lock_guard lock(c.mutex);
    if (!c.chosen)
        c.chosen = std::make_shared<SdlAudioOutput>();
    return c.chosen;
}

void setAudioOutput(std::shared_ptr<AudioOutput> output) {
    OutputChoice &c = choice();
    std::lock_guard lock(c.mutex);
    c.chosen = std::move(output);
}

} // namespace tambolin
