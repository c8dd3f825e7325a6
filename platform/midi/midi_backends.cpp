#include "platform/midi/midi_backends.h"

#include "platform/midi/midi_ports.h"
#include "platform/midi/midi_synth.h"

namespace tambolin {

std::vector<std::shared_ptr<MidiBackend>> defaultMidiBackends() {
    return {
        // Sound on any desktop, with no MIDI hardware.
        std::make_shared<MidiSynthBackend>(),
        // Hardware and software instruments the user has connected.
        std::make_shared<MidiPortBackend>(),
    };
}

} // namespace tambolin
