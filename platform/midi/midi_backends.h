#pragma once
// The MIDI outputs a user gets, in order of preference: the first one is
// where the MIDI mapper plays unless told otherwise.

#include "platform/midi/midi_backend.h"

#include <memory>
#include <vector>

namespace tambolin {

std::vector<std::shared_ptr<MidiBackend>> defaultMidiBackends();

} // namespace tambolin
