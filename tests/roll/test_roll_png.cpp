// Roll pictures as PNG bytes: whatever the encoding chosen, the file holds
// exactly the pixels drawn, at the same resolution every time.

#include "roll/roll_files.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace tambolin::roll;

namespace {

// A picture with exactly n colours, each in a run of its own.
QImage withColours(int n) {
    QImage image(n, 3, QImage::Format_RGB32);
    for (int x = 0; x < n; ++x)
        for (int y = 0; y < 3; ++y)
            image.setPixel(x, y, qRgb(x & 0xff, (x >> 8) * 40, 255 - (x & 0xff)));
    return image;
}

constexpr int PngRgb = 2;
constexpr int PngPalette = 3;

// The colour type in the file's header (IHDR, the first chunk).
int colourType(const QByteArray &png) {
    return png.size() > 25 && png.mid(12, 4) == "IHDR" ? static_cast<unsigned char>(png[25]) : -1;
}

QImage decoded(const QByteArray &png) {
    return QImage::fromData(png, "PNG");
}

} // namespace

TEST(RollPng, EveryPixelSurvivesOnBothSidesOfThePaletteLimit) {
    for (int colours : {2, 255, 256, 257, 700}) {
        SCOPED_TRACE(colours);
        const QImage picture = withColours(colours);
        const QByteArray png = pngBytes(picture);
        ASSERT_FALSE(png.isEmpty());
        const QImage back = decoded(png);
        ASSERT_FALSE(back.isNull());
        EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), picture);
        // A palette holds 256 colours; beyond that the file is RGB.
        EXPECT_EQ(colourType(png), colours <= 256 ? PngPalette : PngRgb);
    }
}

TEST(RollPng, TheResolutionIsTheSameWhateverTheScreen) {
    QImage picture = withColours(40);
    picture.setDotsPerMeterX(1234); // as a screen of another density would leave it
    picture.setDotsPerMeterY(5678);
    const QImage back = decoded(pngBytes(picture));
    EXPECT_NEAR(back.dotsPerMeterX() * 0.0254, 96.0, 0.05);
    EXPECT_NEAR(back.dotsPerMeterY() * 0.0254, 96.0, 0.05);
    // And the same picture gives the same bytes.
    EXPECT_EQ(pngBytes(picture), pngBytes(withColours(40)));
}
