// The live synthesizer on a virtual clock with a capturing sink: every
// message sounds in the 64-frame block of its due time plus the latency,
// messages keep the order they were sent in, and the stream runs only
// while something sounds.

#include "platform/clock/clock.h"
#include "platform/clock/clock_ms.h"
#include "platform/clock/virtual_clock.h"
#include "platform/midi/midi_fluid.h"
#include "platform/midi/midi_synth.h"
#include "platform/midi/synth_sink_fake.h"
#include "platform/midi/timed_synth.h"

#include <QDateTime>
#include <chrono>
#include <cmath>
#include <gtest/gtest.h>
#include <thread>

namespace tambolin {
namespace {

constexpr double rate = 44100.0;
constexpr int period = 441; // one sink period every 10 ms of virtual time
constexpr std::int64_t latencyMs = 80;

DWORD noteOn(int key) {
    return static_cast<DWORD>(0x790090 | key << 8);
}
DWORD noteOff(int key) {
    return static_cast<DWORD>(0x100080 | key << 8);
}

bool makeDry(fluid::Instrument &instrument, int program) {
    if (fluid::makeInstrument(instrument, rate, fluid::findSoundFont()) !=
        fluid::InstrumentResult::Ok)
        return false;
    fluid_synth_reverb_on(instrument.synth.get(), -1, 0);
    fluid_synth_chorus_on(instrument.synth.get(), -1, 0);
    fluid_synth_program_change(instrument.synth.get(), 0, program);
    return true;
}

// Waits for the service thread, which starts and stops the stream.
template <class F> bool eventually(F &&condition) {
    for (int i = 0; i < 2000; ++i) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return condition();
}

struct Timed {
    std::int64_t dueMs; // virtual milliseconds from the start
    DWORD word;
};

class TimedSynthTest : public ::testing::Test {
protected:
    TimedSynthTest() : m_clock(QDateTime(QDate(2026, 3, 1), QTime(9, 0))), m_scoped(m_clock) {
        m_startMs = clockMilliseconds();
    }
    void SetUp() override {
        if (!makeDry(m_instrument, 115)) // woodblock: short, percussive
            GTEST_SKIP() << "no General MIDI sound font";
    }
    void make(int program = 115) {
        fluid_synth_program_change(m_instrument.synth.get(), 0, program);
        m_timed = std::make_unique<TimedSynth>(m_instrument.synth.get(), m_sink,
                                               TimedSynth::Options{latencyMs * 1000, 250000});
    }
    // One tick: time moves 10 ms, then the sink takes one period.
    void tick() {
        m_clock.advance(10);
        m_sink.pull(period);
    }
    void send(DWORD word, std::int64_t dueMs) { m_timed->play(word, m_startMs + dueMs); }
    // The stream frame that a due time maps to, given the virtual time and
    // stream frame of the first period after a start.
    static std::int64_t frameOf(std::int64_t dueMs, std::int64_t firstMs, std::int64_t firstFrame) {
        const double phase = static_cast<double>(firstMs) * 1000.0 - firstFrame * 1e6 / rate;
        return static_cast<std::int64_t>(
            std::floor((static_cast<double>(dueMs + latencyMs) * 1000.0 - phase) * rate / 1e6));
    }

    VirtualClock m_clock;
    ScopedClock m_scoped;
    std::int64_t m_startMs = 0;
    fluid::Instrument m_instrument;
    FakeSynthSink m_sink{rate, [this] { return m_clock.elapsed() * 1000; }};
    std::unique_ptr<TimedSynth> m_timed;
};

TEST_F(TimedSynthTest, EventsSoundInTheBlockOfTheirDueTimeWhateverTheTickLateness) {
    make();
    ASSERT_TRUE(m_timed->start());
    // Due times off the 10 ms grid; the ticks deliver them up to 10 ms
    // late, and one tick (the third note) another 30 ms late.
    const std::vector<Timed> events{{103, noteOn(60)},  {223, noteOff(60)},  {371, noteOn(64)},
                                    {491, noteOff(64)}, {644, noteOn(67)},   {764, noteOff(67)},
                                    {917, noteOn(72)},  {1037, noteOff(72)}, {1186, noteOn(60)},
                                    {1306, noteOff(60)}};
    std::size_t next = 0;
    for (int t = 0; t < 180; ++t) {
        m_clock.advance(10);
        const std::int64_t now = m_clock.elapsed();
        while (next < events.size() &&
               events[next].dueMs + (events[next].dueMs == 644 ? 30 : 0) <= now) {
            send(events[next].word, events[next].dueMs);
            ++next;
        }
        m_sink.pull(period);
    }
    ASSERT_EQ(next, events.size());
    const std::vector<float> got = m_sink.left();

    // The same notes applied by hand at the start of the expected blocks.
    fluid::Instrument reference;
    ASSERT_TRUE(makeDry(reference, 115));
    std::vector<float> want(got.size()), right(got.size());
    std::size_t e = 0;
    for (std::size_t block = 0; block * 64 < want.size(); ++block) {
        while (e < events.size() &&
               frameOf(events[e].dueMs, 10, 0) < static_cast<std::int64_t>((block + 1) * 64)) {
            fluid::play(reference.synth.get(), events[e].word);
            ++e;
        }
        const int n = static_cast<int>(std::min<std::size_t>(64, want.size() - block * 64));
        float *dry[2] = {want.data() + block * 64, right.data() + block * 64};
        float *fx[4] = {dry[0], dry[1], dry[0], dry[1]};
        fluid_synth_process(reference.synth.get(), n, 4, fx, 2, dry);
    }
    ASSERT_EQ(e, events.size());
    std::size_t firstDifference = got.size();
    for (std::size_t i = 0; i < got.size(); ++i)
        if (got[i] != want[i]) {
            firstDifference = i;
            break;
        }
    EXPECT_EQ(firstDifference, got.size()) << "the audio differs from frame " << firstDifference;
    // And the notes did sound.
    float peak = 0.0f;
    for (float v : got)
        peak = std::max(peak, std::fabs(v));
    EXPECT_GT(peak, 0.01f);
}

TEST_F(TimedSynthTest, AMessageSentAtOnceWaitsBehindWhatIsQueued) {
    make(16); // an organ: it sounds until its note-off
    ASSERT_TRUE(m_timed->start());
    tick();
    // A stop right after a note's tick: its note-off must not overtake
    // the note-on still waiting for its block, or the note would hang.
    send(noteOn(60), 5);
    m_timed->play(noteOff(60), std::nullopt);
    for (int t = 0; t < 100; ++t)
        tick();
    EXPECT_EQ(fluid_synth_get_active_voice_count(m_instrument.synth.get()), 0);
    // It did sound, in the block of its due time.
    const std::vector<float> got = m_sink.left();
    const std::int64_t block = frameOf(5, 10, 0) / 64 * 64;
    float before = 0.0f, inside = 0.0f;
    for (std::int64_t i = 0; i < block + 64; ++i)
        (i < block ? before : inside) = std::max(i < block ? before : inside, std::fabs(got[i]));
    EXPECT_EQ(before, 0.0f);
    EXPECT_GT(inside, 0.0f);
}

TEST_F(TimedSynthTest, SilenceStopsTheStreamAndTheNextNoteStartsItOnTime) {
    make();
    ASSERT_TRUE(m_timed->start());
    for (int t = 0; t < 30; ++t) // 300 ms of silence
        tick();
    ASSERT_TRUE(eventually([&] { return !m_sink.running(); }));
    EXPECT_FALSE(m_timed->streaming());

    // A controller while stopped does not wake the output.
    m_timed->play(0x0007B0 | 100 << 16, std::nullopt);
    EXPECT_FALSE(m_timed->streaming());

    // Much later a note arrives on its tick.
    m_clock.advance(5000);
    const std::int64_t due = m_clock.elapsed() - 3;
    send(noteOn(60), due);
    ASSERT_TRUE(eventually([&] { return m_sink.running(); }));
    EXPECT_EQ(m_sink.starts(), 2);
    const std::int64_t firstFrame = static_cast<std::int64_t>(m_sink.startFrames().back());
    for (int t = 0; t < 20; ++t)
        tick();
    const std::int64_t block = frameOf(due, m_clock.elapsed() - 190, firstFrame) / 64 * 64;

    // Where a lone note first sounds inside its block.
    fluid::Instrument reference;
    ASSERT_TRUE(makeDry(reference, 115));
    fluid::play(reference.synth.get(), noteOn(60));
    std::vector<float> l(64 * 20), r(l.size());
    float *dry[2] = {l.data(), r.data()};
    float *fx[4] = {dry[0], dry[1], dry[0], dry[1]};
    fluid_synth_process(reference.synth.get(), static_cast<int>(l.size()), 4, fx, 2, dry);
    const auto lead =
        std::find_if(l.begin(), l.end(), [](float v) { return v != 0.0f; }) - l.begin();

    const std::vector<float> got = m_sink.left();
    const auto onset =
        std::find_if(got.begin() + firstFrame, got.end(), [](float v) { return v != 0.0f; }) -
        got.begin();
    EXPECT_EQ(onset, block + lead);
}

TEST(SynthBackend, AnOutputThatDoesNotOpenFailsTheOpen) {
    MidiSynthBackend::Options options;
    FakeSynthSink *made = nullptr;
    options.makeSink = [&](fluid_settings_t *) {
        auto sink = std::make_unique<FakeSynthSink>(rate, [] { return std::int64_t{0}; });
        sink->failStarts(true);
        made = sink.get();
        return sink;
    };
    if (fluid::findSoundFont().empty())
        GTEST_SKIP() << "no General MIDI sound font";
    MidiSynthBackend backend(options);
    std::unique_ptr<MidiPort> port;
    EXPECT_EQ(backend.open(MidiSynthBackend::deviceName, port), MMSYSERR_NODRIVER);
    EXPECT_EQ(port, nullptr);
    EXPECT_NE(made, nullptr);
}

} // namespace
} // namespace tambolin
