// Reading Standard MIDI Files: times through the tempo map, merging of
// tracks, running status, time code division, the RMID wrapper, and files
// that must be refused or read only as far as they go.

#include "melody/smf_reader.h"
#include "support/smf_builder.h"

#include <gtest/gtest.h>

namespace tambolin {
namespace {

using testdata::smf;
using testdata::Track;

struct Timed {
    std::int64_t us;
    std::uint32_t word;
    bool operator==(const Timed &) const = default;
};

std::vector<Timed> timed(const SmfSequence &s) {
    std::vector<Timed> out;
    for (const SmfEvent &e : s.events)
        out.push_back({e.timeUs, e.word});
    return out;
}

SmfSequence parsed(const QByteArray &bytes) {
    QString error;
    auto s = parseSmf(bytes, error);
    EXPECT_TRUE(s.has_value()) << error.toStdString();
    return s.value_or(SmfSequence{});
}

TEST(Smf, TempoChangesApplyFromTheirTickOn) {
    Track t;
    t.event(0, {0x90, 60, 100})
        .event(480, {0x80, 60, 0}) // one quarter at 120 bpm: 500 ms
        .tempo(0, 250000)
        .event(0, {0x90, 62, 100})
        .event(480, {0x80, 62, 0}) // one quarter at 240 bpm: 250 ms
        .end(240);
    const SmfSequence s = parsed(smf(0, 480, {t}));
    EXPECT_EQ(s.format, 0);
    EXPECT_EQ(s.trackCount, 1);
    const std::vector<Timed> expected = {
        {0, 0x643C90}, {500000, 0x3C80}, {500000, 0x643E90}, {750000, 0x3E80}};
    EXPECT_EQ(timed(s), expected);
    EXPECT_EQ(s.lengthUs, 875000);
}

TEST(Smf, TracksMergeInTimeOrderAndShareTheConductorsTempo) {
    Track conductor;
    conductor.tempo(0, 1000000).end(0);
    Track a;
    a.event(96, {0xC0, 5}).event(0, {0x90, 60, 90}).end(96);
    Track b;
    b.event(0, {0x91, 48, 80}).event(96, {0x81, 48, 0}).end(0);
    const SmfSequence s = parsed(smf(1, 96, {conductor, a, b}));
    EXPECT_EQ(s.trackCount, 3);
    // At the same tick the earlier track comes first.
    const std::vector<Timed> expected = {
        {0, 0x503091}, {1000000, 0x05C0}, {1000000, 0x5A3C90}, {1000000, 0x3081}};
    EXPECT_EQ(timed(s), expected);
    EXPECT_EQ(s.lengthUs, 2000000);
}

TEST(Smf, RunningStatusSysexAndMetaEvents) {
    Track t;
    t.event(0, {0x90, 60, 100})
        .event(10, {62, 100}) // running status
        .event(0, {0xF0, 0x03, 0x7E, 0x7F, 0xF7})
        .event(0, {0xFF, 0x03, 0x02, 'h', 'i'}) // track name
        .event(10, {0xE0, 0x00, 0x40})
        .end(0);
    const SmfSequence s = parsed(smf(0, 10, {t})); // 1 tick = 50 ms at the default tempo
    const std::vector<Timed> expected = {{0, 0x643C90}, {500000, 0x643E90}, {1000000, 0x4000E0}};
    EXPECT_EQ(timed(s), expected);
}

TEST(Smf, TimeCodeDivisionCountsFramesNotBeats) {
    Track t;
    t.event(0, {0x90, 60, 100}).tempo(0, 100000).event(40, {0x80, 60, 0}).end(0);
    // 25 frames a second, 40 ticks a frame: one tick is one millisecond, tempo or not.
    const SmfSequence s = parsed(smf(0, 0xE728, {t}));
    ASSERT_EQ(s.events.size(), 2u);
    EXPECT_EQ(s.events[1].timeUs, 40000);
}

TEST(Smf, RmidWrapperIsOpened) {
    Track t;
    t.event(0, {0x90, 60, 100}).end(480);
    const QByteArray inner = smf(0, 480, {t});
    const QByteArray body = "RMID" + testdata::chunk("data", inner);
    const QByteArray rmid = "RIFF" + testdata::le(std::uint32_t(body.size()), 4) + body;
    EXPECT_EQ(parsed(rmid).lengthUs, 500000);
}

TEST(Smf, RefusesWhatItCannotPlay) {
    Track t;
    t.event(0, {0x90, 60, 100}).end(0);
    QString error;
    EXPECT_FALSE(parseSmf(smf(2, 480, {t}), error)) << "type 2";
    EXPECT_FALSE(parseSmf(smf(0, 0, {t}), error)) << "zero division";
    EXPECT_FALSE(parseSmf(QByteArray("RIFF\0\0\0\0WAVE", 12), error)) << "a wave file";
    EXPECT_FALSE(parseSmf(smf(0, 480, {t}).left(12), error)) << "cut inside the header";
    EXPECT_FALSE(parseSmf(smf(0, 480, {}), error)) << "no tracks";
    Track orphan;
    orphan.event(0, {60, 100}); // data without any status
    EXPECT_FALSE(parseSmf(smf(0, 480, {orphan}), error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(Smf, DamagedTrackPlaysAsFarAsItGoes) {
    Track t;
    t.event(0, {0x90, 60, 100}).event(480, {0x80, 60, 0}).end(0);
    QByteArray bytes = smf(0, 480, {t});
    bytes.chop(5); // the last note-off loses its data byte, the end its meta
    const SmfSequence s = parsed(bytes);
    ASSERT_EQ(s.events.size(), 1u);
    EXPECT_EQ(s.events[0].word, 0x643C90u);
    EXPECT_EQ(s.lengthUs, 500000);
}

TEST(Smf, HugeDeltaTimesAreRefusedNotOverflowed) {
    Track t;
    for (int i = 0; i < 10; ++i)
        t.event(0x0FFFFFFF, {0x90, 60, 100});
    QString error;
    EXPECT_FALSE(parseSmf(smf(0, 1, {t}), error));
}

} // namespace
} // namespace tambolin
