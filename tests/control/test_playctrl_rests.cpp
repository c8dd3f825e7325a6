// The play timer sleeps through ticks that have nothing to do. These tests
// hold a run with rests against the same run with a clock that ticks every
// period: the words, their times and due times must not change at all.

#include "control_fixture.h"

#include "platform/clock/window_timer.h"

#include <random>

namespace tambolin::testing {
namespace {

struct Heard {
    std::int64_t ms;
    DWORD word;
    std::optional<std::int64_t> due;
    bool operator==(const Heard &) const = default;
};

std::ostream &operator<<(std::ostream &os, const Heard &h) {
    return os << h.ms << " " << std::hex << h.word << std::dec << " due " << (h.due ? *h.due : -1);
}

struct Outcome {
    std::vector<Heard> heard;
    int ticks = 0;
};

// What the test does to the panel, at virtual times (ms from the start).
struct Script {
    std::int64_t playAt = 0;
    std::int64_t stopAt = -1; // none if negative
    std::int64_t playAgainAt = -1;
    std::int64_t endAt = 5000;
};

class PlayTimerRests : public ControlTest {
protected:
    Outcome run(const QDateTime &start, Integer tempo, const std::vector<std::vector<Note>> &parts,
                const Script &script, bool ignoreRests) {
        resetModule();
        const std::shared_ptr<MidiRecorder> recorder = useMidiRecorder();
        VirtualClock clock(start);
        clock.setIgnoreRests(ignoreRests);
        const ScopedClock scoped(clock);
        Outcome out;
        {
            PLAYCTRL ctrl;
            setMelody(tempo, parts);
            QObject::connect(ctrl.PlayTimer(), &WindowTimer::tick, [&] { ++out.ticks; });
            recorder->clear();
            const auto at = [&](std::int64_t ms) { clock.advance(ms - clock.elapsed()); };
            at(script.playAt);
            setPlay(ctrl, true);
            if (script.stopAt >= 0) {
                at(script.stopAt);
                setPlay(ctrl, false);
            }
            if (script.playAgainAt >= 0) {
                at(script.playAgainAt);
                setPlay(ctrl, true);
            }
            at(script.endAt);
            const std::int64_t origin = clockOrigin(start);
            for (const RecordedMidiMessage &r : recorder->messages())
                out.heard.push_back({msOf(r.time) - origin, r.word,
                                     r.dueMs ? std::optional(*r.dueMs - origin) : std::nullopt});
        }
        return out;
    }

    static std::int64_t clockOrigin(const QDateTime &t) {
        return t.date().toJulianDay() * 86'400'000 + t.time().msecsSinceStartOfDay();
    }
    static std::int64_t msOf(const SYSTEMTIME &t) {
        const QDate d(t.wYear, t.wMonth, t.wDay);
        return d.toJulianDay() * 86'400'000 +
               ((t.wHour * 60 + t.wMinute) * 60 + t.wSecond) * 1000LL + t.wMilliseconds;
    }

    void expectSameRun(const QDateTime &start, Integer tempo,
                       const std::vector<std::vector<Note>> &parts, const Script &script) {
        const Outcome rested = run(start, tempo, parts, script, false);
        const Outcome every = run(start, tempo, parts, script, true);
        EXPECT_EQ(rested.heard, every.heard);
        EXPECT_FALSE(every.heard.empty());
        EXPECT_LE(rested.ticks, every.ticks);
        m_restedTicks += rested.ticks;
        m_everyTicks += every.ticks;
    }

    int m_restedTicks = 0;
    int m_everyTicks = 0;
};

std::vector<std::vector<Note>> randomParts(std::mt19937 &rng) {
    std::uniform_int_distribution<int> count(0, 12);
    // Whole to sixteenth, dotted, triplets, rests, and codes that last no time.
    const std::vector<Integer> codes{0,  1,  2,  3,  4,  5,  9,  11, 12, 13,
                                     14, 21, 22, 23, 24, 31, 33, 42, 44};
    std::uniform_int_distribution<std::size_t> code(0, codes.size() - 1);
    std::uniform_int_distribution<int> pitch(0, 35);
    std::vector<std::vector<Note>> parts(3);
    for (auto &part : parts) {
        const int n = count(rng);
        for (int i = 0; i < n; ++i)
            part.push_back({codes[code(rng)], Integer(pitch(rng))});
    }
    return parts;
}

TEST_F(PlayTimerRests, LoopingMelodiesSendTheSameWordsAtTheSameTicks) {
    std::mt19937 rng(20261208);
    const QDateTime noon(QDate(2026, 1, 1), QTime(12, 0));
    for (int i = 0; i < 12; ++i) {
        SCOPED_TRACE(i);
        const Integer tempo = Integer(rng() % 4);
        Script script;
        script.playAt = 3 + Integer(rng() % 20);
        script.endAt = 9000;
        expectSameRun(noon, tempo, randomParts(rng), script);
    }
    // Most ticks of a melody find nothing due.
    EXPECT_LT(m_restedTicks * 3, m_everyTicks);
}

TEST_F(PlayTimerRests, StopAndPlayAgainBetweenTicks) {
    std::mt19937 rng(7);
    const QDateTime noon(QDate(2026, 1, 1), QTime(12, 0));
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        Script script;
        script.playAt = 1;
        script.stopAt = 200 + std::int64_t(rng() % 2000);
        script.playAgainAt = script.stopAt + std::int64_t(rng() % 700);
        script.endAt = script.playAgainAt + 3000;
        expectSameRun(noon, Integer(rng() % 4), randomParts(rng), script);
    }
}

TEST_F(PlayTimerRests, PlayingAcrossMidnight) {
    // The date-change tick examines no timer, and due times after midnight
    // compare as early: both must fall on the same ticks with rests.
    std::mt19937 rng(2359);
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        const QDateTime late(QDate(2026, 12, 31), QTime(23, 59, 55, int(rng() % 1000)));
        Script script;
        script.playAt = std::int64_t(rng() % 3000);
        script.endAt = 12000;
        expectSameRun(late, Integer(rng() % 4), randomParts(rng), script);
    }
    EXPECT_LT(m_restedTicks, m_everyTicks);
}

TEST_F(PlayTimerRests, ALongNoteLeavesTheTimerAsleepUntilItEnds) {
    // One whole note at tempo 3 lasts 2534 ms: a tick to start it, one to
    // end it (the melody restarts in that tick), one to start it again, and
    // none in between.
    const Outcome out = run(QDateTime(QDate(2026, 1, 1), QTime(12, 0)), 3, {{{0, 5}}},
                            Script{0, -1, -1, 2555}, false);
    EXPECT_EQ(out.heard,
              (std::vector<Heard>{
                  {10, noteOn(5), 0}, {2540, noteOff(5), 2534}, {2550, noteOn(5), 2540}}));
    EXPECT_EQ(out.ticks, 3);
}

} // namespace
} // namespace tambolin::testing
