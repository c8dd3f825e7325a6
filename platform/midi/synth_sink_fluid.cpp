#include "platform/midi/synth_sink_fluid.h"

#include <time.h>

namespace tambolin {

namespace {

std::int64_t monotonicMicros() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

} // namespace

FluidSynthSink::FluidSynthSink(fluid_settings_t *settings, std::vector<std::string> drivers)
    : m_settings(settings), m_drivers(std::move(drivers)) {}

FluidSynthSink::~FluidSynthSink() {
    stop();
}

double FluidSynthSink::sampleRate() const {
    double rate = 44100.0;
    fluid_settings_getnum(m_settings, "synth.sample-rate", &rate);
    return rate;
}

std::int64_t FluidSynthSink::nowMicros() const {
    return monotonicMicros();
}

bool FluidSynthSink::start(Render render) {
    stop();
    m_render = std::move(render);
    for (const std::string &name : m_drivers) {
        // The file driver silently writes a WAV file into the working folder.
        if (name == "file" ||
            fluid_settings_setstr(m_settings, "audio.driver", name.c_str()) == FLUID_FAILED)
            continue;
        m_driver = new_fluid_audio_driver2(m_settings, &FluidSynthSink::callback, this);
        if (m_driver)
            return true;
    }
    m_render = nullptr;
    return false;
}

void FluidSynthSink::stop() {
    if (m_driver) {
        // Joins the audio thread: no period runs after this.
        delete_fluid_audio_driver(m_driver);
        m_driver = nullptr;
    }
    m_render = nullptr;
}

int FluidSynthSink::callback(void *data, int len, int, float *[], int nout, float *out[]) {
    auto *self = static_cast<FluidSynthSink *>(data);
    if (nout < 2 || len <= 0)
        return FLUID_OK;
    self->m_render(out[0], out[1], len, monotonicMicros());
    return FLUID_OK;
}

} // namespace tambolin
