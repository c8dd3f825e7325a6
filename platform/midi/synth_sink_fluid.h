#pragma once
// The synthesizer's sink on the sound system: one of FluidSynth's audio
// drivers, opened when sound starts and closed when it stops, so that a
// silent player has no audio thread waking up.

#include "platform/midi/synth_sink.h"

#include <fluidsynth.h>
#include <memory>
#include <string>
#include <vector>

namespace tambolin {

class FluidSynthSink final : public SynthSink {
public:
    // settings: the synthesizer's (sample rate, driver options); must outlive
    // the sink. drivers: tried in order at every start; "file" is never used.
    FluidSynthSink(fluid_settings_t *settings, std::vector<std::string> drivers);
    ~FluidSynthSink() override;

    double sampleRate() const override;
    std::int64_t nowMicros() const override;
    bool start(Render render) override;
    void stop() override;

private:
    static int callback(void *data, int len, int nfx, float *fx[], int nout, float *out[]);

    fluid_settings_t *m_settings;
    std::vector<std::string> m_drivers;
    Render m_render;
    fluid_audio_driver_t *m_driver = nullptr;
};

} // namespace tambolin
