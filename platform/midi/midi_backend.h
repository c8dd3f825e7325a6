#pragma once
// One kind of MIDI output (the embedded synthesizer, the system's ports, the
// recorder): it lists its devices by name and opens one by name. The output
// layer numbers the devices of all backends and hands out handles.

#include "platform/midi/midi_mmsystem.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tambolin {

// An open output device. Destroying it closes the device.
class MidiPort {
public:
    virtual ~MidiPort() = default;
    // Sends one complete short message (status byte always present).
    virtual MMRESULT shortMsg(DWORD word) = 0;
    // The same message, meant to sound at dueMs (the clock layer's running
    // milliseconds, clockMilliseconds()). A device that can schedule plays
    // it at that time plus its own constant latency; the others send it now.
    virtual MMRESULT shortMsgAt(DWORD word, std::int64_t dueMs) {
        (void)dueMs;
        return shortMsg(word);
    }
    // Silences what the note-offs of the layer may not reach (held
    // pedals, release tails); the layer has already sent those note-offs.
    virtual MMRESULT reset() = 0;
};

struct MidiDeviceInfo {
    std::string name; // full name, UTF-8; the capabilities record shows its first 31 bytes
    WORD technology = MOD_MIDIPORT;
};

class MidiBackend {
public:
    virtual ~MidiBackend() = default;
    // The devices present now; ports come and go between two calls.
    virtual std::vector<MidiDeviceInfo> devices() = 0;
    // Opens the device of that name, checking that it is still there.
    virtual MMRESULT open(const std::string &name, std::unique_ptr<MidiPort> &port) = 0;
};

} // namespace tambolin
