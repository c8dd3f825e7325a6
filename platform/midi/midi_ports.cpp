#include "platform/midi/midi_ports.h"

#include "platform/midi/midi_message.h"
#include "platform/midi/midi_quiet.h"

#include <alsa/asoundlib.h>
#include <jack/jack.h>
#include <rtmidi/RtMidi.h>

#include <chrono>
#include <thread>

namespace tambolin {

namespace {

// Errors after construction come here instead of standard error; the
// last one is kept so a failed call can be noticed.
void keepError(RtMidiError::Type type, const std::string &, void *userData) {
    if (type != RtMidiError::DEBUG_WARNING)
        *static_cast<bool *>(userData) = true;
}

// RtMidi prints on standard error when its constructor cannot reach the
// system, before an error callback can be set; so look first ourselves.
bool systemRunning(MidiPortBackend::System system) {
    quietMidiLibraries();
    if (system == MidiPortBackend::System::AlsaSequencer) {
        snd_seq_t *seq = nullptr;
        if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_OUTPUT, SND_SEQ_NONBLOCK) < 0)
            return false;
        snd_seq_close(seq);
        return true;
    }
    jack_status_t status{};
    jack_client_t *client = jack_client_open("tambolin-probe", JackNoStartServer, &status);
    if (!client)
        return false;
    jack_client_close(client);
    return true;
}

RtMidi::Api apiOf(MidiPortBackend::System system) {
    return system == MidiPortBackend::System::AlsaSequencer ? RtMidi::LINUX_ALSA
                                                            : RtMidi::UNIX_JACK;
}

// One connection to a MIDI system; null when it cannot be made.
struct Connection {
    std::unique_ptr<RtMidiOut> out;
    std::unique_ptr<bool> failed = std::make_unique<bool>(false);
};

Connection connect(MidiPortBackend::System system, const std::string &clientName) {
    Connection c;
    if (!systemRunning(system))
        return c;
    try {
        c.out = std::make_unique<RtMidiOut>(apiOf(system), clientName);
        c.out->setErrorCallback(keepError, c.failed.get());
    } catch (const RtMidiError &) {
        c.out.reset();
    }
    return c;
}

// The JACK MIDI inputs a port can send to, as RtMidi names them, read
// through one short-lived client: no second client just to look.
bool jackPortNames(std::vector<MidiDeviceInfo> &list) {
    quietMidiLibraries();
    jack_status_t status{};
    jack_client_t *client = jack_client_open("tambolin-probe", JackNoStartServer, &status);
    if (!client)
        return false;
    if (const char **ports =
            jack_get_ports(client, nullptr, JACK_DEFAULT_MIDI_TYPE, JackPortIsInput)) {
        for (const char **p = ports; *p; ++p)
            if (**p)
                list.push_back({*p, MOD_MIDIPORT});
        jack_free(ports);
    }
    jack_client_close(client);
    return true;
}

class SystemPort final : public MidiPort {
public:
    explicit SystemPort(Connection connection) : m_connection(std::move(connection)) {}
    ~SystemPort() override {
        // JACK hands messages on in its next process cycle: closing at once
        // would drop the note-offs just sent. ALSA delivers them as they go.
        if (m_connection.out->getCurrentApi() == RtMidi::UNIX_JACK) {
            const auto since = std::chrono::steady_clock::now() - m_lastSend;
            if (since < jackDrainTime)
                std::this_thread::sleep_for(jackDrainTime - since);
        }
        m_connection.out->closePort();
    }

    MMRESULT shortMsg(DWORD word) override {
        const unsigned char bytes[3] = {midiStatus(word), midiData1(word), midiData2(word)};
        const int length = midiMessageLength(bytes[0]);
        if (length == 0)
            return MMSYSERR_INVALPARAM;
        *m_connection.failed = false;
        m_connection.out->sendMessage(bytes, static_cast<size_t>(length));
        m_lastSend = std::chrono::steady_clock::now();
        return *m_connection.failed ? MMSYSERR_ERROR : MMSYSERR_NOERROR;
    }
    // A port has no sound of its own to cut; the note-offs are enough.
    MMRESULT reset() override { return MMSYSERR_NOERROR; }

private:
    // Two process cycles of the largest usual period (2048 frames at 44.1 kHz).
    static constexpr std::chrono::milliseconds jackDrainTime{100};

    Connection m_connection;
    std::chrono::steady_clock::time_point m_lastSend{};
};

} // namespace

MidiPortBackend::MidiPortBackend(std::vector<System> systems, std::string clientName)
    : m_systems(std::move(systems)), m_clientName(std::move(clientName)) {
    quietMidiLibraries();
}

std::vector<MidiDeviceInfo> MidiPortBackend::devices() {
    std::vector<MidiDeviceInfo> list;
    for (System system : m_systems) {
        if (system == System::Jack) {
            jackPortNames(list);
            continue;
        }
        Connection c = connect(system, m_clientName);
        if (!c.out)
            continue;
        const unsigned int count = c.out->getPortCount();
        for (unsigned int i = 0; i < count; ++i) {
            std::string name = c.out->getPortName(i);
            if (!name.empty())
                list.push_back({std::move(name), MOD_MIDIPORT});
        }
    }
    return list;
}

MMRESULT MidiPortBackend::open(const std::string &name, std::unique_ptr<MidiPort> &port) {
    for (System system : m_systems) {
        Connection c = connect(system, m_clientName);
        if (!c.out)
            continue;
        // The index is only good for this connection's listing.
        const unsigned int count = c.out->getPortCount();
        for (unsigned int i = 0; i < count; ++i) {
            if (c.out->getPortName(i) != name)
                continue;
            *c.failed = false;
            c.out->openPort(i, "out");
            if (*c.failed || !c.out->isPortOpen())
                return MIDIERR_NODEVICE;
            port = std::make_unique<SystemPort>(std::move(c));
            return MMSYSERR_NOERROR;
        }
    }
    return MIDIERR_NODEVICE;
}

} // namespace tambolin
