#pragma once
// Choosing where MIDI output goes, beyond what the device list offers: the
// mapper's target, and a table of backends of one's own (a recorder for
// tests and for the command line).

#include "platform/midi/midi_backend.h"
#include "platform/midi/midi_recorder.h"
#include "platform/midi/midi_registry.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tambolin {

// Replaces the devices of the whole process. Open handles keep their
// devices; device IDs count from the next listing.
void setMidiBackends(std::vector<std::shared_ptr<MidiBackend>> backends);
// Back to the embedded synthesizer followed by the system's ports.
void useDefaultMidiBackends();
// A fresh recorder as the only backend, so the mapper and device 0 are its
// first device; returns it for reading back what was sent.
std::shared_ptr<MidiRecorder> useMidiRecorder(std::vector<std::string> deviceNames = {
                                                  MidiRecorder::defaultName});

// The mapper plays on the first device whose name contains text
// (case-insensitive); an empty text means the first device of all.
// std::nullopt goes back to $TAMBOLIN_MIDI_MAPPER.
void setMidiMapperTarget(std::optional<std::string> text);

} // namespace tambolin
