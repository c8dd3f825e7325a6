// The command-string interface: a MIDI file played to the recording MIDI
// device and a wave file to the fake audio output, both on the virtual
// clock (across midnight), "play wait" on the real clock, and the error
// codes and replies of commands that go wrong.

#include "platform/audio/audio_device.h"
#include "platform/audio/audio_fake.h"
#include "platform/clock/virtual_clock.h"
#include "platform/mci/mci.h"
#include "platform/midi/midi_setup.h"
#include "support/smf_builder.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace tambolin {
namespace {

using namespace testdata;

struct Reply {
    MCIERROR error;
    std::string text;
};

Reply mci(const QString &command, UINT size = 255) {
    std::vector<char> buffer(size + 1, 'x');
    const QByteArray bytes = command.toUtf8();
    const MCIERROR e = mciSendStringA(bytes.constData(), buffer.data(), size, 0);
    return {e, size ? std::string(buffer.data()) : std::string()};
}

std::int64_t msOfDay(const SYSTEMTIME &t) {
    return ((t.wHour * 60 + t.wMinute) * 60 + t.wSecond) * 1000 + t.wMilliseconds;
}

// Two notes a quarter (500 ms) each, a program change first: 1 s long.
QByteArray twoNotes() {
    Track t;
    t.event(0, {0xC0, 19})
        .event(0, {0x90, 60, 100})
        .event(480, {0x80, 60, 0})
        .event(0, {0x90, 64, 100})
        .event(480, {0x80, 64, 0})
        .end(0);
    return smf(0, 480, {t});
}

class MciTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_recorder = useMidiRecorder();
        m_audio = std::make_shared<FakeAudioOutput>();
        setAudioOutput(m_audio);
    }
    void TearDown() override {
        mciCloseAll();
        setAudioOutput(nullptr);
        useDefaultMidiBackends();
    }
    QString write(const QString &name, const QByteArray &bytes) {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    // Milliseconds after the start of the virtual clock, for each word sent.
    std::vector<std::pair<std::int64_t, DWORD>> sent() const {
        std::vector<std::pair<std::int64_t, DWORD>> out;
        for (const RecordedMidiMessage &m : m_recorder->messages()) {
            std::int64_t ms = msOfDay(m.time) - msOfDay(m_startTime);
            if (ms < 0)
                ms += 24 * 3600 * 1000; // past midnight
            out.emplace_back(ms, m.word);
        }
        return out;
    }

    QTemporaryDir m_dir;
    std::shared_ptr<MidiRecorder> m_recorder;
    std::shared_ptr<FakeAudioOutput> m_audio;
    VirtualClock m_clock{QDateTime(QDate(2024, 3, 9), QTime(23, 59, 59, 600))};
    SYSTEMTIME m_startTime = m_clock.localTime();
};

TEST_F(MciTest, SequencerPlaysEachMessageOnTimeAcrossMidnight) {
    ScopedClock scoped(m_clock);
    const QString path = write("song.mid", twoNotes());
    EXPECT_EQ(mci("open \"" + path + "\" type sequencer alias song").text, "1");
    EXPECT_EQ(mci("status song length").text, "1000");
    EXPECT_EQ(mci("status song mode").text, "stopped");
    EXPECT_EQ(mci("play song").error, 0u);
    EXPECT_EQ(mci("status song mode").text, "playing");
    m_clock.advance(250);
    EXPECT_EQ(mci("status song position").text, "250");
    m_clock.advance(800);
    EXPECT_EQ(mci("status song mode").text, "stopped");
    EXPECT_EQ(mci("status song position").text, "1000");

    const std::vector<std::pair<std::int64_t, DWORD>> expected = {
        {0, 0x13C0}, {0, 0x643C90}, {500, 0x3C80}, {500, 0x644090}, {1000, 0x4080}};
    const auto got = sent();
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].second, expected[i].second) << i;
        EXPECT_NEAR(double(got[i].first), double(expected[i].first), 3.0) << i;
    }
}

TEST_F(MciTest, PauseSilencesAndResumeGoesOnFromThere) {
    ScopedClock scoped(m_clock);
    const QString path = write("song.mid", twoNotes());
    ASSERT_EQ(mci("open " + path + " alias s").error, 0u); // type from the extension
    mci("play s");
    m_clock.advance(200);
    EXPECT_EQ(mci("pause s").error, 0u);
    EXPECT_EQ(mci("status s mode").text, "paused");
    // The sounding note was turned off at the pause.
    const auto atPause = m_recorder->words();
    ASSERT_FALSE(atPause.empty());
    EXPECT_EQ(atPause.back() & 0xFFFFu, 0x3C80u);
    m_clock.advance(5000);
    EXPECT_EQ(mci("status s position").text, "200");
    EXPECT_EQ(m_recorder->words().size(), atPause.size()) << "nothing sent while paused";

    EXPECT_EQ(mci("resume s").error, 0u);
    m_clock.advance(300);
    EXPECT_EQ(mci("status s position").text, "500");
    m_clock.advance(600);
    EXPECT_EQ(mci("status s mode").text, "stopped");
    // The second note still came, 300 ms after resuming.
    const auto got = sent();
    const auto second =
        std::find_if(got.begin(), got.end(), [](const auto &p) { return p.second == 0x644090u; });
    ASSERT_NE(second, got.end());
    EXPECT_NEAR(double(second->first), 200.0 + 5000.0 + 300.0, 3.0);
}

TEST_F(MciTest, PlayFromTheMiddleKeepsTheProgramAndStopsAtTo) {
    ScopedClock scoped(m_clock);
    const QString path = write("song.mid", twoNotes());
    mci("open " + path + " alias s");
    EXPECT_EQ(mci("play s from 400 to 600").error, 0u);
    m_clock.advance(1000);
    const std::vector<DWORD> expected = {0x13C0, 0x3C80, 0x644090};
    auto words = m_recorder->words();
    // The note-off that closes the range comes from the reset at the end.
    ASSERT_GE(words.size(), expected.size());
    words.resize(expected.size());
    EXPECT_EQ(words, expected);
    EXPECT_EQ(mci("status s position").text, "600");
    EXPECT_EQ(mci("status s mode").text, "stopped");
}

TEST_F(MciTest, PlayingAgainAfterTheEndStartsOver) {
    ScopedClock scoped(m_clock);
    mci("open " + write("song.mid", twoNotes()) + " alias s");
    mci("play s");
    m_clock.advance(1100);
    m_recorder->clear();
    mci("play s");
    m_clock.advance(10);
    const auto words = m_recorder->words();
    ASSERT_GE(words.size(), 2u);
    EXPECT_EQ(words[1], 0x643C90u);
}

TEST_F(MciTest, PlayWaitReturnsWhenTheFileHasPlayed) {
    Track t;
    t.event(0, {0x90, 60, 100}).event(96, {0x80, 60, 0}).end(0); // 100 ms at 96 per quarter
    const QString path = write("short.mid", smf(0, 480, {t}));
    mci("open " + path + " alias s");
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_EQ(mci("play s wait").error, 0u);
    EXPECT_GE(elapsed.elapsed(), 95);
    EXPECT_LT(elapsed.elapsed(), 3000);
    EXPECT_EQ(mci("status s mode").text, "stopped");
    const std::vector<DWORD> expected = {0x643C90, 0x3C80};
    EXPECT_EQ(m_recorder->words(), expected);
}

TEST_F(MciTest, WaveAudioPlaysTheSamplesInOrder) {
    ScopedClock scoped(m_clock);
    const QByteArray pcm = rampPcm16(8000); // one second at 8 kHz
    const QString path = write("ramp.wav", wav(wavFormat(1, 1, 8000, 16), pcm));
    EXPECT_EQ(mci("open " + path + " type waveaudio alias w").error, 0u);
    EXPECT_EQ(mci("status w length").text, "1000");
    EXPECT_EQ(mci("status w samplespersec").text, "8000");
    EXPECT_EQ(m_audio->openStreams(), 0) << "the output opens at play";
    mci("play w");
    m_clock.advance(500);
    mci("pause w");
    EXPECT_EQ(mci("status w mode").text, "paused");
    EXPECT_EQ(mci("status w position").text, "500");
    EXPECT_EQ(m_audio->played(), pcm.left(8000));
    m_clock.advance(1000);
    mci("resume w");
    m_clock.advance(600);
    EXPECT_EQ(mci("status w mode").text, "stopped");
    EXPECT_EQ(m_audio->played(), pcm);
    EXPECT_EQ(m_audio->openStreams(), 0) << "the output closes at the end";
    ASSERT_EQ(m_audio->openedFormats().size(), 1u);
    EXPECT_EQ(m_audio->openedFormats()[0].sampleRate, 8000);
}

TEST_F(MciTest, WaveAudioWithoutAnOutputFailsToPlay) {
    ScopedClock scoped(m_clock);
    m_audio->setUnavailable(true);
    mci("open " + write("a.wav", wav(wavFormat(1, 1, 8000, 8), QByteArray(800, '\x80'))) +
        " alias w");
    EXPECT_EQ(mci("play w").error, MCIERR_WAVE_OUTPUTSUNSUITABLE);
    EXPECT_EQ(mci("status w mode").text, "stopped");
}

TEST_F(MciTest, DeviceIdsAndNames) {
    ScopedClock scoped(m_clock);
    const QString a = write("a.mid", twoNotes());
    const QString b = write("b.wav", wav(wavFormat(1, 1, 8000, 8), QByteArray(80, '\x80')));
    EXPECT_EQ(mci("open " + a + " alias A").text, "1");
    EXPECT_EQ(mci("open waveaudio!" + b).text, "2");
    EXPECT_EQ(mci("status a mode").text, "stopped") << "aliases ignore case";
    EXPECT_EQ(mci("status " + b + " length").text, "10") << "named by its file";
    EXPECT_EQ(mci("open " + b).error, MCIERR_DEVICE_OPEN);
    EXPECT_EQ(mci("open " + b + " alias a").error, MCIERR_DUPLICATE_ALIAS);
    EXPECT_EQ(mci("close a").error, 0u);
    EXPECT_EQ(mci("open " + a + " alias again").text, "1") << "the freed id is taken again";
    EXPECT_EQ(mci("close all").error, 0u);
    EXPECT_EQ(mci("status again mode").error, MCIERR_INVALID_DEVICE_NAME);
}

TEST_F(MciTest, ErrorsLeaveTheReplyEmpty) {
    ScopedClock scoped(m_clock);
    const QString song = write("s.mid", twoNotes());
    const QString junk = write("junk.mid", "not midi at all");
    struct Case {
        QString command;
        MCIERROR error;
    };
    const Case cases[] = {
        {"", MCIERR_MISSING_COMMAND_STRING},
        {"dance s", MCIERR_UNRECOGNIZED_COMMAND},
        {"play nothing", MCIERR_INVALID_DEVICE_NAME},
        {"play", MCIERR_MISSING_DEVICE_NAME},
        {"open " + m_dir.filePath("missing.mid"), MCIERR_FILE_NOT_FOUND},
        {"open " + junk, MCIERR_INVALID_FILE},
        {"open " + m_dir.filePath("x.xyz"), MCIERR_EXTENSION_NOT_FOUND},
        {"open " + song + " type cdaudio", MCIERR_INVALID_DEVICE_NAME},
        {"open sequencer", MCIERR_FILENAME_REQUIRED},
        {"open " + song + " alias", MCIERR_MISSING_STRING_ARGUMENT},
        {"open " + song + " loudly", MCIERR_UNRECOGNIZED_KEYWORD},
        {"open \"" + song, MCIERR_NO_CLOSING_QUOTE},
        {"play all", MCIERR_CANNOT_USE_ALL},
    };
    for (const Case &c : cases) {
        const Reply r = mci(c.command);
        EXPECT_EQ(r.error, c.error) << c.command.toStdString();
        EXPECT_EQ(r.text, "") << c.command.toStdString();
    }
    ASSERT_EQ(mci("open " + song + " alias s").error, 0u);
    const Case onDevice[] = {
        {"play s from 1001", MCIERR_OUTOFRANGE},
        {"play s from 600 to 500", MCIERR_OUTOFRANGE},
        {"play s from soon", MCIERR_BAD_INTEGER},
        {"play s from", MCIERR_MISSING_PARAMETER},
        {"play s faster", MCIERR_UNRECOGNIZED_KEYWORD},
        {"status s", MCIERR_MISSING_PARAMETER},
        {"status s colour", MCIERR_UNRECOGNIZED_KEYWORD},
        {"set s time format smpte 25", MCIERR_BAD_TIME_FORMAT},
        {"seek s to 5000", MCIERR_OUTOFRANGE},
        {"stop s now", MCIERR_UNRECOGNIZED_KEYWORD},
    };
    for (const Case &c : onDevice) {
        const Reply r = mci(c.command);
        EXPECT_EQ(r.error, c.error) << c.command.toStdString();
        EXPECT_EQ(r.text, "") << c.command.toStdString();
    }
    EXPECT_TRUE(m_recorder->words().empty()) << "nothing played";
}

TEST_F(MciTest, SeekSetAndShortReplyBuffers) {
    ScopedClock scoped(m_clock);
    mci("open " + write("s.mid", twoNotes()) + " alias s");
    EXPECT_EQ(mci("set s time format ms").error, 0u);
    EXPECT_EQ(mci("status s time format").text, "milliseconds");
    EXPECT_EQ(mci("seek s to 700").error, 0u);
    EXPECT_EQ(mci("status s position").text, "700");
    EXPECT_EQ(mci("seek s to end").error, 0u);
    EXPECT_EQ(mci("status s position").text, "1000");
    EXPECT_EQ(mci("seek s to start").error, 0u);
    EXPECT_EQ(mci("status s position").text, "0");
    // Four bytes hold three characters and the NUL.
    const Reply cut = mci("status s length", 4);
    EXPECT_EQ(cut.error, MCIERR_PARAM_OVERFLOW);
    EXPECT_EQ(cut.text, "100");
    EXPECT_EQ(mciSendStringA("status s mode", nullptr, 0, 0), 0u);
}

} // namespace
} // namespace tambolin
