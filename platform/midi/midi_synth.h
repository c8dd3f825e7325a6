#pragma once
// The embedded General MIDI synthesizer: the device a user has without any
// MIDI hardware. Opening it loads the sound font and opens an audio output.

#include "platform/midi/midi_backend.h"

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
