#include "platform/midi/midi_registry.h"

#include "platform/midi/midi_backends.h"
#include "platform/midi/midi_message.h"

#include <QString>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace tambolin {

namespace {

constexpr const char *mapperName = "MIDI Mapper";

// The name field holds 31 bytes and a NUL; a UTF-8 character is never cut
// in half, so the field always decodes.
void copyName(char (&field)[MAXPNAMELEN], const std::string &name) {
    std::memset(field, 0, sizeof field);
    std::size_t length = std::min(name.size(), MAXPNAMELEN - 1);
    if (length < name.size()) {
        while (length > 0 && (static_cast<unsigned char>(name[length]) & 0xC0) == 0x80)
            --length;
    }
    std::memcpy(field, name.data(), length);
}

bool isMapper(UINT_PTR deviceId) {
    return deviceId == MIDI_MAPPER || deviceId == std::numeric_limits<UINT_PTR>::max();
}

bool sameDevice(const MidiBackend *backend, const std::string &name, const MidiBackend *other,
                const std::string &otherName) {
    return backend == other && name == otherName;
}

} // namespace

MidiRegistry &MidiRegistry::instance() {
    static MidiRegistry registry;
    return registry;
}

void MidiRegistry::setBackends(std::vector<std::shared_ptr<MidiBackend>> backends) {
    std::lock_guard lock(m_mutex);
    m_backends = std::move(backends);
    m_listing.reset();
}

void MidiRegistry::useDefaultBackends() {
    std::lock_guard lock(m_mutex);
    m_backends.reset();
    m_listing.reset();
}

void MidiRegistry::setMapperTarget(std::optional<std::string> text) {
    std::lock_guard lock(m_mutex);
    m_mapperTarget = std::move(text);
}

std::vector<std::shared_ptr<MidiBackend>> &MidiRegistry::backends() {
    // Built on first use, so nothing touches the sound libraries at load time.
    if (!m_backends)
        m_backends = defaultMidiBackends();
    return *m_backends;
}

std::vector<MidiRegistry::Device> MidiRegistry::listDevices() {
    std::vector<Device> devices;
    for (const std::shared_ptr<MidiBackend> &backend : backends()) {
        for (MidiDeviceInfo &info : backend->devices())
            devices.push_back({backend, std::move(info)});
    }
    return devices;
}

const std::vector<MidiRegistry::Device> &MidiRegistry::listing() {
    if (!m_listing)
        m_listing = listDevices();
    return *m_listing;
}

UINT MidiRegistry::deviceCount() {
    std::lock_guard lock(m_mutex);
    // Device IDs count from this listing until the next one.
    m_listing = listDevices();
    return static_cast<UINT>(m_listing->size());
}

MMRESULT MidiRegistry::capabilities(UINT_PTR deviceId, MIDIOUTCAPSA &caps) {
    std::lock_guard lock(m_mutex);
    std::memset(&caps, 0, sizeof caps);
    caps.wMid = MM_UNMAPPED;
    caps.wPid = MM_UNMAPPED;
    caps.vDriverVersion = 0x0100;
    caps.wChannelMask = 0xFFFF;
    if (isMapper(deviceId)) {
        copyName(caps.szPname, mapperName);
        caps.wTechnology = MOD_MAPPER;
        return MMSYSERR_NOERROR;
    }
    const std::vector<Device> &devices = listing();
    if (deviceId >= devices.size())
        return MMSYSERR_BADDEVICEID;
    const MidiDeviceInfo &info = devices[deviceId].info;
    copyName(caps.szPname, info.name);
    caps.wTechnology = info.technology;
    if (info.technology == MOD_SWSYNTH) {
        caps.wVoices = 16;
        caps.wNotes = 256;
    }
    return MMSYSERR_NOERROR;
}

std::optional<MidiRegistry::Device> MidiRegistry::mapperTarget() {
    std::string target;
    if (m_mapperTarget) {
        target = *m_mapperTarget;
    } else if (const char *chosen = std::getenv(midiMapperVariable)) {
        target = chosen;
    }
    // A fresh look, which leaves the numbering of the last listing alone.
    const std::vector<Device> devices = listDevices();
    for (const Device &device : devices) {
        if (target.empty() || QString::fromStdString(device.info.name)
                                  .contains(QString::fromStdString(target), Qt::CaseInsensitive))
            return device;
    }
    return std::nullopt;
}

MMRESULT MidiRegistry::open(UINT deviceId, HMIDIOUT &handle) {
    std::lock_guard lock(m_mutex);
    if (isMapper(deviceId)) {
        std::optional<Device> target = mapperTarget();
        if (!target)
            return MIDIERR_NODEVICE;
        return openDevice(*target, handle);
    }
    const std::vector<Device> &devices = listing();
    if (deviceId >= devices.size())
        return MMSYSERR_BADDEVICEID;
    // The port listed under this ID may have gone since; it is opened by
    // name or not at all, never another port that moved into its place.
    const Device device = devices[deviceId];
    const std::vector<MidiDeviceInfo> present = device.backend->devices();
    const bool stillThere =
        std::any_of(present.begin(), present.end(),
                    [&](const MidiDeviceInfo &info) { return info.name == device.info.name; });
    if (!stillThere)
        return MIDIERR_NODEVICE;
    return openDevice(device, handle);
}

MMRESULT MidiRegistry::openDevice(const Device &device, HMIDIOUT &handle) {
    for (const auto &[number, entry] : m_open) {
        if (sameDevice(entry.device.backend.get(), entry.device.info.name, device.backend.get(),
                       device.info.name))
            return MMSYSERR_ALLOCATED;
    }
    std::unique_ptr<MidiPort> port;
    MMRESULT result = MMSYSERR_ERROR;
    try {
        result = device.backend->open(device.info.name, port);
    } catch (const std::bad_alloc &) {
        return MMSYSERR_NOMEM;
    } catch (...) {
        return MMSYSERR_ERROR;
    }
    if (result != MMSYSERR_NOERROR)
        return result;
    if (!port)
        return MMSYSERR_ERROR;
    // Handle numbers are never handed out twice while the process runs a
    // reasonable time, so a stale handle finds nothing instead of another
    // device.
    do {
        m_lastHandle = m_lastHandle == std::numeric_limits<HMIDIOUT>::max() ? 1 : m_lastHandle + 1;
    } while (m_open.count(m_lastHandle) != 0);
    OpenDevice open;
    open.device = device;
    open.port = std::move(port);
    m_open.emplace(m_lastHandle, std::move(open));
    handle = m_lastHandle;
    return MMSYSERR_NOERROR;
}

MMRESULT MidiRegistry::send(OpenDevice &open, DWORD word, std::optional<std::int64_t> dueMs) {
    Byte status = midiStatus(word);
    if (status < 0x80) {
        // Running status: the data bytes moved down by one.
        if (open.runningStatus == 0)
            return MMSYSERR_INVALPARAM;
        status = open.runningStatus;
        word = status | ((word & 0xFFFF) << 8);
    }
    const int length = midiMessageLength(status);
    if (length == 0)
        return MMSYSERR_INVALPARAM;
    // A data byte with its top bit set would be read by the device as a
    // status byte of its own.
    if ((length >= 2 && midiData1(word) >= 0x80) || (length == 3 && midiData2(word) >= 0x80))
        return MMSYSERR_INVALPARAM;
    word &= length == 1 ? 0xFFu : length == 2 ? 0xFFFFu : 0xFFFFFFu;

    if (status < 0xF0)
        open.runningStatus = status;
    else if (status < 0xF8)
        open.runningStatus = 0;

    const MMRESULT result = dueMs ? open.port->shortMsgAt(word, *dueMs) : open.port->shortMsg(word);
    if (result == MMSYSERR_NOERROR) {
        const std::size_t key = (status & 0x0F) * 128u + midiData1(word);
        if ((status & 0xF0) == 0x90 && midiData2(word) != 0)
            open.sounding.set(key);
        else if ((status & 0xF0) == 0x80 || (status & 0xF0) == 0x90)
            open.sounding.reset(key);
    }
    return result;
}

void MidiRegistry::silence(OpenDevice &open) {
    for (std::size_t key = 0; key < open.sounding.size(); ++key) {
        if (open.sounding.test(key)) {
            const DWORD channel = static_cast<DWORD>(key / 128);
            const DWORD note = static_cast<DWORD>(key % 128);
            open.port->shortMsg((0x80 | channel) | (note << 8));
        }
    }
    open.sounding.reset();
}

MMRESULT MidiRegistry::shortMsg(HMIDIOUT handle, DWORD word, std::optional<std::int64_t> dueMs) {
    std::lock_guard lock(m_mutex);
    auto it = m_open.find(handle);
    if (it == m_open.end())
        return MMSYSERR_INVALHANDLE;
    return send(it->second, word, dueMs);
}

MMRESULT MidiRegistry::reset(HMIDIOUT handle) {
    std::lock_guard lock(m_mutex);
    auto it = m_open.find(handle);
    if (it == m_open.end())
        return MMSYSERR_INVALHANDLE;
    silence(it->second);
    it->second.runningStatus = 0;
    return it->second.port->reset();
}

MMRESULT MidiRegistry::close(HMIDIOUT handle) {
    std::lock_guard lock(m_mutex);
    auto it = m_open.find(handle);
    if (it == m_open.end())
        return MMSYSERR_INVALHANDLE;
    // A port keeps a note sounding after we let go of it; a device switched
    // in the middle of a melody must not leave one hanging.
    silence(it->second);
    m_open.erase(it);
    return MMSYSERR_NOERROR;
}

} // namespace tambolin
