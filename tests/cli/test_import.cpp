// `tambolin import` on MIDI files written by another program (python3-mido),
// and export then import through the tool giving the melody back.

#include "support/skip.h"
#include "support/temp_files.h"
#include "tool_run.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

using namespace tambolin::testing;

namespace {

const QString systemPython = QStringLiteral("/usr/bin/python3");

// Songs written by mido. "ode": "Ode to Joy" (public domain) in a type 1
// file: a conductor track with the title and 120 beats a minute, the tune,
// a bass line and a drum track. "busy": a type 0 file with a three-note
// chord part, drums, a tempo change, notes out of range and 250 notes in
// one channel.
const char *songScript = R"(
import sys, mido
kind, out = sys.argv[1], sys.argv[2]
Q = 480
def line(track, ch, notes):
    wait = 0
    for key, ticks in notes:
        if key == 0:
            wait += ticks
            continue
        track.append(mido.Message('note_on', channel=ch, note=key, velocity=90, time=wait))
        track.append(mido.Message('note_off', channel=ch, note=key, velocity=0, time=ticks))
        wait = 0
if kind == 'ode':
    f = mido.MidiFile(type=1, ticks_per_beat=Q)
    conductor = mido.MidiTrack([mido.MetaMessage('track_name', name='Ode to Joy'),
                                mido.MetaMessage('set_tempo', tempo=mido.bpm2tempo(120))])
    E, F, G, D, C = 64, 65, 67, 62, 60
    bar = lambda *keys: [(k, Q) for k in keys]
    tune = (bar(E, E, F, G) + bar(G, F, E, D) + bar(C, C, D, E) + [(E, Q * 3 // 2), (D, Q // 2), (D, 2 * Q)]
            + bar(E, E, F, G) + bar(G, F, E, D) + bar(C, C, D, E) + [(D, Q * 3 // 2), (C, Q // 2), (C, 2 * Q)])
    melody = mido.MidiTrack([mido.MetaMessage('track_name', name='Melody'),
                             mido.Message('program_change', channel=0, program=73)])
    line(melody, 0, tune)
    bass = mido.MidiTrack([mido.MetaMessage('track_name', name='Bass')])
    line(bass, 1, [(48, 2 * Q), (55, 2 * Q)] * 8)
    drums = mido.MidiTrack([mido.MetaMessage('track_name', name='Drums')])
    line(drums, 9, [(36, Q // 2)] * 64)
    f.tracks += [conductor, melody, bass, drums]
else:
    f = mido.MidiFile(type=0, ticks_per_beat=Q)
    t = mido.MidiTrack([mido.MetaMessage('track_name', name=kind)])
    events = []  # absolute tick, order, message
    def at(tick, msg):
        events.append((tick, len(events), msg))
    for i in range(4):  # C major chords, half notes
        for k in (60, 64, 67):
            at(i * 2 * Q, mido.Message('note_on', channel=0, note=k, velocity=80))
            at((i + 1) * 2 * Q, mido.Message('note_off', channel=0, note=k))
    for i in range(32):
        at(i * Q // 4, mido.Message('note_on', channel=9, note=42, velocity=80))
        at(i * Q // 4 + 60, mido.Message('note_off', channel=9, note=42))
    for i, k in enumerate([20, 110, 70, 72]):  # two out of range, quarters
        at(i * Q, mido.Message('note_on', channel=1, note=k, velocity=80))
        at((i + 1) * Q, mido.Message('note_off', channel=1, note=k))
    at(8 * Q, mido.MetaMessage('set_tempo', tempo=1000000))  # half as fast
    at(8 * Q, mido.Message('note_on', channel=1, note=72, velocity=80))
    at(9 * Q, mido.Message('note_off', channel=1, note=72))
    for i in range(250):  # sixteenths
        at(i * Q // 4, mido.Message('note_on', channel=2, note=60 + i % 12, velocity=80))
        at((i + 1) * Q // 4, mido.Message('note_off', channel=2, note=60 + i % 12))
    events.sort()
    now = 0
    for tick, _, msg in events:
        t.append(msg.copy(time=tick - now))
        now = tick
    f.tracks.append(t)
f.save(out)
)";

class Import : public ::testing::Test {
protected:
    // The song written by mido; empty with skip set when mido is missing.
    QString song(const QString &kind, QString &skip) {
        const QString out = m_dir.path(kind + QStringLiteral(".mid"));
        QProcess p;
        p.start(systemPython, {"-c", songScript, kind, out});
        if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit ||
            p.exitCode() != 0) {
            const QString err = QString::fromUtf8(p.readAllStandardError());
            if (err.contains(QStringLiteral("No module named")) ||
                p.error() == QProcess::FailedToStart)
                skip = QStringLiteral(
                    "/usr/bin/python3 cannot import mido (Debian package python3-mido)");
            else
                ADD_FAILURE() << err.toStdString();
            return {};
        }
        return out;
    }
    QString path(const QString &name) const { return m_dir.path(name); }
    TempFolder m_dir;
};

#define SONG_OR_SKIP(var, kind)                                                                    \
    QString skip_;                                                                                 \
    const QString var = song(QStringLiteral(kind), skip_);                                         \
    if (!skip_.isEmpty())                                                                          \
        TAMBOLIN_SKIP_WITHOUT(skip_.toStdString());                                                \
    ASSERT_FALSE(var.isEmpty())

// "[length, pitch]" pairs of a part, as dump prints them.
QString pairs(const std::vector<std::pair<int, int>> &notes) {
    QStringList out;
    for (const auto &[length, key] : notes)
        out << QStringLiteral("[%1, %2]").arg(length).arg(key - 48);
    return u'[' + out.join(QStringLiteral(", ")) + u']';
}

TEST_F(Import, OdeToJoyBecomesAMelodyThatPlays) {
    SONG_OR_SKIP(ode, "ode");
    const QString tbn = path("ode.tbn");
    const ToolRun r = runTool({"import", ode, "-o", tbn, "--strict"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, QStringLiteral(
                         "tambolin import: tempo code 1: a quarter note lasts 475 ms; the song's "
                         "lasts 500 ms\n"
                         "tambolin import: part 1: track 2 \"Melody\", 30 notes\n"
                         "tambolin import: part 2: track 3 \"Bass\", 16 notes\n"
                         "tambolin import: not taken: 64 notes on channel 10 (drums)\n"
                         "tambolin import: title \"Ode to Joy\"\n"))
        << r.err.toStdString();
    const int E = 64, F = 65, G = 67, D = 62, C = 60;
    std::vector<std::pair<int, int>> tune;
    for (int key : {E, E, F, G, G, F, E, D, C, C, D, E})
        tune.emplace_back(2, key);
    tune.insert(tune.end(), {{12, E}, {3, D}, {1, D}});
    for (int key : {E, E, F, G, G, F, E, D, C, C, D, E})
        tune.emplace_back(2, key);
    tune.insert(tune.end(), {{12, D}, {3, C}, {1, C}});
    std::vector<std::pair<int, int>> bass;
    for (int i = 0; i < 8; ++i)
        bass.insert(bass.end(), {{1, 48}, {1, 55}});
    const ToolRun dump = runTool({"dump", tbn});
    EXPECT_EQ(dump.out, QStringLiteral("{\"title\": \"Ode to Joy\", \"tempo\": 1, \"parts\": [") +
                            pairs(tune) + QStringLiteral(", ") + pairs(bass) +
                            QStringLiteral(", []]}\n"));

    // It plays: the first note is E above middle C, then the bass's C.
    const ToolRun trace = runTool({"trace", tbn, "--ms", "10"});
    EXPECT_EQ(trace.out, QStringLiteral("0 000000C0\n10 00794090\n10 00793090\n"));
}

TEST_F(Import, ABusyTypeZeroSongIsReportedAndRefusedWhenStrict) {
    SONG_OR_SKIP(busy, "busy");
    const QString tbn = path("busy.tbn");
    const ToolRun strict = runTool({"import", busy, "-o", tbn, "--strict"});
    EXPECT_EQ(strict.status, 2);
    EXPECT_TRUE(strict.err.contains(QStringLiteral("--strict: "))) << strict.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(tbn));

    const ToolRun r = runTool({"import", busy, "-o", tbn});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList expected = {
        "tambolin import: tempo code 1: a quarter note lasts 475 ms; the song's lasts 500 ms",
        "tambolin import: part 1: channel 1, 4 notes",
        "tambolin import: part 2: channel 2, 5 notes",
        "tambolin import: part 3: channel 3, 250 notes",
        "tambolin import: not taken: 32 notes on channel 10 (drums)",
        "tambolin import: 2 notes moved by whole octaves into the melody's range (MIDI keys 48 "
        "to 83)",
        "tambolin import: 8 notes of chords dropped: a part plays one note at a time",
        "tambolin import: 50 notes dropped past the 200 a part holds",
        "tambolin import: title \"busy\""};
    EXPECT_EQ(r.err.split(u'\n', Qt::SkipEmptyParts), expected) << r.err.toStdString();
    const QString dump = runTool({"dump", tbn}).out;
    // The chords' top notes; keys 20 and 110 folded; four beats of silence as
    // the fewest rests; the last quarter after the tempo change as long as a
    // half, and the sixteenths from there on as long as eighths.
    EXPECT_TRUE(dump.contains(QStringLiteral(
        "[[[1, 19], [1, 19], [1, 19], [1, 19]], [[2, 8], [2, 26], [2, 22], [2, 24], [41, 0], "
        "[32, 0], [1, 24]], [[4, 12], ")))
        << dump.toStdString();
    EXPECT_TRUE(dump.contains(QStringLiteral("[4, 18], [4, 19], [3, 20], [3, 21]")));

    // The drums only when asked for, as channel 10.
    const ToolRun drums = runTool({"import", busy, "-o", tbn, "--parts", "10", "--tempo", "0"});
    ASSERT_EQ(drums.status, 0) << drums.err.toStdString();
    EXPECT_TRUE(drums.err.contains(QStringLiteral("part 1: channel 10, 32 notes")));
    EXPECT_TRUE(drums.err.contains(QStringLiteral("tempo code 0 (given)")));
}

TEST_F(Import, ExportThenImportGivesTheExamplesBack) {
    for (const char *name : {"sakura", "trio", "triplets"}) {
        const QString tbn = QStringLiteral(TAMBOLIN_SOURCE_DIR "/examples/%1.tbn").arg(name);
        const QString mid = path(QStringLiteral("%1.mid").arg(name));
        const QString back = path(QStringLiteral("%1.tbn").arg(name));
        ASSERT_EQ(runTool({"export", tbn, "-o", mid}).status, 0) << name;
        const ToolRun r = runTool({"import", mid, "-o", back, "--strict"});
        ASSERT_EQ(r.status, 0) << name << ": " << r.err.toStdString();
        const ToolRun before = runTool({"dump", tbn});
        EXPECT_EQ(runTool({"dump", back}).out, before.out) << name;
        EXPECT_FALSE(before.out.isEmpty());
    }
}

TEST_F(Import, WhatIsNoSongOrNoGoodUsageWritesNothing) {
    const QString text = path("readme.mid");
    ASSERT_TRUE(writeFile(text, "This is not a MIDI file at all.\n"));
    const QString noNotes = path("empty.mid");
    ASSERT_TRUE(
        writeFile(noNotes, QByteArray("MThd\0\0\0\6\0\0\0\1\1\xE0MTrk\0\0\0\4\0\xFF\x2F\0", 26)));
    const QString huge = path("huge.mid");
    ASSERT_TRUE(writeFile(huge, QByteArray((4 << 20) + 1, '\0')));
    const QString out = path("out.tbn");
    const QList<std::pair<QStringList, QString>> cases = {
        {{"import", huge, "-o", out}, "more than 4194304 bytes is too large for a MIDI song"},
        {{"import", text, "-o", out},
         text + ": not a Standard MIDI File (not a standard MIDI file)"},
        {{"import", noNotes, "-o", out}, noNotes + ": the song holds no notes"},
        {{"import", path("missing.mid"), "-o", out}, "missing.mid: cannot read"},
        {{"import", m_dir.path(), "-o", out}, "is a folder"},
        {{"import", noNotes}, "no output: give -o OUT.tbn"},
        {{"import", "-o", out}, "no SONG.mid given"},
        {{"import", noNotes, "-o", out, "--tempo", "4"},
         "--tempo takes a tempo code from 0 to 3, not '4'"},
        {{"import", noNotes, "-o", out, "--parts", "1,x"},
         "--parts takes track or channel numbers"},
        {{"import", noNotes, "-o", out, "--parts", "1,2,3,4"}, "at most three"},
        {{"import", noNotes, "-o", out, "--bogus"}, "unknown option --bogus"},
        {{"import", noNotes, noNotes, "-o", out}, "more than one SONG given"},
        {{"import", noNotes, "-o", "/dev/null"}, "must be a new or a regular file"},
    };
    for (const auto &[args, message] : cases) {
        const ToolRun r = runTool(args);
        EXPECT_EQ(r.status, 2) << args.join(u' ').toStdString();
        EXPECT_TRUE(r.err.contains(message)) << r.err.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(out));
}

TEST_F(Import, ReadsStandardInputAndTakesTheTitleFromTheFileName) {
    // A type 0 song without a track name: two quarters.
    const QByteArray song(
        "MThd\0\0\0\6\0\0\0\1\1\xE0"
        "MTrk\0\0\0\x14"
        "\0\x90\x3C\x40\x83\x60\x80\x3C\0\0\x90\x3E\x40\x83\x60\x3E\0\0\xFF\x2F\0",
        42);
    const QString named = path("Little song.mid");
    ASSERT_TRUE(writeFile(named, song));
    const QString out = path("out.tbn");
    ASSERT_EQ(runTool({"import", named, "-o", out}).status, 0);
    EXPECT_EQ(runTool({"dump", out}).out,
              QStringLiteral("{\"title\": \"Little song\", \"tempo\": 1, \"parts\": "
                             "[[[2, 12], [2, 14]], [], []]}\n"));

    QProcess p;
    p.setStandardInputFile(named);
    p.start(toolPath(), {"import", "-", "-o", out, "--title", "piped"});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0);
    // Five letters and two notes make 11 bytes, which the player would ignore.
    EXPECT_TRUE(p.readAllStandardError().contains(
        "title padded with 3 spaces: the player ignores a melody file of less than 14 bytes"));
    EXPECT_EQ(runTool({"dump", out}).out,
              QStringLiteral("{\"title\": \"piped   \", \"tempo\": 1, \"parts\": "
                             "[[[2, 12], [2, 14]], [], []]}\n"));
}

} // namespace
