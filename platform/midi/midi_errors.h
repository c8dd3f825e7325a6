#pragma once
// Readable texts for the MIDI layer's result codes.

#include "platform/midi/midi_mmsystem.h"

namespace tambolin {

// The text for a result code, or nullptr for a code the layer does not know.
const char *midiOutErrorText(MMRESULT code);

} // namespace tambolin
