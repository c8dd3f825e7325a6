// `tambolin render` into each sound file type, onto standard output, and
// what it leaves when the output is refused or cannot be written.

#include "support/skip.h"
#include "support/sound_font.h"
#include "support/temp_files.h"
#include "tool_run.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <cmath>
#include <gtest/gtest.h>
#include <sndfile.h>

using namespace tambolin::testing;

namespace {

struct Sound {
    SF_INFO info{};
    std::vector<std::int16_t> samples;
};

Sound readSound(const QString &path) {
    Sound s;
    SNDFILE *f = sf_open(QFile::encodeName(path).constData(), SFM_READ, &s.info);
    if (!f)
        return s;
    s.samples.resize(std::size_t(s.info.frames) * std::size_t(s.info.channels));
    s.samples.resize(std::size_t(sf_readf_short(f, s.samples.data(), s.info.frames)) *
                     std::size_t(s.info.channels));
    sf_close(f);
    return s;
}

using tambolin::testing::haveSoundFont;

class RenderFiles : public ::testing::Test {
protected:
    void SetUp() override {
        if (!haveSoundFont())
            TAMBOLIN_SKIP_WITHOUT("no General MIDI sound font (Debian package timgm6mb-soundfont)");
        // A second and a half: quarters at tempo 1 and a rest, in two parts.
        m_melody =
            buildMelody(m_dir,
                        R"({"title": "Files", "tempo": 1, "parts": [[[2, 21], [32, 0], [2, 16]], )"
                        R"([[1, 9]], []]})",
                        m_made);
        m_out.mkdir(QStringLiteral("out"));
    }
    QString out(const QString &name) const { return m_dir.path(QStringLiteral("out/") + name); }
    QStringList outFiles() const {
        QStringList names =
            QDir(m_dir.path("out")).entryList(QDir::Files | QDir::Hidden | QDir::System);
        names.sort();
        return names;
    }
    TempFolder m_dir;
    QDir m_out{m_dir.path()};
    QString m_melody;
    int m_made = 0;
};

TEST_F(RenderFiles, FlacAndOggHoldTheSoundOfTheWav) {
    for (const char *name : {"a.wav", "a.flac", "a.OGG"}) {
        const ToolRun r = runTool({"render", m_melody, "-o", out(name), "--program", "73"});
        ASSERT_EQ(r.status, 0) << name << ": " << r.err.toStdString();
    }
    EXPECT_EQ(outFiles(), (QStringList{"a.OGG", "a.flac", "a.wav"}));
    const Sound wav = readSound(out("a.wav"));
    const Sound flac = readSound(out("a.flac"));
    const Sound ogg = readSound(out("a.OGG"));
    EXPECT_EQ(wav.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_EQ(flac.info.format, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    EXPECT_EQ(ogg.info.format, SF_FORMAT_OGG | SF_FORMAT_VORBIS);
    for (const Sound *s : {&wav, &flac, &ogg}) {
        EXPECT_EQ(s->info.channels, 2);
        EXPECT_EQ(s->info.samplerate, 44100);
    }
    // Up to a tick of the 10 ms grid, then one second of release.
    EXPECT_GT(wav.info.frames, 44100);
    EXPECT_EQ(wav.info.frames % 441, 0);
    EXPECT_EQ(flac.info.frames, wav.info.frames);
    EXPECT_EQ(ogg.info.frames, wav.info.frames);
    EXPECT_EQ(flac.samples, wav.samples) << "FLAC is lossless";

    double signal = 0, error = 0;
    for (std::size_t i = 0; i < wav.samples.size() && i < ogg.samples.size(); ++i) {
        signal += double(wav.samples[i]) * wav.samples[i];
        error += std::pow(double(ogg.samples[i]) - wav.samples[i], 2);
    }
    EXPECT_GT(signal, 0.0);
    EXPECT_LT(error, signal * 0.01) << "the Ogg file sounds unlike the WAV";
}

TEST_F(RenderFiles, AnUnknownTypeOrAMissingFolderWritesNothing) {
    for (const char *name : {"a.mp3", "a", "a.wav.part", ".wav"}) {
        const ToolRun r = runTool({"render", m_melody, "-o", out(name)});
        EXPECT_EQ(r.status, 2) << name;
        EXPECT_TRUE(r.err.contains(QStringLiteral(".wav, .flac or .ogg"))) << r.err.toStdString();
    }
    const ToolRun r = runTool({"render", m_melody, "-o", out("none/a.flac")});
    EXPECT_EQ(r.status, 1) << r.err.toStdString();
    EXPECT_FALSE(r.err.isEmpty());
    EXPECT_TRUE(outFiles().isEmpty()) << outFiles().join(u' ').toStdString();
}

TEST_F(RenderFiles, AFileTooLargeForTheDiskKeepsTheOldOne) {
    const QString target = out("a.wav");
    ASSERT_TRUE(writeFile(target, "the old sound"));
    // Files may grow to 100 KiB only; with SIGXFSZ ignored the write fails
    // as on a full disk.
    QProcess shell;
    shell.start(QStringLiteral("/bin/sh"), {"-c", "trap '' XFSZ; ulimit -f 200; exec \"$@\"", "sh",
                                            toolPath(), "render", m_melody, "-o", target});
    ASSERT_TRUE(shell.waitForFinished(60000));
    EXPECT_EQ(shell.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(shell.exitCode(), 1) << shell.readAllStandardError().toStdString();
    EXPECT_EQ(readFile(target), "the old sound");
    EXPECT_EQ(outFiles(), QStringList{"a.wav"});
}

TEST_F(RenderFiles, StandardOutputGetsTheWavTheFileGets) {
    ASSERT_EQ(runTool({"render", m_melody, "-o", out("a.wav")}).status, 0);
    QProcess tool;
    tool.start(toolPath(), {"render", m_melody, "-o", "-"});
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    const QByteArray piped = tool.readAllStandardOutput();
    EXPECT_EQ(piped, readFile(out("a.wav")));
    EXPECT_EQ(outFiles(), QStringList{"a.wav"}) << "no file named '-' or other";
    EXPECT_FALSE(QFile::exists(QStringLiteral("-")));
}

} // namespace
