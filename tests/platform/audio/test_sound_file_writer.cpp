// Sound files written block by block: each type read back by libsndfile,
// WAV bytes as the one-piece writer makes them, and no file left behind by
// a writer that fails or is abandoned.

#include "platform/audio/sound_file_writer.h"
#include "platform/audio/wav_stream_writer.h"
#include "platform/audio/wav_writer.h"
#include "support/temp_files.h"

#include <QDir>
#include <QFile>
#include <cmath>
#include <csignal>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace tambolin {
namespace {

using testing::readFile;
using testing::TempFolder;
using testing::writeFile;

constexpr int rate = 44100;

// Stereo: a 440 Hz tone on the left, 660 Hz on the right, at half scale.
std::vector<std::int16_t> tone(std::size_t frames) {
    std::vector<std::int16_t> out;
    for (std::size_t f = 0; f < frames; ++f) {
        const double t = double(f) / rate;
        out.push_back(std::int16_t(std::lround(16000 * std::sin(2 * M_PI * 440 * t))));
        out.push_back(std::int16_t(std::lround(16000 * std::sin(2 * M_PI * 660 * t))));
    }
    return out;
}

struct ReadBack {
    SF_INFO info{};
    std::vector<std::int16_t> samples;
};

ReadBack readBack(const QString &path) {
    ReadBack r;
    SNDFILE *f = sf_open(QFile::encodeName(path).constData(), SFM_READ, &r.info);
    if (!f)
        return r;
    r.samples.resize(std::size_t(r.info.frames) * std::size_t(r.info.channels));
    r.samples.resize(std::size_t(sf_readf_short(f, r.samples.data(), r.info.frames)) *
                     std::size_t(r.info.channels));
    sf_close(f);
    return r;
}

// Writes samples through a SoundFileWriter in blocks of uneven sizes.
bool writeInBlocks(const QString &path, SoundFileType type, const std::vector<std::int16_t> &s,
                   QString &error) {
    const std::unique_ptr<SoundFileWriter> w = SoundFileWriter::create(path, type, 2, rate, error);
    if (!w)
        return false;
    const std::size_t frames = s.size() / 2;
    for (std::size_t at = 0, block = 1000; at < frames; at += block, block += 777) {
        if (!w->write(s.data() + 2 * at, std::min(block, frames - at), error))
            return false;
    }
    return w->finish(error);
}

QStringList entries(const TempFolder &dir) {
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

TEST(SoundFileType, FollowsTheExtensionInAnyCase) {
    EXPECT_EQ(soundFileTypeFor("a.wav"), SoundFileType::Wav);
    EXPECT_EQ(soundFileTypeFor("/x/y/Song.WAV"), SoundFileType::Wav);
    EXPECT_EQ(soundFileTypeFor("a.b.flac"), SoundFileType::Flac);
    EXPECT_EQ(soundFileTypeFor("a.Ogg"), SoundFileType::OggVorbis);
    for (const char *unknown :
         {"a.mp3", "a.wave", "wav", "a.wav.tmp", "a.", "a", ".wav", "folder.wav/", "a.og", ""})
        EXPECT_EQ(soundFileTypeFor(QString::fromLatin1(unknown)), std::nullopt) << unknown;
}

TEST(SoundFileWriter, EachTypeReadsBackWithItsFramesAndSound) {
    TempFolder dir;
    const std::vector<std::int16_t> samples = tone(30001);
    const struct {
        const char *name;
        SoundFileType type;
        int major;
    } cases[] = {{"t.wav", SoundFileType::Wav, SF_FORMAT_WAV},
                 {"t.flac", SoundFileType::Flac, SF_FORMAT_FLAC},
                 {"t.ogg", SoundFileType::OggVorbis, SF_FORMAT_OGG}};
    for (const auto &c : cases) {
        const QString path = dir.path(c.name);
        QString error;
        ASSERT_TRUE(writeInBlocks(path, c.type, samples, error)) << c.name << error.toStdString();
        const ReadBack r = readBack(path);
        EXPECT_EQ(r.info.format & SF_FORMAT_TYPEMASK, c.major) << c.name;
        EXPECT_EQ(r.info.channels, 2) << c.name;
        EXPECT_EQ(r.info.samplerate, rate) << c.name;
        EXPECT_EQ(r.info.frames, 30001) << c.name;
        ASSERT_EQ(r.samples.size(), samples.size()) << c.name;
        if (c.type != SoundFileType::OggVorbis) {
            EXPECT_EQ(r.samples, samples) << c.name << " is not lossless";
            continue;
        }
        // Vorbis is lossy: the tones come back close, channels not swapped.
        double error2 = 0, signal2 = 0;
        for (std::size_t i = 2 * 2000; i < samples.size(); ++i) {
            const double d = double(r.samples[i]) - double(samples[i]);
            error2 += d * d;
            signal2 += double(samples[i]) * samples[i];
        }
        EXPECT_LT(error2, signal2 * 0.01) << "the Ogg file sounds unlike what was written";
    }
    // Only the three files: no temporary one is left.
    EXPECT_EQ(entries(dir), (QStringList{"t.flac", "t.ogg", "t.wav"}));
}

TEST(SoundFileWriter, WavBytesAreThoseOfTheOnePieceWriter) {
    TempFolder dir;
    const std::vector<std::int16_t> samples = tone(5000);
    QString error;
    ASSERT_TRUE(writeWav(dir.path("whole.wav"), samples, 2, rate, error));
    ASSERT_TRUE(writeInBlocks(dir.path("blocks.wav"), SoundFileType::Wav, samples, error))
        << error.toStdString();
    const QByteArray whole = readFile(dir.path("whole.wav"));
    EXPECT_EQ(whole.size(), 44 + 5000 * 4);
    EXPECT_EQ(readFile(dir.path("blocks.wav")), whole);
}

TEST(SoundFileWriter, ReplacesAnOldFileOnlyWhenComplete) {
    TempFolder dir;
    const QString path = dir.path("song.flac");
    ASSERT_TRUE(writeFile(path, "old contents"));
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const std::vector<std::int16_t> samples = tone(4000);
    QString error;
    {
        // Abandoned half way: the old file stays, the new one goes.
        const auto w = SoundFileWriter::create(path, SoundFileType::Flac, 2, rate, error);
        ASSERT_TRUE(w);
        ASSERT_TRUE(w->write(samples.data(), 2000, error));
        EXPECT_EQ(entries(dir).size(), 2); // the target and the one being written
    }
    EXPECT_EQ(readFile(path), "old contents");
    EXPECT_EQ(entries(dir), QStringList{"song.flac"});

    ASSERT_TRUE(writeInBlocks(path, SoundFileType::Flac, samples, error)) << error.toStdString();
    EXPECT_EQ(readBack(path).samples, samples);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << "the old file's permissions are lost";
    EXPECT_EQ(entries(dir), QStringList{"song.flac"});
}

// Files may grow only to `bytes` while it lives; a write beyond fails with
// EFBIG instead of raising SIGXFSZ, as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int);
};

TEST(SoundFileWriter, AWriteTheDiskRefusesLeavesNoFile) {
    TempFolder dir;
    const QString path = dir.path("long.wav");
    ASSERT_TRUE(writeFile(path, "the old sound"));
    const std::vector<std::int16_t> samples = tone(44100);
    QString error;
    bool written = false;
    {
        const FileSizeLimit limit(64 * 1024);
        written = writeInBlocks(path, SoundFileType::Wav, samples, error);
    }
    EXPECT_FALSE(written);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(readFile(path), "the old sound");
    EXPECT_EQ(entries(dir), QStringList{"long.wav"});

    // No folder to write in: refused at once, nothing made.
    error.clear();
    EXPECT_FALSE(
        SoundFileWriter::create(dir.path("none/x.ogg"), SoundFileType::OggVorbis, 2, rate, error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(SoundFileWriter::create(dir.path("x.wav"), SoundFileType::Wav, 0, rate, error));
    EXPECT_EQ(entries(dir), QStringList{"long.wav"});
}

TEST(WavStreamWriter, WritesTheAnnouncedLengthThroughAPipe) {
    const std::vector<std::int16_t> samples = tone(3000);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    QByteArray received;
    std::thread reader([&] {
        char buffer[4096];
        ssize_t n;
        while ((n = read(fds[0], buffer, sizeof buffer)) > 0)
            received.append(buffer, n);
    });
    QString error;
    bool ok = false;
    {
        const auto w = WavStreamWriter::create(fds[1], 2, rate, 3000, error);
        ok = w && w->write(samples.data(), 1000, error) &&
             w->write(samples.data() + 2000, 2000, error) && w->finish(error);
    }
    close(fds[1]);
    reader.join();
    close(fds[0]);
    ASSERT_TRUE(ok) << error.toStdString();

    TempFolder dir;
    ASSERT_TRUE(writeWav(dir.path("same.wav"), samples, 2, rate, error));
    EXPECT_EQ(received, readFile(dir.path("same.wav")));
}

TEST(WavStreamWriter, RefusesAnyOtherLength) {
    TempFolder dir;
    QFile file(dir.path("out.wav"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const std::vector<std::int16_t> samples = tone(10);
    QString error;
    const auto more = WavStreamWriter::create(file.handle(), 2, rate, 5, error);
    ASSERT_TRUE(more);
    EXPECT_FALSE(more->write(samples.data(), 6, error));
    EXPECT_FALSE(error.isEmpty());
    const auto fewer = WavStreamWriter::create(file.handle(), 2, rate, 5, error);
    ASSERT_TRUE(fewer);
    ASSERT_TRUE(fewer->write(samples.data(), 4, error));
    EXPECT_FALSE(fewer->finish(error));
    // Over 4 GiB of samples cannot be announced in a WAV header.
    EXPECT_FALSE(WavStreamWriter::create(file.handle(), 2, rate, 1'100'000'000, error));
    EXPECT_FALSE(WavStreamWriter::create(-1, 2, rate, 5, error));
}

} // namespace
} // namespace tambolin
