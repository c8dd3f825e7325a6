// Melodies made from MIDI files the export did not write: choosing the
// voices, fitting note lengths and the tempo code, folding pitches, and the
// report of what changed.

#include "melody/midi_import.h"
#include "platform/registry/codepage932.h"
#include "support/smf_builder.h"

#include <gtest/gtest.h>

namespace tambolin {
namespace {

using testdata::smf;
using testdata::Track;

using Notes = std::vector<MelodyNote>;

// Notes one after another on channel ch (0-based): {key, ticks}, key 0 for
// silence. At division 480 and the default 120 beats a minute a tick is a
// millisecond of tempo code 1.
Track line(int ch, const std::vector<std::pair<int, int>> &notes, const QByteArray &name = {}) {
    Track t;
    if (!name.isNull())
        t.meta(0, 0x03, name);
    int wait = 0;
    for (const auto &[key, ticks] : notes) {
        if (key == 0) {
            wait += ticks;
            continue;
        }
        t.event(static_cast<std::uint32_t>(wait), {0x90 | ch, key, 100})
            .event(static_cast<std::uint32_t>(ticks), {0x80 | ch, key, 0});
        wait = 0;
    }
    return t.end(static_cast<std::uint32_t>(wait));
}

// Three-note chords (keys given lowest first) of ticks each.
Track chords(int ch, const std::vector<std::array<int, 3>> &keys, int ticks) {
    Track t;
    for (const auto &chord : keys) {
        for (int k : chord)
            t.event(0, {0x90 | ch, k, 90});
        t.event(static_cast<std::uint32_t>(ticks), {0x80 | ch, chord[0], 0});
        t.event(0, {0x80 | ch, chord[1], 0}).event(0, {0x80 | ch, chord[2], 0});
    }
    return t.end(0);
}

struct Result {
    std::optional<ImportedMelody> melody;
    ImportReport report;
    QString error;
};

Result import(const QByteArray &bytes, MidiImportOptions options = {}) {
    Result r;
    r.melody = importMidi(bytes, options, r.report, r.error);
    return r;
}

Notes notes(std::initializer_list<std::pair<int, int>> pairs) {
    Notes out;
    for (const auto &[length, pitch] : pairs)
        out.push_back({static_cast<Integer>(length), static_cast<Integer>(pitch)});
    return out;
}

std::vector<Integer> lengths(const Notes &n) {
    std::vector<Integer> out;
    for (const MelodyNote &m : n)
        out.push_back(m.length);
    return out;
}

TEST(MidiImport, BusiestTracksGiveTheParts_ChordsSplitAndDrumsLeftOut) {
    Track conductor;
    conductor.meta(0, 0x03, "Song title").end(0);
    const Track lead = line(0, {{72, 480}, {74, 480}, {76, 480}, {77, 480}}, "Lead");
    const Track piano = chords(1, {{48, 52, 55}, {50, 53, 57}}, 960);
    std::vector<std::pair<int, int>> kicks(40, {36, 120});
    const Track drums = line(9, kicks);
    const QByteArray song = smf(1, 480, {conductor, lead, piano, drums});

    const Result r = import(song);
    ASSERT_TRUE(r.melody) << r.error.toStdString();
    EXPECT_EQ(r.melody->title, QStringLiteral("Song title"));
    EXPECT_EQ(r.melody->tempo, 1);
    EXPECT_EQ(r.melody->parts[0], notes({{2, 24}, {2, 26}, {2, 28}, {2, 29}}));
    EXPECT_EQ(r.melody->parts[1], notes({{1, 7}, {1, 9}}));
    EXPECT_EQ(r.melody->parts[2], notes({{1, 4}, {1, 5}}));
    EXPECT_EQ(r.report.droppedInChords, 2); // the chords' lowest notes
    ASSERT_EQ(r.report.parts.size(), 3u);
    EXPECT_EQ(r.report.parts[0].number, 2);
    EXPECT_EQ(r.report.parts[0].name, QStringLiteral("Lead"));
    EXPECT_EQ(r.report.parts[2].voice, 2);
    EXPECT_EQ(r.report.drumNotes, 40);
    EXPECT_TRUE(r.report.leftOut.empty());
    EXPECT_TRUE(r.report.lossy());

    MidiImportOptions allOfThePiano;
    allOfThePiano.parts = {3, 3, 3};
    const Result p = import(song, allOfThePiano);
    ASSERT_TRUE(p.melody) << p.error.toStdString();
    EXPECT_EQ(p.melody->parts[2], notes({{1, 0}, {1, 2}}));
    EXPECT_EQ(p.report.droppedInChords, 0);
    ASSERT_EQ(p.report.leftOut.size(), 1u);
    EXPECT_EQ(p.report.leftOut[0].name, QStringLiteral("Lead"));

    for (const auto &[parts, message] : std::vector<std::pair<std::vector<int>, QString>>{
             {{4}, "--parts: track 4 holds no notes"},
             {{9}, "--parts: the song has no track 9"},
             {{2, 2}, "--parts: track 2 has only 1 voice(s)"}}) {
        MidiImportOptions o;
        o.parts = parts;
        const Result bad = import(song, o);
        EXPECT_FALSE(bad.melody);
        EXPECT_EQ(bad.error, message);
    }
}

TEST(MidiImport, ChannelsOfATypeZeroFileAreTheSources) {
    Track t;
    // Channel 1 melody, channel 10 drums (the busiest), channel 2 bass.
    for (int i = 0; i < 4; ++i) {
        t.event(0, {0x90, 67, 100}).event(0, {0x99, 38, 100}).event(0, {0x91, 43, 100});
        t.event(240, {0x89, 38, 0}).event(0, {0x99, 38, 100});
        t.event(240, {0x80, 67, 0}).event(0, {0x89, 38, 0}).event(0, {0x81, 43, 0});
    }
    t.end(0);
    const QByteArray song = smf(0, 480, {t});
    const Result r = import(song);
    ASSERT_TRUE(r.melody) << r.error.toStdString();
    EXPECT_EQ(r.melody->parts[0], notes({{2, 19}, {2, 19}, {2, 19}, {2, 19}}));
    EXPECT_EQ(r.melody->parts[1], notes({{2, 7}, {2, 7}, {2, 7}, {2, 7}}));
    EXPECT_TRUE(r.melody->parts[2].empty());
    EXPECT_TRUE(r.report.parts[1].channel);
    EXPECT_EQ(r.report.parts[1].number, 2);

    MidiImportOptions drums;
    drums.parts = {10};
    const Result d = import(song, drums);
    ASSERT_TRUE(d.melody) << d.error.toStdString();
    EXPECT_EQ(lengths(d.melody->parts[0]), std::vector<Integer>(8, 3));
}

TEST(MidiImport, LengthsRestsAndTripletsFitTheTable) {
    // At tempo code 1: quarter 480, eighth 240, dotted quarter 720, half 960,
    // a quarter rest, sixteenth triplets of 80 and a whole note of 1980.
    const QByteArray song = smf(1, 480,
                                {line(0, {{60, 480},
                                          {62, 240},
                                          {64, 720},
                                          {0, 480},
                                          {65, 960},
                                          {67, 80},
                                          {65, 80},
                                          {64, 80},
                                          {60, 1980},
                                          {0, 1440}})});
    const Result r = import(song);
    ASSERT_TRUE(r.melody) << r.error.toStdString();
    EXPECT_EQ(r.melody->parts[0], notes({{2, 12},
                                         {3, 14},
                                         {12, 16},
                                         {32, 0},
                                         {1, 17},
                                         {24, 19},
                                         {24, 17},
                                         {24, 16},
                                         {0, 12},
                                         {41, 0}}));
    EXPECT_FALSE(r.report.lossy()) << r.report.title.toStdString();
}

TEST(MidiImport, ShortSilencesAreArticulation_LongerOnesRests_MovesAreCounted) {
    // Quarters played at 90 %: the notes are held to the next.
    const Result legato = import(smf(1, 480, {line(0, {{60, 432}, {0, 48}, {62, 432}, {0, 48}})}));
    ASSERT_TRUE(legato.melody);
    EXPECT_EQ(legato.melody->parts[0], notes({{2, 12}, {2, 14}}));
    EXPECT_EQ(legato.report.moved, 0);

    // Played overlapping, each note into the next by 20 ms: still one voice.
    Track overlapping;
    overlapping.event(0, {0x90, 60, 100}).event(480, {0x90, 62, 100});
    overlapping.event(20, {0x80, 60, 0}).event(460, {0x90, 64, 100});
    overlapping.event(20, {0x80, 62, 0}).event(460, {0x80, 64, 0}).end(0);
    const Result slurred = import(smf(1, 480, {overlapping}));
    ASSERT_TRUE(slurred.melody);
    EXPECT_EQ(slurred.melody->parts[0], notes({{2, 12}, {2, 14}, {2, 16}}));
    EXPECT_TRUE(slurred.melody->parts[1].empty());
    EXPECT_EQ(slurred.report.droppedInChords, 0);

    // Played by hand: 3 ms early is in time, 12 ms late is a move; a held
    // note's end is the next one's start and is not counted twice.
    const Result played = import(
        smf(1, 480, {line(0, {{60, 477}, {62, 483}, {64, 492}, {0, 0}, {65, 468}, {67, 480}})}));
    ASSERT_TRUE(played.melody);
    EXPECT_EQ(lengths(played.melody->parts[0]), (std::vector<Integer>{2, 2, 2, 2, 2}));
    EXPECT_EQ(played.report.moved, 1); // the fourth note, 12 ms late
    EXPECT_GE(played.report.largestMoveMs, 11);
    EXPECT_LE(played.report.largestMoveMs, 13);
}

TEST(MidiImport, TheTempoCodeIsTheNearestToTheSongsBeatAndItsChangesAreFollowed) {
    const auto quarters = [](std::uint32_t usPerQuarter) {
        Track t;
        t.tempo(0, usPerQuarter).event(0, {0x90, 60, 100}).event(480, {0x80, 60, 0});
        t.event(0, {0x90, 62, 100}).event(480, {0x80, 62, 0}).end(0);
        return smf(0, 480, {t});
    };
    for (const auto &[us, tempo] : std::vector<std::pair<std::uint32_t, int>>{
             {400000, 0}, {500000, 1}, {550000, 2}, {600000, 3}, {2000000, 3}}) {
        const Result r = import(quarters(us));
        ASSERT_TRUE(r.melody);
        EXPECT_EQ(r.melody->tempo, tempo) << us;
        EXPECT_EQ(lengths(r.melody->parts[0]), (std::vector<Integer>{2, 2})) << us;
    }
    MidiImportOptions given;
    given.tempo = 2;
    const Result g = import(quarters(400000), given);
    EXPECT_EQ(g.melody->tempo, 2);
    EXPECT_EQ(lengths(g.melody->parts[0]), (std::vector<Integer>{2, 2}));
    EXPECT_TRUE(g.report.tempoGiven);

    // Half as fast from the third quarter on: those quarters last as long as halves.
    Track slowing;
    slowing.event(0, {0x90, 60, 100}).event(480, {0x80, 60, 0});
    slowing.event(0, {0x90, 62, 100}).event(480, {0x80, 62, 0});
    slowing.tempo(0, 1000000);
    slowing.event(0, {0x90, 64, 100}).event(480, {0x80, 64, 0});
    slowing.event(0, {0x90, 65, 100}).event(480, {0x80, 65, 0}).end(0);
    const Result s = import(smf(0, 480, {slowing}));
    ASSERT_TRUE(s.melody);
    EXPECT_EQ(lengths(s.melody->parts[0]), (std::vector<Integer>{2, 2, 1, 1}));
}

TEST(MidiImport, PitchesFoldIntoRangeAndPartsStopAt200) {
    const Result folded = import(smf(1, 480, {line(0, {{30, 480}, {100, 480}, {60, 480}})}));
    ASSERT_TRUE(folded.melody);
    EXPECT_EQ(folded.melody->parts[0], notes({{2, 6}, {2, 28}, {2, 12}}));
    EXPECT_EQ(folded.report.folded, 2);

    std::vector<std::pair<int, int>> many(250, {60, 120});
    const Result cut = import(smf(1, 480, {line(0, many)}));
    ASSERT_TRUE(cut.melody);
    EXPECT_EQ(cut.melody->parts[0].size(), 200u);
    EXPECT_EQ(cut.report.droppedPast200, 50);
    EXPECT_TRUE(cut.report.lossy());
}

TEST(MidiImport, WhatIsNoSongIsRefused) {
    EXPECT_EQ(import("MThx not a song").error,
              QStringLiteral("not a Standard MIDI File (not a standard MIDI file)"));
    Track empty;
    empty.meta(0, 0x03, "nothing").end(480);
    EXPECT_EQ(import(smf(1, 480, {empty})).error,
              QStringLiteral("the song holds no notes (drums on channel 10 are left out)"));
    // Notes that end where they start are never heard.
    Track silent;
    silent.event(0, {0x90, 60, 100}).event(0, {0x80, 60, 0}).end(480);
    EXPECT_FALSE(import(smf(1, 480, {silent})).melody);
}

TEST(MidiImport, TitlesComeFromTheFirstTrackNameInWhateverCodingItIs) {
    const auto titled = [](const QByteArray &name, MidiImportOptions options = {}) {
        const Result r = import(smf(1, 480, {line(0, {{60, 480}}, name)}), options);
        EXPECT_TRUE(r.melody) << r.error.toStdString();
        return std::make_pair(r.melody ? r.melody->title : QString(), r.report.titleChanged);
    };
    const QString sakura = QStringLiteral("さくら ｻｸﾗ");
    EXPECT_EQ(titled(sakura.toUtf8()), std::make_pair(sakura, false));
    EXPECT_EQ(titled(cp932::fromUnicode(sakura)), std::make_pair(sakura, false));
    // Latin-1: the title coding has no é; control characters never stay.
    EXPECT_EQ(titled("Caf\xE9\x1B$D"), std::make_pair(QStringLiteral("Caf$D"), true));
    EXPECT_EQ(titled("An ordinary title that is too long"),
              std::make_pair(QStringLiteral("An ordinary title that i"), true));

    MidiImportOptions options;
    options.fallbackTitle = QStringLiteral("from the file name");
    EXPECT_EQ(titled(QByteArray(), options),
              std::make_pair(QStringLiteral("from the file name"), false));
    options.title = QStringLiteral("given");
    EXPECT_EQ(titled("named", options), std::make_pair(QStringLiteral("given"), false));
}

} // namespace
} // namespace tambolin
