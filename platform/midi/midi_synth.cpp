#include "platform/midi/midi_synth.h"

#include "platform/midi/midi_fluid.h"
#include "platform/midi/midi_quiet.h"
#include "platform/midi/synth_sink_fluid.h"

namespace tambolin {

namespace {

class SynthPort final : public MidiPort {
public:
    SynthPort(fluid::Instrument instrument, std::unique_ptr<SynthSink> sink,
              TimedSynth::Options timing)
        : m_instrument(std::move(instrument)), m_sink(std::move(sink)),
          m_timed(std::make_unique<TimedSynth>(m_instrument.synth.get(), *m_sink, timing)) {}
    ~SynthPort() override {
        // The audio thread must stop before the synthesizer it pulls from goes.
        m_timed.reset();
        m_sink.reset();
    }

    bool start() { return m_timed->start(); }

    MMRESULT shortMsg(DWORD word) override {
        m_timed->play(word, std::nullopt);
        return MMSYSERR_NOERROR;
    }
    MMRESULT shortMsgAt(DWORD word, std::int64_t dueMs) override {
        m_timed->play(word, dueMs);
        return MMSYSERR_NOERROR;
    }
    MMRESULT reset() override {
        m_timed->reset();
        return MMSYSERR_NOERROR;
    }

private:
    fluid::Instrument m_instrument;
    std::unique_ptr<SynthSink> m_sink;
    std::unique_ptr<TimedSynth> m_timed;
};

} // namespace

MidiSynthBackend::MidiSynthBackend() : MidiSynthBackend(Options{}) {}

MidiSynthBackend::MidiSynthBackend(Options options) : m_options(std::move(options)) {
    quietMidiLibraries();
}

std::vector<MidiDeviceInfo> MidiSynthBackend::devices() {
    // Listed even without a sound font or audio output, so that opening it
    // tells the user what is missing.
    return {MidiDeviceInfo{deviceName, MOD_SWSYNTH}};
}

MMRESULT MidiSynthBackend::open(const std::string &name, std::unique_ptr<MidiPort> &port) {
    if (name != deviceName)
        return MIDIERR_NODEVICE;
    const std::string soundFont =
        m_options.soundFont.empty() ? fluid::findSoundFont() : m_options.soundFont;
    fluid::Instrument instrument;
    switch (fluid::makeInstrument(instrument, 44100.0, soundFont)) {
    case fluid::InstrumentResult::Ok:
        break;
    case fluid::InstrumentResult::NoSoundFont:
    case fluid::InstrumentResult::BadSoundFont:
        return MMSYSERR_NOTENABLED;
    case fluid::InstrumentResult::NoMemory:
        return MMSYSERR_NOMEM;
    }
    // Under JACK the output is useless unless wired to the speakers.
    fluid_settings_setint(instrument.settings.get(), "audio.jack.autoconnect", 1);
    fluid_settings_t *settings = instrument.settings.get();
    std::unique_ptr<SynthSink> sink =
        m_options.makeSink ? m_options.makeSink(settings)
                           : std::make_unique<FluidSynthSink>(settings, m_options.audioDrivers);
    if (!sink)
        return MMSYSERR_NODRIVER;
    auto synthPort =
        std::make_unique<SynthPort>(std::move(instrument), std::move(sink), m_options.timing);
    // Opened once now, so that a missing output shows at once; it closes
    // again when nothing has sounded for a moment.
    if (synthPort->start()) {
        port = std::move(synthPort);
        return MMSYSERR_NOERROR;
    }
    return MMSYSERR_NODRIVER;
}

} // namespace tambolin
