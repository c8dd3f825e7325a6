// The General MIDI synthesizer rendered to samples: pitch and timing of the
// notes measured from the sound itself, and the WAV file written from it.

#include "platform/audio/wav_writer.h"
#include "platform/midi/offline_synth.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <cmath>
#include <gtest/gtest.h>

namespace tambolin {
namespace {

constexpr int rate = OfflineSynth::sampleRate;

// Left channel of interleaved stereo, frames [fromMs, toMs).
std::vector<double> leftChannel(const std::vector<float> &stereo, int fromMs, int toMs) {
    std::vector<double> out;
    for (std::size_t f = std::size_t(fromMs) * rate / 1000; f < std::size_t(toMs) * rate / 1000;
         ++f)
        out.push_back(stereo.at(f * 2));
    return out;
}

// First frame louder than -60 dB full scale (the reverb keeps a tiny
// offset against denormals, so silence is not exactly zero).
std::size_t onset(const std::vector<float> &stereo) {
    for (std::size_t i = 0; i < stereo.size(); ++i) {
        if (std::fabs(stereo[i]) > 1e-3)
            return i / 2;
    }
    return stereo.size();
}

double rms(const std::vector<double> &x) {
    double sum = 0;
    for (double v : x)
        sum += v * v;
    return x.empty() ? 0 : std::sqrt(sum / double(x.size()));
}

// Fundamental frequency by normalised autocorrelation: the first lag whose
// correlation peaks near the best one (so an octave below is not taken),
// refined between samples by a parabola.
double fundamental(const std::vector<double> &x) {
    const int minLag = rate / 2000, maxLag = rate / 50;
    std::vector<double> r(maxLag + 2, 0.0);
    for (int lag = minLag; lag <= maxLag + 1; ++lag) {
        double xy = 0, xx = 0, yy = 0;
        for (std::size_t i = 0; i + lag < x.size(); ++i) {
            xy += x[i] * x[i + lag];
            xx += x[i] * x[i];
            yy += x[i + lag] * x[i + lag];
        }
        r[lag] = xx > 0 && yy > 0 ? xy / std::sqrt(xx * yy) : 0;
    }
    double best = 0;
    for (int lag = minLag; lag <= maxLag; ++lag)
        best = std::max(best, r[lag]);
    for (int lag = minLag + 1; lag <= maxLag; ++lag) {
        if (r[lag] >= 0.9 * best && r[lag] >= r[lag - 1] && r[lag] >= r[lag + 1]) {
            const double a = r[lag - 1], b = r[lag], c = r[lag + 1];
            const double denom = a - 2 * b + c;
            const double shift = denom != 0 ? 0.5 * (a - c) / denom : 0;
            return rate / (lag + shift);
        }
    }
    return 0;
}

// Levels of harmonics 2..count of hz in dB below the fundamental (down to
// -60 dB): the colour of a sound whatever its loudness.
std::vector<double> harmonicLevels(const std::vector<double> &x, double hz, int count) {
    std::vector<double> amplitude;
    for (int h = 1; h <= count; ++h) {
        // Goertzel filter at the h-th harmonic, over a Hann window.
        const double w = 2 * M_PI * hz * h / rate;
        double s1 = 0, s2 = 0;
        for (std::size_t i = 0; i < x.size(); ++i) {
            const double hann = 0.5 - 0.5 * std::cos(2 * M_PI * double(i) / double(x.size() - 1));
            const double s0 = x[i] * hann + 2 * std::cos(w) * s1 - s2;
            s2 = s1;
            s1 = s0;
        }
        amplitude.push_back(
            std::sqrt(std::max(s1 * s1 + s2 * s2 - 2 * std::cos(w) * s1 * s2, 0.0)));
    }
    std::vector<double> levels;
    for (int h = 1; h < count; ++h)
        levels.push_back(amplitude[0] > 0
                             ? std::max(20 * std::log10(amplitude[h] / amplitude[0] + 1e-12), -60.0)
                             : -60.0);
    return levels;
}

// Root mean square of the level differences, in dB.
double difference(const std::vector<double> &a, const std::vector<double> &b) {
    double sum = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        sum += (a[i] - b[i]) * (a[i] - b[i]);
    return a.empty() ? 0 : std::sqrt(sum / double(a.size()));
}

class OfflineSynthTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        m_synth = OfflineSynth::create({}, error);
        ASSERT_TRUE(m_synth) << "no synthesizer: " << error;
    }
    std::unique_ptr<OfflineSynth> m_synth;
};

TEST_F(OfflineSynthTest, NotesSoundAtTheirEqualTemperedPitch) {
    const struct {
        DWORD key;
        double hz;
    } notes[] = {{69, 440.0}, {81, 880.0}, {57, 220.0}, {48, 130.813}};
    for (const auto &note : notes) {
        const DWORD on = 0x90 | note.key << 8 | 0x79 << 16;
        const std::vector<float> sound = m_synth->renderFloat({{0, on}}, 800);
        const double hz = fundamental(leftChannel(sound, 200, 700));
        EXPECT_NEAR(hz, note.hz, note.hz * 0.01) << "key " << note.key;
    }
}

TEST_F(OfflineSynthTest, MessagesActAtTheirTimes) {
    // The player's own words: program 74 (flute), note 69 on at 250 ms, off at 750 ms.
    const std::vector<TimedMidiMessage> melody = {{750, 0x104580}, {250, 0x794590}, {0, 0x49C0}};
    const std::vector<float> sound = m_synth->renderFloat(melody, 2000);
    ASSERT_EQ(sound.size(), std::size_t(2 * rate * 2));

    EXPECT_LT(rms(leftChannel(sound, 0, 249)), 1e-6) << "sound before the note-on";
    const double playing = rms(leftChannel(sound, 300, 700));
    EXPECT_GT(playing, 0.01);
    EXPECT_NEAR(fundamental(leftChannel(sound, 300, 700)), 440.0, 4.4);
    EXPECT_LT(rms(leftChannel(sound, 1800, 2000)), playing * 0.01) << "note-off not heard";

    // A second rendering starts from silence and the default program.
    EXPECT_EQ(m_synth->renderFloat(melody, 2000), sound);
    const std::vector<float> piano = m_synth->renderFloat({{250, 0x794590}}, 2000);
    EXPECT_LT(rms(leftChannel(piano, 0, 249)), 1e-6);
    // The same note 250 ms later starts 250 ms later, to the synthesizer's
    // 64-frame block.
    const std::vector<float> later = m_synth->renderFloat({{500, 0x794590}}, 2000);
    const double shift = double(onset(later)) - double(onset(piano));
    EXPECT_NEAR(shift, rate / 4, 64);
    EXPECT_NE(piano, sound);
}

TEST_F(OfflineSynthTest, AProgramChangeChangesTheInstrument) {
    // The same note 69 at the same time and velocity, after programs 0
    // (piano), 73 (flute) and 40 (violin) on channel 1: each instrument has
    // harmonics of its own (they differ by 10 dB and more), while the same
    // program twice sounds the same.
    auto colour = [&](int program) {
        const std::vector<float> sound =
            m_synth->renderFloat({{0, DWORD(0xC0 | program << 8)}, {100, 0x794590}}, 800);
        const std::vector<double> x = leftChannel(sound, 300, 700);
        EXPECT_GT(rms(x), 0.005) << "program " << program << " is silent";
        EXPECT_NEAR(fundamental(x), 440.0, 4.4) << "program " << program;
        return harmonicLevels(x, 440.0, 8);
    };
    const std::vector<double> piano = colour(0);
    const std::vector<double> flute = colour(73);
    const std::vector<double> violin = colour(40);
    EXPECT_LT(difference(piano, colour(0)), 0.01);
    EXPECT_GT(difference(piano, flute), 5.0);
    EXPECT_GT(difference(piano, violin), 5.0);
    EXPECT_GT(difference(flute, violin), 5.0);
}

TEST_F(OfflineSynthTest, SixteenBitSamplesFollowTheFloatOnes) {
    const std::vector<TimedMidiMessage> note = {{0, 0x794590}};
    const std::vector<float> f = m_synth->renderFloat(note, 300);
    const std::vector<std::int16_t> s = m_synth->renderInt16(note, 300);
    ASSERT_EQ(s.size(), f.size());
    EXPECT_EQ(s, toInt16(f));
    EXPECT_EQ(toInt16({0.0f, 0.5f, -0.5f, 1.0f, 1.7f, -3.0f, NAN}),
              (std::vector<std::int16_t>{0, 16384, -16384, 32767, 32767, -32767, 0}));
}

// Keeps each block the synthesizer hands over; can refuse one.
class BlockSink final : public RenderSink {
public:
    bool take(const float *samples, std::size_t frames) override {
        sizes.push_back(frames);
        sound.insert(sound.end(), samples, samples + 2 * frames);
        return sizes.size() != refuseBlock;
    }
    std::vector<std::size_t> sizes;
    std::vector<float> sound;
    std::size_t refuseBlock = 0; // 1: the first block is refused
};

TEST_F(OfflineSynthTest, TheSoundComesInFixedBlocksWhateverTheMessageTimes) {
    // Messages at times that fall inside blocks, twice at the same time,
    // and one after the end (never heard).
    const std::vector<TimedMidiMessage> melody = {
        {0, 0x49C0},     {3, 0x794590},   {370, 0x104580},  {370, 0x794890},
        {371, 0x104880}, {900, 0x7F3C90}, {1234, 0x103C80}, {5000, 0x794590}};
    const Long durationMs = 1500; // 66150 frames: 8 full blocks and a short one
    BlockSink sink;
    ASSERT_TRUE(m_synth->render(melody, durationMs, sink));
    const auto total = std::size_t(OfflineSynth::framesFor(durationMs));
    ASSERT_EQ(total, 66150u);
    ASSERT_EQ(sink.sizes.size(), total / OfflineSynth::blockFrames + 1);
    for (std::size_t i = 0; i + 1 < sink.sizes.size(); ++i)
        EXPECT_EQ(sink.sizes[i], OfflineSynth::blockFrames) << "block " << i;
    EXPECT_EQ(sink.sizes.back(), total % OfflineSynth::blockFrames);
    // The same sound as rendered in one piece, and not silence.
    EXPECT_EQ(sink.sound, m_synth->renderFloat(melody, durationMs));
    EXPECT_GT(rms(leftChannel(sink.sound, 400, 800)), 0.001);
}

TEST_F(OfflineSynthTest, ARefusedBlockStopsTheRendering) {
    BlockSink sink;
    sink.refuseBlock = 2;
    EXPECT_FALSE(m_synth->render({{0, 0x794590}}, 60'000, sink));
    EXPECT_EQ(sink.sizes.size(), 2u);
    // The next rendering starts afresh.
    BlockSink next;
    EXPECT_TRUE(m_synth->render({{0, 0x794590}}, 300, next));
    EXPECT_EQ(next.sound, m_synth->renderFloat({{0, 0x794590}}, 300));
}

TEST(SixteenBitSamples, RoundHalfAwayFromZeroAsLround) {
    // Every float step around a few rounding boundaries, and a coarse sweep
    // of the whole range, against the library's rounding.
    std::vector<float> in;
    for (float centre : {0.5f, 1.5f, 2.5f, 100.5f, 16383.5f, 32766.5f}) {
        for (float sign : {1.0f, -1.0f}) {
            float v = sign * centre / 32767.0f;
            for (int i = 0; i < 50; ++i)
                v = std::nextafter(v, 0.0f);
            for (int i = 0; i < 100; ++i, v = std::nextafter(v, sign * 2.0f))
                in.push_back(v);
        }
    }
    for (int i = -100000; i <= 100000; ++i)
        in.push_back(float(i) / 100000.0f);
    std::vector<std::int16_t> out(in.size());
    toInt16(in.data(), in.size(), out.data());
    for (std::size_t i = 0; i < in.size(); ++i)
        ASSERT_EQ(out[i], std::lround(in[i] * 32767.0f)) << "sample " << in[i];
    EXPECT_EQ(toInt16({INFINITY, -INFINITY, -NAN, 2e30f, -1.0f}),
              (std::vector<std::int16_t>{0, 0, 0, 32767, -32767}));
}

TEST(OfflineSynthCreate, AMissingSoundFontIsReported) {
    std::string error;
    EXPECT_FALSE(OfflineSynth::create("/nonexistent/none.sf2", error));
    EXPECT_NE(error.find("/nonexistent/none.sf2"), std::string::npos) << error;
}

TEST(WavWriter, WritesAPlayableHeaderAndTheSamples) {
    QTemporaryDir dir;
    const QString path = dir.filePath("tone.wav");
    const std::vector<std::int16_t> samples = {0, 1, -1, 32767, -32768, 258};
    QString error;
    ASSERT_TRUE(writeWav(path, samples, 2, 44100, error)) << error.toStdString();

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray b = file.readAll();
    ASSERT_EQ(b.size(), 44 + 12);
    auto u32 = [&](int at) { return qFromLittleEndian<quint32>(b.constData() + at); };
    auto u16 = [&](int at) { return qFromLittleEndian<quint16>(b.constData() + at); };
    EXPECT_EQ(b.left(4), "RIFF");
    EXPECT_EQ(u32(4), 36u + 12u);
    EXPECT_EQ(b.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(u32(16), 16u);
    EXPECT_EQ(u16(20), 1);      // PCM
    EXPECT_EQ(u16(22), 2);      // channels
    EXPECT_EQ(u32(24), 44100u); // frames per second
    EXPECT_EQ(u32(28), 44100u * 4);
    EXPECT_EQ(u16(32), 4); // bytes per frame
    EXPECT_EQ(u16(34), 16);
    EXPECT_EQ(b.mid(36, 4), "data");
    EXPECT_EQ(u32(40), 12u);
    for (std::size_t i = 0; i < samples.size(); ++i)
        EXPECT_EQ(qFromLittleEndian<qint16>(b.constData() + 44 + 2 * i), samples[i]) << i;
}

TEST(WavWriter, RefusesWhatItCannotWriteAndLeavesNoFile) {
    QTemporaryDir dir;
    QString error;
    EXPECT_FALSE(writeWav(dir.filePath("no/such/folder/x.wav"), {0, 0}, 2, 44100, error));
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    EXPECT_FALSE(writeWav(dir.filePath("odd.wav"), {0, 0, 0}, 2, 44100, error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath("odd.wav")));
}

} // namespace
} // namespace tambolin
