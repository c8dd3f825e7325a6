#include "platform/midi/offline_synth.h"

#include "platform/midi/midi_fluid.h"
#include "platform/midi/midi_message.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>

namespace tambolin {

struct OfflineSynth::Impl {
    std::string soundFont;
    // A synthesizer that has never played. A reset one still carries reverb
    // and release tails from the last rendering, so each rendering takes a
    // fresh one.
    std::optional<fluid::Instrument> fresh;

    fluid::InstrumentResult prepare() {
        fluid::Instrument instrument;
        const fluid::InstrumentResult result =
            fluid::makeInstrument(instrument, sampleRate, soundFont);
        if (result == fluid::InstrumentResult::Ok)
            fresh = std::move(instrument);
        return result;
    }
};

namespace {

std::int64_t frameAt(Long timeMs) {
    return std::max<std::int64_t>(0, std::int64_t{timeMs} * OfflineSynth::sampleRate / 1000);
}

} // namespace

OfflineSynth::OfflineSynth(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}

OfflineSynth::~OfflineSynth() = default;

std::unique_ptr<OfflineSynth> OfflineSynth::create(const std::string &soundFont,
                                                   std::string &error) {
    auto impl = std::make_unique<Impl>();
    impl->soundFont = soundFont.empty() ? fluid::findSoundFont() : soundFont;
    const fluid::InstrumentResult result = impl->prepare();
    if (result != fluid::InstrumentResult::Ok) {
        error = fluid::describe(result, impl->soundFont);
        return nullptr;
    }
    return std::unique_ptr<OfflineSynth>(new OfflineSynth(std::move(impl)));
}

std::vector<float> OfflineSynth::renderFloat(const std::vector<TimedMidiMessage> &messages,
                                             Long durationMs) {
    if (!m_impl->fresh && m_impl->prepare() != fluid::InstrumentResult::Ok)
        throw std::runtime_error("the sound font can no longer be loaded");
    const fluid::Instrument instrument = std::move(*m_impl->fresh);
    m_impl->fresh.reset();
    fluid_synth_t *synth = instrument.synth.get();

    std::vector<TimedMidiMessage> ordered = messages;
    std::stable_sort(
        ordered.begin(), ordered.end(),
        [](const TimedMidiMessage &a, const TimedMidiMessage &b) { return a.timeMs < b.timeMs; });

    const std::int64_t total = frameAt(durationMs);
    std::vector<float> samples(static_cast<std::size_t>(total) * channels, 0.0f);
    std::int64_t done = 0;
    // Renders up to frame `until` in blocks the synthesizer accepts.
    auto renderTo = [&](std::int64_t until) {
        until = std::min(until, total);
        while (done < until) {
            const int block = static_cast<int>(std::min<std::int64_t>(until - done, 4096));
            float *out = samples.data() + done * channels;
            fluid_synth_write_float(synth, block, out, 0, channels, out, 1, channels);
            done += block;
        }
    };
    for (const TimedMidiMessage &m : ordered) {
        renderTo(frameAt(m.timeMs));
        // Only messages a device would accept; the rest are dropped.
        if (midiMessageLength(midiStatus(m.word)) > 0)
            fluid::play(synth, m.word);
    }
    renderTo(total);
    return samples;
}

std::vector<std::int16_t> OfflineSynth::renderInt16(const std::vector<TimedMidiMessage> &messages,
                                                    Long durationMs) {
    return toInt16(renderFloat(messages, durationMs));
}

std::vector<std::int16_t> toInt16(const std::vector<float> &samples) {
    std::vector<std::int16_t> out(samples.size());
    std::transform(samples.begin(), samples.end(), out.begin(), [](float s) {
        const float clipped = std::isfinite(s) ? std::clamp(s, -1.0f, 1.0f) : 0.0f;
        return static_cast<std::int16_t>(std::lround(clipped * 32767.0f));
    });
    return out;
}

} // namespace tambolin
