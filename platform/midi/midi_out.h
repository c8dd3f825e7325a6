#pragma once
// MIDI output shaped like the multimedia system's functions the player
// calls: list the output devices, open one (or the MIDI mapper), send short
// messages, reset, close, and read a result code as text. Devices are
// numbered from the last midiOutGetNumDevs; handles of closed devices stay
// invalid. Safe to call from any thread.

#include "platform/midi/midi_mmsystem.h"

#include <cstdint>

namespace tambolin {

// Number of output devices present now (the mapper not counted). Device IDs
// 0..n-1 refer to this listing until the next call.
UINT midiOutGetNumDevs() noexcept;

// Fills the first cbmoc bytes of the 52-byte record; MIDI_MAPPER (-1)
// describes the mapper.
MMRESULT midiOutGetDevCapsA(UINT_PTR uDeviceID, MIDIOUTCAPSA *pmoc, UINT cbmoc) noexcept;

// Opens device uDeviceID, or with MIDI_MAPPER the device the mapper plays
// on. On failure *phmo is 0. Callbacks are accepted and never made.
MMRESULT midiOutOpen(HMIDIOUT *phmo, UINT uDeviceID, DWORD_PTR dwCallback, DWORD_PTR dwInstance,
                     DWORD fdwOpen) noexcept;

// dwMsg: status | data1 << 8 | data2 << 16 (status may be left out for
// running status).
MMRESULT midiOutShortMsg(HMIDIOUT hmo, DWORD dwMsg) noexcept;
// The same, for a message the melody means to sound at dueMs (clock layer
// milliseconds, clockMilliseconds()). The embedded synthesizer plays it at
// that time plus one constant latency; ports get it at once, as above.
MMRESULT midiOutShortMsg(HMIDIOUT hmo, DWORD dwMsg, std::int64_t dueMs) noexcept;

// Turns off every note this handle turned on and cuts any sound left.
MMRESULT midiOutReset(HMIDIOUT hmo) noexcept;

// Notes still sounding are turned off first.
MMRESULT midiOutClose(HMIDIOUT hmo) noexcept;

// Copies the text of mmrError, cut to cchText - 1 bytes and NUL-terminated.
MMRESULT midiOutGetErrorTextA(MMRESULT mmrError, char *pszText, UINT cchText) noexcept;

} // namespace tambolin
