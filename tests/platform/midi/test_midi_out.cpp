// The MIDI output layer against the recorder: the words devices receive,
// device numbering and capabilities, handles, error codes and texts, where
// the mapper plays, and the embedded synthesizer's failures.

#include "platform/clock/clock.h"
#include "platform/midi/midi_out.h"
#include "platform/midi/midi_setup.h"
#include "platform/midi/midi_synth.h"

#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace tambolin {
namespace {

// Local time stands still until the test moves it.
class StillClock final : public Clock {
public:
    explicit StillClock(Clock &real) : m_real(real) {}
    SYSTEMTIME localTime() const override { return m_now; }
    WindowTimer *createTimer(QObject *parent) override { return m_real.createTimer(parent); }
    void set(int hour, int minute, int second, int ms) {
        m_now.wYear = 2024;
        m_now.wMonth = 3;
        m_now.wDay = 9;
        m_now.wHour = static_cast<std::uint16_t>(hour);
        m_now.wMinute = static_cast<std::uint16_t>(minute);
        m_now.wSecond = static_cast<std::uint16_t>(second);
        m_now.wMilliseconds = static_cast<std::uint16_t>(ms);
    }

private:
    Clock &m_real;
    SYSTEMTIME m_now;
};

std::string errorText(MMRESULT code) {
    char buffer[256];
    std::memset(buffer, 'x', sizeof buffer);
    if (midiOutGetErrorTextA(code, buffer, sizeof buffer) != MMSYSERR_NOERROR)
        return "<no text>";
    return buffer;
}

std::string capsName(UINT_PTR id) {
    MIDIOUTCAPSA caps;
    std::memset(&caps, 0x55, sizeof caps);
    if (midiOutGetDevCapsA(id, &caps, sizeof caps) != MMSYSERR_NOERROR)
        return "<failed>";
    return std::string(caps.szPname, strnlen(caps.szPname, sizeof caps.szPname));
}

class MidiOutTest : public ::testing::Test {
protected:
    void SetUp() override {
        unsetenv(midiMapperVariable);
        setMidiMapperTarget(std::nullopt);
        m_recorder = useMidiRecorder({"Alpha Synth", "Beta Port", "Gamma Port"});
    }
    void TearDown() override {
        for (HMIDIOUT h : m_handles)
            midiOutClose(h);
        setCurrentClock(nullptr);
        unsetenv(midiMapperVariable);
        setMidiMapperTarget(std::nullopt);
        useDefaultMidiBackends();
    }
    HMIDIOUT open(UINT id, MMRESULT expected = MMSYSERR_NOERROR) {
        HMIDIOUT h = 12345;
        EXPECT_EQ(midiOutOpen(&h, id, 0, 0, CALLBACK_WINDOW), expected) << "device " << int(id);
        if (expected != MMSYSERR_NOERROR)
            EXPECT_EQ(h, 0) << "a failed open leaves no handle";
        else
            m_handles.push_back(h);
        return h;
    }

    std::shared_ptr<MidiRecorder> m_recorder;
    std::vector<HMIDIOUT> m_handles;
};

TEST_F(MidiOutTest, PlayerWordsReachTheDeviceWithTheClockTime) {
    StillClock clock(currentClock());
    setCurrentClock(&clock);
    ASSERT_EQ(midiOutGetNumDevs(), 3u);
    const HMIDIOUT h = open(static_cast<UINT>(-1));

    clock.set(23, 59, 59, 990);
    EXPECT_EQ(midiOutShortMsg(h, 0x7FC0), MMSYSERR_NOERROR); // program 128
    EXPECT_EQ(midiOutShortMsg(h, 0x00C0), MMSYSERR_NOERROR); // program 1
    clock.set(0, 0, 0, 5);
    EXPECT_EQ(midiOutShortMsg(h, 0x793090), MMSYSERR_NOERROR); // note 48 on, velocity 121
    clock.set(0, 0, 1, 250);
    EXPECT_EQ(midiOutShortMsg(h, 0x103080), MMSYSERR_NOERROR); // note 48 off, velocity 16

    const std::vector<RecordedMidiMessage> got = m_recorder->messages();
    ASSERT_EQ(got.size(), 4u);
    EXPECT_EQ(got[0].word, 0x7FC0u);
    EXPECT_EQ(got[1].word, 0x00C0u);
    EXPECT_EQ(got[2].word, 0x793090u);
    EXPECT_EQ(got[3].word, 0x103080u);
    EXPECT_EQ(got[0].device, "Alpha Synth");
    EXPECT_EQ(got[0].time.wHour, 23);
    EXPECT_EQ(got[0].time.wMilliseconds, 990);
    EXPECT_EQ(got[2].time.wHour, 0);
    EXPECT_EQ(got[2].time.wMilliseconds, 5);
    EXPECT_EQ(got[3].time.wSecond, 1);
    EXPECT_EQ(got[3].time.wMilliseconds, 250);
}

TEST_F(MidiOutTest, MessagesADeviceCouldMisreadAreRefused) {
    const HMIDIOUT h = open(0);
    // A pitch far above the range: the note byte would be a status byte.
    EXPECT_EQ(midiOutShortMsg(h, (200 + 48) * 256 + 0x790090), MMSYSERR_INVALPARAM);
    EXPECT_EQ(midiOutShortMsg(h, 0xF0), MMSYSERR_INVALPARAM); // system exclusive
    EXPECT_EQ(midiOutShortMsg(h, 0x3C), MMSYSERR_INVALPARAM); // data with no status before
    EXPECT_TRUE(m_recorder->words().empty());

    // Running status: the data bytes move down; unused high bytes are dropped.
    EXPECT_EQ(midiOutShortMsg(h, 0x793090), MMSYSERR_NOERROR);
    EXPECT_EQ(midiOutShortMsg(h, 0x0034), MMSYSERR_NOERROR);
    EXPECT_EQ(midiOutShortMsg(h, 0xAB0005C0), MMSYSERR_NOERROR);
    EXPECT_EQ(midiOutShortMsg(h, 0xF8), MMSYSERR_NOERROR); // clock tick, one byte
    EXPECT_EQ(m_recorder->words(), (std::vector<DWORD>{0x793090, 0x003490, 0x05C0, 0xF8}));
}

TEST_F(MidiOutTest, CapabilitiesNameTheMapperAndEachDevice) {
    m_recorder->setDeviceNames(
        {"Port With A Name Longer Than Thirty-One Bytes",
         // Eleven three-byte characters: the cut falls inside the 11th.
         "\u3042\u3042\u3042\u3042\u3042\u3042\u3042\u3042\u3042\u3042\u3042"});
    ASSERT_EQ(midiOutGetNumDevs(), 2u);
    EXPECT_EQ(capsName(static_cast<UINT_PTR>(-1)), "MIDI Mapper");
    EXPECT_EQ(capsName(MIDI_MAPPER), "MIDI Mapper");
    EXPECT_EQ(capsName(0), "Port With A Name Longer Than Th");
    std::string tenCharacters;
    for (int i = 0; i < 10; ++i)
        tenCharacters += "\u3042";
    EXPECT_EQ(capsName(1), tenCharacters);
    EXPECT_EQ(capsName(2), "<failed>");

    MIDIOUTCAPSA caps;
    EXPECT_EQ(midiOutGetDevCapsA(2, &caps, sizeof caps), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(midiOutGetDevCapsA(0, nullptr, sizeof caps), MMSYSERR_INVALPARAM);
    EXPECT_EQ(midiOutGetDevCapsA(static_cast<UINT_PTR>(-1), &caps, sizeof caps), MMSYSERR_NOERROR);
    EXPECT_EQ(caps.wTechnology, MOD_MAPPER);
    EXPECT_EQ(caps.wChannelMask, 0xFFFF);

    // A short record size fills only that much.
    std::memset(&caps, 0x55, sizeof caps);
    EXPECT_EQ(midiOutGetDevCapsA(0, &caps, 10), MMSYSERR_NOERROR);
    EXPECT_EQ(std::string(caps.szPname, 2), "Po");
    EXPECT_EQ(static_cast<unsigned char>(caps.szPname[2]), 0x55);
}

TEST_F(MidiOutTest, BadDeviceIdsAndClosedHandlesFailWithTheirCodes) {
    ASSERT_EQ(midiOutGetNumDevs(), 3u);
    open(3, MMSYSERR_BADDEVICEID);
    open(1000, MMSYSERR_BADDEVICEID);
    EXPECT_NE(errorText(MMSYSERR_BADDEVICEID).find("out of range"), std::string::npos);

    const HMIDIOUT first = open(1);
    EXPECT_NE(first, 0);
    EXPECT_EQ(midiOutClose(first), MMSYSERR_NOERROR);
    m_handles.clear();
    EXPECT_EQ(midiOutShortMsg(first, 0x793090), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(midiOutReset(first), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(midiOutClose(first), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(midiOutShortMsg(0, 0x793090), MMSYSERR_INVALHANDLE); // never opened
    EXPECT_NE(errorText(MMSYSERR_INVALHANDLE).find("handle is invalid"), std::string::npos);

    // Reopening gives a new number: the stale one still reaches nothing.
    const HMIDIOUT second = open(1);
    EXPECT_NE(second, first);
    EXPECT_EQ(midiOutShortMsg(first, 0x793090), MMSYSERR_INVALHANDLE);
    EXPECT_TRUE(m_recorder->words().empty());

    HMIDIOUT h = 0;
    EXPECT_EQ(midiOutOpen(nullptr, 0, 0, 0, 0), MMSYSERR_INVALPARAM);
    EXPECT_EQ(midiOutOpen(&h, 0, 0, 0, 0x40000), MMSYSERR_INVALFLAG);
    EXPECT_EQ(midiOutOpen(&h, 0, 0, 0, CALLBACK_WINDOW | 0x1), MMSYSERR_INVALFLAG);
}

TEST_F(MidiOutTest, ADeviceOpensOnceAtATime) {
    const HMIDIOUT h = open(0);
    open(0, MMSYSERR_ALLOCATED);
    open(static_cast<UINT>(-1), MMSYSERR_ALLOCATED); // the mapper plays on device 0
    EXPECT_NE(errorText(MMSYSERR_ALLOCATED).find("already in use"), std::string::npos);
    open(1);
    EXPECT_EQ(midiOutClose(h), MMSYSERR_NOERROR);
    open(static_cast<UINT>(-1));
}

TEST_F(MidiOutTest, ErrorTextsAreCutToTheBufferAndUnknownCodesRefused) {
    char buffer[10];
    EXPECT_EQ(midiOutGetErrorTextA(MMSYSERR_BADDEVICEID, buffer, sizeof buffer), MMSYSERR_NOERROR);
    EXPECT_STREQ(buffer, "A device ");
    EXPECT_EQ(midiOutGetErrorTextA(MMSYSERR_BADDEVICEID, nullptr, 10), MMSYSERR_INVALPARAM);
    EXPECT_EQ(midiOutGetErrorTextA(MMSYSERR_BADDEVICEID, buffer, 0), MMSYSERR_INVALPARAM);
    EXPECT_EQ(midiOutGetErrorTextA(4242, buffer, sizeof buffer), MMSYSERR_BADERRNUM);

    // Every code the layer returns has a text of its own.
    const MMRESULT codes[] = {MMSYSERR_ERROR,     MMSYSERR_BADDEVICEID, MMSYSERR_NOTENABLED,
                              MMSYSERR_ALLOCATED, MMSYSERR_INVALHANDLE, MMSYSERR_NODRIVER,
                              MMSYSERR_NOMEM,     MMSYSERR_INVALFLAG,   MMSYSERR_INVALPARAM,
                              MMSYSERR_BADERRNUM, MIDIERR_NODEVICE};
    std::set<std::string> texts;
    for (MMRESULT code : codes) {
        const std::string text = errorText(code);
        EXPECT_NE(text, "<no text>") << code;
        texts.insert(text);
    }
    EXPECT_EQ(texts.size(), std::size(codes));
}

TEST_F(MidiOutTest, MapperPlaysOnTheConfiguredDevice) {
    auto playOnMapper = [&] {
        HMIDIOUT h = 0;
        const MMRESULT result = midiOutOpen(&h, MIDI_MAPPER, 0, 0, CALLBACK_NULL);
        if (result != MMSYSERR_NOERROR)
            return "error " + std::to_string(result);
        m_recorder->clear();
        midiOutShortMsg(h, 0x00C0);
        midiOutClose(h);
        const auto got = m_recorder->messages();
        return got.size() == 1 ? got[0].device : std::string("<nothing>");
    };
    EXPECT_EQ(playOnMapper(), "Alpha Synth"); // the first device of the table

    setenv(midiMapperVariable, "gamma", 1);
    EXPECT_EQ(playOnMapper(), "Gamma Port");
    setenv(midiMapperVariable, "", 1);
    EXPECT_EQ(playOnMapper(), "Alpha Synth");

    setMidiMapperTarget("BETA"); // a setting of the program wins over the environment
    setenv(midiMapperVariable, "gamma", 1);
    EXPECT_EQ(playOnMapper(), "Beta Port");

    setMidiMapperTarget("Delta");
    EXPECT_EQ(playOnMapper(), "error " + std::to_string(MIDIERR_NODEVICE));

    setMidiMapperTarget(std::nullopt);
    m_recorder->setDeviceNames({});
    EXPECT_EQ(midiOutGetNumDevs(), 0u);
    EXPECT_EQ(playOnMapper(), "error " + std::to_string(MIDIERR_NODEVICE));
}

TEST_F(MidiOutTest, PortsAreOpenedByTheNameTheyWereListedUnder) {
    ASSERT_EQ(midiOutGetNumDevs(), 3u);
    // Beta goes away after the listing: its ID must not open Gamma instead.
    m_recorder->setDeviceNames({"Alpha Synth", "Gamma Port"});
    open(1, MIDIERR_NODEVICE);
    const HMIDIOUT h = open(2);
    midiOutShortMsg(h, 0x00C0);
    ASSERT_EQ(m_recorder->messages().size(), 1u);
    EXPECT_EQ(m_recorder->messages()[0].device, "Gamma Port");
    EXPECT_NE(errorText(MIDIERR_NODEVICE).find("not found"), std::string::npos);

    // A new listing numbers what is there now.
    ASSERT_EQ(midiOutGetNumDevs(), 2u);
    EXPECT_EQ(capsName(1), "Gamma Port");
}

TEST_F(MidiOutTest, ResetAndCloseTurnOffEverySoundingNote) {
    const HMIDIOUT h = open(0);
    midiOutShortMsg(h, 0x793090); // 48 on, channel 1
    midiOutShortMsg(h, 0x793490); // 52 on
    midiOutShortMsg(h, 0x40379A); // 55 on, channel 11
    midiOutShortMsg(h, 0x103480); // 52 off
    midiOutShortMsg(h, 0x003C90); // 60 "on" with velocity 0 is an off
    m_recorder->clear();

    EXPECT_EQ(midiOutReset(h), MMSYSERR_NOERROR);
    EXPECT_EQ(m_recorder->words(), (std::vector<DWORD>{0x3080, 0x378A}));
    m_recorder->clear();
    EXPECT_EQ(midiOutReset(h), MMSYSERR_NOERROR);
    EXPECT_TRUE(m_recorder->words().empty()) << "nothing left to silence";

    // Switching devices mid-melody closes without a reset first.
    midiOutShortMsg(h, 0x793990);
    m_recorder->clear();
    EXPECT_EQ(midiOutClose(h), MMSYSERR_NOERROR);
    m_handles.clear();
    EXPECT_EQ(m_recorder->words(), (std::vector<DWORD>{0x3980}));
}

// The embedded synthesizer, made to fail in the ways a user's machine can.
TEST_F(MidiOutTest, SynthesizerFailuresSayWhatIsMissing) {
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(work.path()));

    MidiSynthBackend::Options fileOnly;
    fileOnly.audioDrivers = {"file"};
    setMidiBackends({std::make_shared<MidiSynthBackend>(fileOnly)});
    ASSERT_EQ(midiOutGetNumDevs(), 1u);
    EXPECT_EQ(capsName(0), MidiSynthBackend::deviceName);
    open(MIDI_MAPPER, MMSYSERR_NODRIVER);
    EXPECT_FALSE(QDir(work.path()).exists("fluidsynth.wav")) << "the file driver was used";
    EXPECT_NE(errorText(MMSYSERR_NODRIVER).find("No audio output could be opened"),
              std::string::npos);

    MidiSynthBackend::Options noDriver;
    noDriver.audioDrivers = {"no-such-driver"};
    setMidiBackends({std::make_shared<MidiSynthBackend>(noDriver)});
    open(0, MMSYSERR_NODRIVER);

    MidiSynthBackend::Options noFont;
    noFont.soundFont = work.filePath("missing.sf2").toStdString();
    setMidiBackends({std::make_shared<MidiSynthBackend>(noFont)});
    open(0, MMSYSERR_NOTENABLED);
    EXPECT_NE(errorText(MMSYSERR_NOTENABLED).find("sound font"), std::string::npos);

    QDir::setCurrent(before);
}

// What a user gets: the synthesizer first, and the sound libraries' probes
// (no sound card, no sequencer, no JACK server) print nothing.
TEST_F(MidiOutTest, DefaultDevicesListTheSynthesizerFirstAndPrintNothing) {
    useDefaultMidiBackends();
    ::testing::internal::CaptureStderr();
    const UINT count = midiOutGetNumDevs();
    HMIDIOUT h = 0;
    const MMRESULT result = midiOutOpen(&h, MIDI_MAPPER, 0, 0, CALLBACK_NULL);
    if (result == MMSYSERR_NOERROR) {
        EXPECT_EQ(midiOutShortMsg(h, 0x793090), MMSYSERR_NOERROR);
        EXPECT_EQ(midiOutReset(h), MMSYSERR_NOERROR);
        EXPECT_EQ(midiOutClose(h), MMSYSERR_NOERROR);
    } else {
        EXPECT_EQ(result, MMSYSERR_NODRIVER) << "only a missing audio output may stop it here";
    }
    const std::string printed = ::testing::internal::GetCapturedStderr();
    ASSERT_GE(count, 1u);
    EXPECT_EQ(capsName(0), MidiSynthBackend::deviceName);
    EXPECT_EQ(printed, "");
}

} // namespace
} // namespace tambolin
