#include "platform/midi/midi_synth.h"

#include "platform/midi/midi_fluid.h"
#include "platform/midi/midi_quiet.h"

namespace tambolin {

namespace {

class SynthPort final : public MidiPort {
public:
    SynthPort(fluid::Instrument instrument, fluid::AudioDriver driver)
        : m_instrument(std::move(instrument)), m_driver(std::move(driver)) {}
    ~SynthPort() override {
        // The audio thread must stop before the synthesizer it pulls from goes.
        m_driver.reset();
    }

    MMRESULT shortMsg(DWORD word) override {
        fluid::play(m_instrument.synth.get(), word);
        return MMSYSERR_NOERROR;
    }
    MMRESULT reset() override {
        fluid_synth_all_sounds_off(m_instrument.synth.get(), -1);
        return MMSYSERR_NOERROR;
    }

private:
    fluid::Instrument m_instrument;
    fluid::AudioDriver m_driver;
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
    for (const std::string &driverName : m_options.audioDrivers) {
        if (driverName == "file")
            continue;
        if (fluid_settings_setstr(instrument.settings.get(), "audio.driver", driverName.c_str()) ==
            FLUID_FAILED)
            continue;
        fluid::AudioDriver driver(
            new_fluid_audio_driver(instrument.settings.get(), instrument.synth.get()));
        if (driver) {
            port = std::make_unique<SynthPort>(std::move(instrument), std::move(driver));
            return MMSYSERR_NOERROR;
        }
    }
    return MMSYSERR_NODRIVER;
}

} // namespace tambolin
