#pragma once
// The system's MIDI output ports: the ALSA sequencer's and JACK's, listed
// by the names the system gives them. Ports come and go, so a port is
// always looked up again by name when it is opened.

#include "platform/midi/midi_backend.h"

#include <string>
#include <vector>

namespace tambolin {

class MidiPortBackend final : public MidiBackend {
public:
    enum class System { AlsaSequencer, Jack };

    // clientName: how our connection shows in the port lists of other programs.
    explicit MidiPortBackend(std::vector<System> systems = {System::AlsaSequencer, System::Jack},
                             std::string clientName = "Tamberlo Player");

    // Empty when a system is not running (no /dev/snd/seq, no JACK server).
    std::vector<MidiDeviceInfo> devices() override;
    MMRESULT open(const std::string &name, std::unique_ptr<MidiPort> &port) override;

private:
    std::vector<System> m_systems;
    std::string m_clientName;
};

} // namespace tambolin
