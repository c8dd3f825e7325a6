#pragma once
// The sound libraries report every failed probe on standard error (no sound
// card, no sequencer, no JACK server). The player reports failures through
// result codes instead, so their own printing is switched off, once.

namespace tambolin {

// Also stops libjack from starting a JACK server of its own on our behalf.
void quietMidiLibraries();

} // namespace tambolin
