#pragma once
// The multimedia command-string interface: "open", "play", "pause",
// "resume", "stop", "seek", "set", "status" and "close" on Standard MIDI
// Files (the sequencer, through the MIDI output layer) and wave files (the
// wave-audio device, through the audio output layer). Devices belong to the
// thread that opened them and play while its event loop runs.

#include "platform/mci/mci_errors.h"

namespace tambolin {

// Runs command; a reply (at most returnLength - 1 bytes, NUL-terminated) goes
// to returnString when that is not null. Command and reply are ANSI text.
// Completion messages are not sent: hwndCallback is accepted and ignored.
MCIERROR mciSendStringA(const char *command, char *returnString, UINT returnLength,
                        Long hwndCallback) noexcept;

// Closes every device of this thread, as "close all" does.
void mciCloseAll() noexcept;

} // namespace tambolin
