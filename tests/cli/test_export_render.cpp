// `tambolin export` read back by an independent reader, `tambolin render`
// measured, and `tambolin play` on a JACK server of the test's own.

#include "support/jack_server.h"
#include "support/skip.h"
#include "support/sound_font.h"
#include "support/temp_files.h"
#include "tool_run.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QtEndian>
#include <chrono>
#include <cmath>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <thread>
#include <unistd.h>

using namespace tambolin::testing;

namespace {

using namespace std::chrono_literals;

const QString systemPython = QStringLiteral("/usr/bin/python3");

class Playback : public ::testing::Test {
protected:
    QString melody(const QByteArray &json) { return buildMelody(m_dir, json, m_made); }
    // Two parts of different lengths with a rest and a triplet group.
    QString busyMelody() {
        return melody(R"({"title": "Busy melody", "tempo": 1, "parts": [)"
                      R"([[3, 12], [33, 0], [22, 14], [22, 16], [22, 17], [13, 19]], )"
                      R"([[1, 5], [2, 7]], []]})");
    }
    TempFolder m_dir;
    int m_made = 0;
};

// What mido reads from a MIDI file: "time hex-bytes" per message, absolute
// times in ticks, and the header facts on the first line.
QStringList readWithMido(const QString &midi, QString &skip) {
    QProcess probe;
    probe.start(systemPython, {"-c", "import mido"});
    if (!probe.waitForFinished(20000) || probe.exitStatus() != QProcess::NormalExit ||
        probe.exitCode() != 0) {
        skip = "/usr/bin/python3 cannot import mido (Debian package python3-mido)";
        return {};
    }
    const char *script = R"(
import sys, mido
f = mido.MidiFile(sys.argv[1])
tempos = [m.tempo for m in f.tracks[0] if m.type == 'set_tempo']
print(f.type, len(f.tracks), f.ticks_per_beat, tempos)
t = 0
for m in f.tracks[0]:
    t += m.time
    if m.type == 'end_of_track':
        print(t, 'end')
    elif not m.is_meta:
        print(t, m.bin().hex().upper())
)";
    QProcess reader;
    reader.start(systemPython, {"-c", script, midi});
    reader.waitForFinished(20000);
    EXPECT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().toStdString();
    return QString::fromUtf8(reader.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

// trace's "ms WORD" lines as "ms BYTES": the status byte, then its data bytes.
QStringList traceAsBytes(const QString &traceOut) {
    QStringList out;
    for (const QString &line : traceOut.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList f = line.split(u' ');
        const unsigned word = f.value(1).toUInt(nullptr, 16);
        const int length = (word & 0xF0) == 0xC0 || (word & 0xF0) == 0xD0 ? 2 : 3;
        QString hex;
        for (int i = 0; i < length; ++i)
            hex += QStringLiteral("%1").arg((word >> (8 * i)) & 0xFF, 2, 16, QLatin1Char('0'));
        out << f.value(0) + u' ' + hex.toUpper();
    }
    return out;
}

TEST_F(Playback, ExportHoldsWhatTraceGivesUpToTheEnd) {
    const QString file = busyMelody();
    for (const char *loops : {"1", "3"}) {
        const QString midi = m_dir.path(QStringLiteral("out%1.mid").arg(loops));
        const ToolRun r =
            runTool({"export", file, "-o", midi, "--loops", loops, "--timing", "tick"});
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        QString skip;
        QStringList read = readWithMido(midi, skip);
        if (!skip.isEmpty())
            TAMBOLIN_SKIP_WITHOUT(skip.toStdString());
        ASSERT_GE(read.size(), 3);
        EXPECT_EQ(read.takeFirst(), QStringLiteral("0 1 1000 [1000000]"));
        const QStringList end = read.takeLast().split(u' ');
        ASSERT_EQ(end.value(1), QStringLiteral("end"));
        // The file ends on the tick of the last end: the last note-off is there.
        EXPECT_EQ(read.last().section(u' ', 0, 0), end.value(0));
        EXPECT_TRUE(read.last().section(u' ', 1).startsWith(u'8'));
        // trace up to that tick gives the same messages at the same times.
        const ToolRun t = runTool({"trace", file, "--ms", end.value(0)});
        EXPECT_EQ(read, traceAsBytes(t.out)) << loops;
    }
    // Each restart takes its base time on the tick of the end before it, so
    // three loops last exactly three times one.
    QString skip;
    const QStringList one = readWithMido(m_dir.path("out1.mid"), skip);
    const QStringList three = readWithMido(m_dir.path("out3.mid"), skip);
    const long long oneEnd = one.last().section(u' ', 0, 0).toLongLong();
    const long long threeEnd = three.last().section(u' ', 0, 0).toLongLong();
    EXPECT_EQ(threeEnd, 3 * oneEnd);
}

TEST_F(Playback, ExportOfAnEmptyMelodyEndsOnEveryTick) {
    const QString file = melody(R"({"title": "No notes at all", "parts": []})");
    const QString midi = m_dir.path("empty.mid");
    ASSERT_EQ(runTool({"export", file, "-o", midi, "--loops", "4", "--timing", "due"}).status, 0);
    QString skip;
    const QStringList read = readWithMido(midi, skip);
    if (!skip.isEmpty())
        TAMBOLIN_SKIP_WITHOUT(skip.toStdString());
    EXPECT_EQ(read, (QStringList{"0 1 1000 [1000000]", "0 C000", "40 end"}));
}

TEST_F(Playback, ExportAndRenderRefuseBadArguments) {
    const QString file = busyMelody();
    const QString out = m_dir.path("x.out");
    const QList<QStringList> bad = {
        {"export", file},
        {"export", file, "-o"},
        {"export", file, "-o", out, "--loops", "0"},
        {"export", m_dir.path("missing.tbn"), "-o", out},
        {"render", file},
        {"render", file, "-o", out, "--program", "128"},
        {"render", file, "-o", out, "--program", "-1"},
        {"render", file, "-o", out, "--loops", "x"},
        {"render", file, "-o", out, "--soundfont", m_dir.path("none.sf2")},
        {"play", m_dir.path("missing.tbn")},
        {"play", file, "--device", "999"},
        {"play", file, "--loops", "0"},
    };
    for (const QStringList &args : bad) {
        const ToolRun r = runTool(args);
        EXPECT_EQ(r.status, 2) << args.join(u' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty()) << args.join(u' ').toStdString();
    }
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_EQ(runTool({"export", file, "-o", m_dir.path("no/such/folder/x.mid")}).status, 1);
}

struct Wav {
    int channels = 0;
    int rate = 0;
    std::vector<std::int16_t> samples;
};

Wav readWav(const QByteArray &data) {
    Wav w;
    if (data.size() < 44 || !data.startsWith("RIFF") || data.mid(8, 4) != "WAVE")
        return w;
    qsizetype at = 12;
    while (at + 8 <= data.size()) {
        const QByteArray id = data.mid(at, 4);
        const auto size = qFromLittleEndian<quint32>(data.constData() + at + 4);
        const char *body = data.constData() + at + 8;
        if (id == "fmt ") {
            w.channels = qFromLittleEndian<quint16>(body + 2);
            w.rate = static_cast<int>(qFromLittleEndian<quint32>(body + 4));
        } else if (id == "data") {
            const qsizetype n = std::min<qsizetype>(size, data.size() - at - 8) / 2;
            for (qsizetype i = 0; i < n; ++i)
                w.samples.push_back(qFromLittleEndian<qint16>(body + 2 * i));
        }
        at += 8 + size + (size & 1);
    }
    return w;
}

// The fundamental of a mono stretch by autocorrelation: the first lag whose
// correlation comes near the best one, so an octave below never wins.
double pitchOf(const std::vector<double> &x, int rate) {
    const int minLag = rate / 2000;
    const int maxLag = rate / 50;
    std::vector<double> r(static_cast<std::size_t>(maxLag + 1), 0.0);
    double best = 0.0;
    for (int lag = minLag; lag <= maxLag; ++lag) {
        double sum = 0.0;
        for (std::size_t i = 0; i + static_cast<std::size_t>(lag) < x.size(); ++i)
            sum += x[i] * x[i + static_cast<std::size_t>(lag)];
        r[static_cast<std::size_t>(lag)] = sum;
        best = std::max(best, sum);
    }
    for (int lag = minLag + 1; lag < maxLag; ++lag) {
        const auto l = static_cast<std::size_t>(lag);
        if (r[l] > 0.9 * best && r[l] >= r[l - 1] && r[l] >= r[l + 1]) {
            // Parabolic interpolation for a lag between samples.
            const double a = r[l - 1], b = r[l], c = r[l + 1];
            const double shift = (a - c) / (2.0 * (a - 2.0 * b + c));
            return rate / (lag + (std::isfinite(shift) ? shift : 0.0));
        }
    }
    return 0.0;
}

using tambolin::testing::haveSoundFont;

TEST_F(Playback, RenderPlaysTheFirstNoteAtItsPitch) {
    if (!haveSoundFont())
        TAMBOLIN_SKIP_WITHOUT("no General MIDI sound font (Debian package timgm6mb-soundfont)");
    // Pitch 21 is MIDI note 69, 440 Hz; a whole note at tempo 1 sounds from
    // 10 ms to the tick at 1960 ms. A flute (program 73) has a clear pitch.
    const QString file =
        melody(R"({"title": "A four forty", "tempo": 1, "parts": [[[0, 21], [0, 9]]]})");
    const QString wavPath = m_dir.path("a.wav");
    const ToolRun r = runTool({"render", file, "-o", wavPath, "--program", "73"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const Wav wav = readWav(readFile(wavPath));
    ASSERT_EQ(wav.channels, 2);
    ASSERT_EQ(wav.rate, 44100);
    // One loop ends on the tick at 3920 ms; then one second of release.
    EXPECT_NEAR(static_cast<double>(wav.samples.size()) / 2, 4.920 * 44100, 2);

    std::vector<double> first; // left channel, 200..700 ms: the first note only
    double energy = 0.0;
    for (int frame = 44100 / 5; frame < 44100 * 7 / 10; ++frame) {
        const double v = wav.samples[static_cast<std::size_t>(2 * frame)] / 32768.0;
        first.push_back(v);
        energy += v * v;
    }
    EXPECT_GT(std::sqrt(energy / static_cast<double>(first.size())), 0.005) << "silent";
    EXPECT_NEAR(pitchOf(first, 44100), 440.0, 440.0 * 0.03);

    // The second note, an octave lower (pitch 9, MIDI 57, 220 Hz), from 1960 ms.
    std::vector<double> second;
    for (int frame = 44100 * 22 / 10; frame < 44100 * 27 / 10; ++frame)
        second.push_back(wav.samples[static_cast<std::size_t>(2 * frame)] / 32768.0);
    EXPECT_NEAR(pitchOf(second, 44100), 220.0, 220.0 * 0.03);
}

TEST_F(Playback, PlayStopsAfterItsLoopsAndOnSigterm) {
    if (!haveSoundFont())
        TAMBOLIN_SKIP_WITHOUT("no General MIDI sound font for the embedded synthesizer");
    JackServer jack;
    if (const QString why = jack.start(); !why.isEmpty())
        TAMBOLIN_SKIP_WITHOUT(why.toStdString());
    // Two quarters at tempo 0: a loop lasts 0.8 s.
    const QString shortOne =
        melody(R"({"title": "Two quarters", "tempo": 0, "parts": [[[2, 12], [2, 14]]]})");
    const auto began = std::chrono::steady_clock::now();
    const ToolRun r =
        runTool({"play", shortOne, "--loops", "2", "--program", "40"}, 20000, jack.env());
    const auto took = std::chrono::steady_clock::now() - began;
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("Two quarters\nPlaying on 0: ")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("041: Violin"))) << r.out.toStdString();
    EXPECT_GE(took, 1600ms);

    // A whole note at tempo 3 lasts 2.5 s: stopped half way, it exits at once.
    const QString longOne =
        melody(R"({"title": "Long notes", "tempo": 3, "parts": [[[0, 12], [0, 14]]]})");
    QProcess player;
    player.setProcessEnvironment(jack.env());
    player.start(toolPath(), {"play", longOne});
    ASSERT_TRUE(player.waitForStarted(10000));
    while (!player.readAllStandardOutput().contains("Ctrl-C") &&
           player.state() == QProcess::Running)
        player.waitForReadyRead(100);
    std::this_thread::sleep_for(500ms);
    player.terminate();
    ASSERT_TRUE(player.waitForFinished(5000));
    EXPECT_EQ(player.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(player.exitCode(), 0) << player.readAllStandardError().toStdString();
}

} // namespace
