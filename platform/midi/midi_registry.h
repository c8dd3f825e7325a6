#pragma once
// The process-wide MIDI output state behind the winmm-shaped functions: the
// table of backends, the device numbering of the last listing, the mapper's
// target and the open devices by handle.

#include "platform/midi/midi_backend.h"

#include <bitset>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tambolin {

// Environment variable: the mapper plays on the first device whose name
// contains this text (case-insensitive).
inline constexpr const char *midiMapperVariable = "TAMBOLIN_MIDI_MAPPER";

class MidiRegistry final {
public:
    static MidiRegistry &instance();

    void setBackends(std::vector<std::shared_ptr<MidiBackend>> backends);
    void useDefaultBackends();
    void setMapperTarget(std::optional<std::string> text);

    UINT deviceCount();
    MMRESULT capabilities(UINT_PTR deviceId, MIDIOUTCAPSA &caps);
    MMRESULT open(UINT deviceId, HMIDIOUT &handle);
    // dueMs: when the melody means the message to sound (see MidiPort::shortMsgAt).
    MMRESULT shortMsg(HMIDIOUT handle, DWORD word, std::optional<std::int64_t> dueMs = {});
    MMRESULT reset(HMIDIOUT handle);
    MMRESULT close(HMIDIOUT handle);

private:
    struct Device {
        std::shared_ptr<MidiBackend> backend;
        MidiDeviceInfo info;
    };
    struct OpenDevice {
        Device device;
        std::unique_ptr<MidiPort> port;
        Byte runningStatus = 0;
        std::bitset<16 * 128> sounding; // channel * 128 + key
    };

    std::vector<std::shared_ptr<MidiBackend>> &backends();
    std::vector<Device> listDevices();
    const std::vector<Device> &listing();
    std::optional<Device> mapperTarget();
    MMRESULT openDevice(const Device &device, HMIDIOUT &handle);
    static MMRESULT send(OpenDevice &open, DWORD word, std::optional<std::int64_t> dueMs = {});
    static void silence(OpenDevice &open);

    std::mutex m_mutex;
    std::optional<std::vector<std::shared_ptr<MidiBackend>>> m_backends;
    std::optional<std::vector<Device>> m_listing;
    std::optional<std::string> m_mapperTarget;
    std::map<HMIDIOUT, OpenDevice> m_open;
    HMIDIOUT m_lastHandle = 0;
};

} // namespace tambolin
