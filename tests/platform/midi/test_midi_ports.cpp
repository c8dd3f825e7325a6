// The system's MIDI ports through the output layer, on a JACK server of the
// test's own (dummy driver, no sound hardware): what is sent through a
// device handle arrives byte for byte on a port another client listens on.

#include "platform/midi/midi_out.h"
#include "platform/midi/midi_setup.h"
#include "support/jack_server.h"
#include "support/skip.h"

#include <QProcess>
#include <QStandardPaths>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <jack/jack.h>
#include <rtmidi/RtMidi.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <thread>
#include <unistd.h>

namespace tambolin {
namespace {

using Bytes = std::vector<unsigned char>;
using namespace std::chrono_literals;

// A client of the server that listens on one MIDI input port.
class Listener final {
public:
    Listener() : m_in(RtMidi::UNIX_JACK, "tambolin-test") {
        m_in.ignoreTypes(false, false, false);
        m_in.openVirtualPort("in");
    }
    static constexpr const char *portName = "tambolin-test:in";

    Bytes next() {
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        Bytes message;
        while (std::chrono::steady_clock::now() < deadline) {
            m_in.getMessage(&message);
            if (!message.empty())
                return message;
            std::this_thread::sleep_for(2ms);
        }
        return {};
    }

private:
    RtMidiIn m_in;
};

std::string capsName(UINT id) {
    MIDIOUTCAPSA caps{};
    if (midiOutGetDevCapsA(id, &caps, sizeof caps) != MMSYSERR_NOERROR)
        return {};
    return std::string(caps.szPname, strnlen(caps.szPname, sizeof caps.szPname));
}

class MidiPortsTest : public ::testing::Test {
protected:
    void SetUp() override {
        const QString jackd = QStandardPaths::findExecutable("jackd");
        if (jackd.isEmpty())
            TAMBOLIN_SKIP_WITHOUT(
                "jackd is not installed (Debian package jackd2): no JACK ports to test");
        ASSERT_EQ(m_server.start().toStdString(), "");
        // The test's own clients stay quiet while the server settles.
        jack_set_error_function([](const char *) {});
        unsetenv(midiMapperVariable);
        setMidiMapperTarget(std::nullopt);
        useDefaultMidiBackends();
    }
    void TearDown() override {
        setMidiMapperTarget(std::nullopt);
        useDefaultMidiBackends();
    }

    // The device ID the listener's port has in a fresh listing, or -1.
    static int findPort() {
        const UINT count = midiOutGetNumDevs();
        for (UINT id = 0; id < count; ++id) {
            if (capsName(id) == Listener::portName)
                return static_cast<int>(id);
        }
        return -1;
    }

    testing::JackServer m_server;
};

TEST_F(MidiPortsTest, ShortMessagesArriveByteForByte) {
    Listener listener;
    const int id = findPort();
    ASSERT_GE(id, 1) << "the port is listed after the synthesizer";

    HMIDIOUT h = 0;
    ASSERT_EQ(midiOutOpen(&h, static_cast<UINT>(id), 0, 0, CALLBACK_WINDOW), MMSYSERR_NOERROR);
    EXPECT_EQ(midiOutShortMsg(h, 0x7FC0), MMSYSERR_NOERROR);
    EXPECT_EQ(listener.next(), (Bytes{0xC0, 0x7F}));
    EXPECT_EQ(midiOutShortMsg(h, 0x793090), MMSYSERR_NOERROR);
    EXPECT_EQ(listener.next(), (Bytes{0x90, 0x30, 0x79}));
    EXPECT_EQ(midiOutShortMsg(h, 0x103080), MMSYSERR_NOERROR);
    EXPECT_EQ(listener.next(), (Bytes{0x80, 0x30, 0x10}));

    // A reset turns off exactly the note still sounding.
    EXPECT_EQ(midiOutShortMsg(h, 0x79539F), MMSYSERR_NOERROR);
    EXPECT_EQ(listener.next(), (Bytes{0x9F, 0x53, 0x79}));
    EXPECT_EQ(midiOutReset(h), MMSYSERR_NOERROR);
    EXPECT_EQ(listener.next(), (Bytes{0x8F, 0x53, 0x00}));
    EXPECT_EQ(midiOutClose(h), MMSYSERR_NOERROR);
    EXPECT_EQ(midiOutShortMsg(h, 0x7FC0), MMSYSERR_INVALHANDLE);
}

TEST_F(MidiPortsTest, MapperPlaysOnANamedPortAndAGonePortIsNotOpened) {
    auto listener = std::make_unique<Listener>();
    setMidiMapperTarget("TAMBOLIN-TEST");
    HMIDIOUT h = 0;
    ASSERT_EQ(midiOutOpen(&h, MIDI_MAPPER, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    EXPECT_EQ(midiOutShortMsg(h, 0x793090), MMSYSERR_NOERROR);
    EXPECT_EQ(listener->next(), (Bytes{0x90, 0x30, 0x79}));
    // Closing lets no note hang on the port.
    EXPECT_EQ(midiOutClose(h), MMSYSERR_NOERROR);
    EXPECT_EQ(listener->next(), (Bytes{0x80, 0x30, 0x00}));

    const int id = findPort();
    ASSERT_GE(id, 1);
    listener.reset(); // the port goes away after the listing
    ASSERT_EQ(midiOutOpen(&h, static_cast<UINT>(id), 0, 0, CALLBACK_NULL), MIDIERR_NODEVICE);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(midiOutOpen(&h, MIDI_MAPPER, 0, 0, CALLBACK_NULL), MIDIERR_NODEVICE);
    EXPECT_EQ(findPort(), -1);
}

// Listing the devices looks at JACK through one client only: each client
// costs the server a few of its periods to open and close.
TEST_F(MidiPortsTest, ListingOpensOneJackClient) {
    struct Count {
        std::atomic<int> clients{0};
    } count;
    jack_status_t status{};
    jack_client_t *watcher = jack_client_open("tambolin-test-watch", JackNoStartServer, &status);
    ASSERT_NE(watcher, nullptr);
    jack_set_client_registration_callback(
        watcher,
        [](const char *, int registered, void *arg) {
            if (registered)
                ++static_cast<Count *>(arg)->clients;
        },
        &count);
    ASSERT_EQ(jack_activate(watcher), 0);

    EXPECT_GE(midiOutGetNumDevs(), 1u);
    // The server tells its clients in its own time.
    const auto deadline = std::chrono::steady_clock::now() + 3s;
    while (count.clients == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(20ms);
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(count.clients.load(), 1);
    jack_client_close(watcher);
}

// With a JACK server as the only audio output, the embedded synthesizer
// finds it after the others fail, and plays, resets and closes cleanly.
TEST_F(MidiPortsTest, SynthesizerPlaysThroughJackWhenNothingElseIsThere) {
    jack_status_t status{};
    jack_client_t *watcher = jack_client_open("tambolin-test-watch", JackNoStartServer, &status);
    ASSERT_NE(watcher, nullptr);

    HMIDIOUT h = 0;
    ASSERT_EQ(midiOutOpen(&h, MIDI_MAPPER, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    // The synthesizer shows as a JACK client wired to the playback ports.
    const char **outputs =
        jack_get_ports(watcher, nullptr, JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput);
    int synthOutputs = 0;
    for (const char **p = outputs; p && *p; ++p) {
        if (std::strncmp(*p, "system:", 7) != 0) {
            ++synthOutputs;
            jack_port_t *port = jack_port_by_name(watcher, *p);
            // The server applies new connections to its graph on its own thread: under
            // load they can show a moment after the open returned.
            const auto deadline = std::chrono::steady_clock::now() + 3s;
            while (jack_port_connected(port) == 0 && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(20ms);
            EXPECT_GT(jack_port_connected(port), 0) << *p << " is not wired to the speakers";
        }
    }
    jack_free(outputs);
    EXPECT_GE(synthOutputs, 2) << "no stereo output of the synthesizer";

    EXPECT_EQ(midiOutShortMsg(h, 0x7FC0), MMSYSERR_NOERROR);
    EXPECT_EQ(midiOutShortMsg(h, 0x793090), MMSYSERR_NOERROR);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(midiOutReset(h), MMSYSERR_NOERROR);
    EXPECT_EQ(midiOutClose(h), MMSYSERR_NOERROR);
    jack_client_close(watcher);
}

} // namespace
} // namespace tambolin
