#pragma once
// A MIDI output that plays nothing and records every short message with the
// clock layer's time: for tests, and for the command line to show what a
// melody would send.

#include "platform/clock/clock.h"
#include "platform/midi/midi_backend.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tambolin {

struct RecordedMidiMessage {
    SYSTEMTIME time; // currentClock().localTime() of the sending thread
    DWORD word;      // the complete message as the device received it
    std::string device;
    // When the sender meant it to sound (clock milliseconds); none for a
    // message meant for at once.
    std::optional<std::int64_t> dueMs;
};

class MidiRecorder final : public MidiBackend {
public:
    static constexpr const char *defaultName = "Tamberlo MIDI Recorder";

    explicit MidiRecorder(std::vector<std::string> deviceNames = {defaultName});

    // Devices may come and go, as ports do.
    void setDeviceNames(std::vector<std::string> deviceNames);

    std::vector<MidiDeviceInfo> devices() override;
    MMRESULT open(const std::string &name, std::unique_ptr<MidiPort> &port) override;

    // Everything recorded so far, by all of its devices, in sending order.
    std::vector<RecordedMidiMessage> messages() const;
    std::vector<DWORD> words() const;
    void clear();

    struct Log; // shared with open devices, which may outlive the recorder

private:
    std::shared_ptr<Log> m_log;
};

} // namespace tambolin
