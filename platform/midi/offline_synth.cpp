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
    // A synthesizer that has never played, loading only the samples of the
    // instruments a rendering selects: a melody uses one or two of them. A reset one still carries
    // reverb and release tails from the last rendering, so each rendering takes a fresh one.
    std::optional<fluid::Instrument> fresh;

    fluid::InstrumentResult prepare() {
        fluid::Instrument instrument;
        const fluid::InstrumentResult result = fluid::makeInstrument(
            instrument, sampleRate, soundFont, fluid::SampleLoading::OnDemand);
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

std::int64_t OfflineSynth::framesFor(Long durationMs) {
    return frameAt(durationMs);
}

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

bool OfflineSynth::render(const std::vector<TimedMidiMessage> &messages, Long durationMs,
                          RenderSink &sink) {
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
    std::vector<float> block(blockFrames * channels);
    std::size_t filled = 0; // frames of block already rendered
    std::int64_t done = 0;  // frames rendered in all
    // Renders up to frame `until`, handing each full block to the sink. A
    // message played between two calls takes effect at the start of the
    // synthesizer's next 64-frame block, however the calls cut the sound.
    auto renderTo = [&](std::int64_t until) {
        until = std::min(until, total);
        while (done < until) {
            const std::size_t frames =
                std::min<std::size_t>(static_cast<std::size_t>(until - done), blockFrames - filled);
            float *out = block.data() + filled * channels;
            fluid_synth_write_float(synth, static_cast<int>(frames), out, 0, channels, out, 1,
                                    channels);
            done += static_cast<std::int64_t>(frames);
            filled += frames;
            if (filled == blockFrames) {
                filled = 0;
                if (!sink.take(block.data(), blockFrames))
                    return false;
            }
        }
        return true;
    };
    for (const TimedMidiMessage &m : ordered) {
        if (!renderTo(frameAt(m.timeMs)))
            return false;
        // Only messages a device would accept; the rest are dropped.
        if (midiMessageLength(midiStatus(m.word)) > 0)
            fluid::play(synth, m.word);
    }
    if (!renderTo(total))
        return false;
    return filled == 0 || sink.take(block.data(), filled);
}

namespace {

class CollectingSink final : public RenderSink {
public:
    explicit CollectingSink(std::size_t samples) { m_samples.reserve(samples); }
    bool take(const float *samples, std::size_t frames) override {
        m_samples.insert(m_samples.end(), samples, samples + frames * OfflineSynth::channels);
        return true;
    }
    std::vector<float> m_samples;
};

} // namespace

std::vector<float> OfflineSynth::renderFloat(const std::vector<TimedMidiMessage> &messages,
                                             Long durationMs) {
    CollectingSink sink(static_cast<std::size_t>(frameAt(durationMs)) * channels);
    render(messages, durationMs, sink);
    return std::move(sink.m_samples);
}

std::vector<std::int16_t> OfflineSynth::renderInt16(const std::vector<TimedMidiMessage> &messages,
                                                    Long durationMs) {
    return toInt16(renderFloat(messages, durationMs));
}

void toInt16(const float *samples, std::size_t count, std::int16_t *out) {
    for (std::size_t i = 0; i < count; ++i) {
        const float s = samples[i];
        const float clipped = std::isfinite(s) ? std::clamp(s, -1.0f, 1.0f) : 0.0f;
        // Rounded half away from zero, as std::lround does but without a
        // library call per sample: v + 0.5 is exact in double for every
        // float up to 32767, so the truncation rounds correctly.
        const double v = static_cast<double>(clipped * 32767.0f);
        out[i] = static_cast<std::int16_t>(v >= 0 ? static_cast<int>(v + 0.5)
                                                  : static_cast<int>(v - 0.5));
    }
}

std::vector<std::int16_t> toInt16(const std::vector<float> &samples) {
    std::vector<std::int16_t> out(samples.size());
    toInt16(samples.data(), samples.size(), out.data());
    return out;
}

} // namespace tambolin
