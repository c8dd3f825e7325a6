// Reading wave files: the formats we play, chunks we skip, and what is refused.

#include "platform/audio/wav_reader.h"
#include "support/smf_builder.h"

#include <gtest/gtest.h>

namespace tambolin {
namespace {

using namespace testdata;

TEST(WavReader, PcmSixteenBitWithOtherChunksAround) {
    const QByteArray pcm = rampPcm16(8);
    // An odd-sized chunk before the data is padded to an even length.
    const QByteArray bytes = wav(wavFormat(1, 2, 22050, 16), pcm, chunk("LIST", "abc"));
    QString error;
    const auto clip = readWav(bytes, error);
    ASSERT_TRUE(clip) << error.toStdString();
    EXPECT_EQ(clip->format.sampleRate, 22050);
    EXPECT_EQ(clip->format.channels, 2);
    EXPECT_EQ(clip->format.bitsPerSample, 16);
    EXPECT_FALSE(clip->format.isFloat);
    EXPECT_EQ(clip->pcm, pcm);
    EXPECT_EQ(clip->frames(), 4);
}

TEST(WavReader, TwentyFourBitSamplesAreWidened) {
    const QByteArray pcm("\x01\x02\x03\xFD\xFE\xFF", 6);
    QString error;
    const auto clip = readWav(wav(wavFormat(1, 1, 8000, 24), pcm), error);
    ASSERT_TRUE(clip) << error.toStdString();
    EXPECT_EQ(clip->format.bitsPerSample, 32);
    EXPECT_EQ(clip->pcm, QByteArray("\x00\x01\x02\x03\x00\xFD\xFE\xFF", 8));
}

TEST(WavReader, ExtensibleHeaderNamesItsFormatInTheSubFormat) {
    QByteArray fmt = wavFormat(0xFFFE, 1, 48000, 32);
    fmt += le(22, 2) + le(32, 2) + le(4, 4) + le(3, 2) + QByteArray(14, '\0'); // float
    QString error;
    const auto clip = readWav(wav(fmt, QByteArray(16, '\0')), error);
    ASSERT_TRUE(clip) << error.toStdString();
    EXPECT_TRUE(clip->format.isFloat);
    EXPECT_EQ(clip->frames(), 4);
}

TEST(WavReader, TruncatedDataPlaysWholeFramesOnly) {
    QByteArray bytes = wav(wavFormat(1, 2, 8000, 16), rampPcm16(10));
    bytes.chop(3);
    QString error;
    const auto clip = readWav(bytes, error);
    ASSERT_TRUE(clip) << error.toStdString();
    EXPECT_EQ(clip->frames(), 4);
}

TEST(WavReader, RefusesWhatItCannotPlay) {
    QString error;
    EXPECT_FALSE(readWav(wav(wavFormat(2, 1, 8000, 4), QByteArray(8, '\0')), error)) << "ADPCM";
    EXPECT_FALSE(readWav(wav(wavFormat(1, 0, 8000, 16), QByteArray(8, '\0')), error))
        << "no channels";
    EXPECT_FALSE(readWav(wav(wavFormat(1, 1, 8000, 12), QByteArray(8, '\0')), error)) << "12 bits";
    const QByteArray noData = "RIFF" + le(16, 4) + "WAVE" + chunk("fmt ", wavFormat(1, 1, 8000, 8));
    EXPECT_FALSE(readWav(noData, error)) << "no data";
    EXPECT_FALSE(readWav("MThd", error));
    const QByteArray shortFormat = "RIFF" + le(20, 4) + "WAVE" + chunk("fmt ", "abcd");
    EXPECT_FALSE(readWav(shortFormat, error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
} // namespace tambolin
