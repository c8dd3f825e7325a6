#include "platform/midi/midi_setup.h"

#include "platform/midi/midi_registry.h"

namespace tambolin {

void setMidiBackends(std::vector<std::shared_ptr<MidiBackend>> backends) {
    MidiRegistry::instance().setBackends(std::move(backends));
}

void useDefaultMidiBackends() {
    MidiRegistry::instance().useDefaultBackends();
}

std::shared_ptr<MidiRecorder> useMidiRecorder(std::vector<std::string> deviceNames) {
    auto recorder = std::make_shared<MidiRecorder>(std::move(deviceNames));
    setMidiBackends({recorder});
    return recorder;
}

void setMidiMapperTarget(std::optional<std::string> text) {
    MidiRegistry::instance().setMapperTarget(std::move(text));
}

} // namespace tambolin
