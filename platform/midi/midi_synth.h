#pragma once
// The embedded General MIDI synthesizer: the device a user has without any
// MIDI hardware. Opening it loads the sound font and opens an audio output.
// Messages with a due time sound at that time plus a constant latency, on
// the output's own sample clock; the output runs only while sound plays.

#include "platform/midi/midi_backend.h"
#include "platform/midi/synth_sink.h"
#include "platform/midi/timed_synth.h"

#include <fluidsynth.h>
#include <functional>
#include <string>
#include <vector>

namespace tambolin {

class MidiSynthBackend final : public MidiBackend {
public:
    static constexpr const char *deviceName = "Tamberlo GM Synthesizer";

    struct Options {
        // Audio outputs tried in order. The "file" driver, which silently
        // writes a WAV file into the working folder, is never used.
        std::vector<std::string> audioDrivers{"pipewire", "pulseaudio", "alsa", "jack"};
        // Empty: the usual search (fluid::findSoundFont).
        std::string soundFont;
        // Where the sound goes; empty: the first of audioDrivers that opens.
        std::function<std::unique_ptr<SynthSink>(fluid_settings_t *)> makeSink;
        TimedSynth::Options timing;
    };

    MidiSynthBackend();
    explicit MidiSynthBackend(Options options);

    std::vector<MidiDeviceInfo> devices() override;
    // MMSYSERR_NOTENABLED without a sound font, MMSYSERR_NODRIVER when no
    // audio output opens.
    MMRESULT open(const std::string &name, std::unique_ptr<MidiPort> &port) override;

private:
    Options m_options;
};

} // namespace tambolin
