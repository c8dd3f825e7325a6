#include "control/artwork.h"

#include <QSet>
#include <gtest/gtest.h>

namespace tambolin {
namespace {

TEST(Artwork, PicturesHaveTheirDesignSizes) {
    EXPECT_EQ(artwork::background().size(), QSize(160, 100));
    EXPECT_EQ(artwork::titleStrip().size(), QSize(154, 16));
    EXPECT_EQ(artwork::meterBar().size(), QSize(143, 3));
    EXPECT_EQ(artwork::background().depth(), 24);
    EXPECT_EQ(artwork::titleStrip().depth(), 24);
    EXPECT_EQ(artwork::meterBar().depth(), 24);
}

TEST(Artwork, MeterBarHasNoBlackPixel) {
    // A level is drawn in black over the bar; a black pixel in the bar itself
    // would read as silence.
    const QImage bar = artwork::meterBar();
    for (int y = 0; y < bar.height(); ++y)
        for (int x = 0; x < bar.width(); ++x)
            EXPECT_NE(bar.pixel(x, y) & 0xFFFFFF, 0u) << x << "," << y;
}

TEST(Artwork, ButtonPicturesAreSixteenColoursAndDistinct) {
    QSet<QByteArray> seen;
    for (int i = 1; i <= 5; ++i) {
        const QImage picture = artwork::buttonPicture(static_cast<artwork::Button>(i));
        ASSERT_EQ(picture.size(), QSize(16, 16));
        ASSERT_EQ(picture.format(), QImage::Format_Indexed8);
        EXPECT_EQ(picture.colorTable(), artwork::sixteenColours());
        int drawn = 0;
        QByteArray pixels;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const int index = picture.pixelIndex(x, y);
                EXPECT_LT(index, 16);
                pixels.append(static_cast<char>(index));
                drawn += index != 13; // fuchsia is the see-through key
            }
        // Each picture covers a fair part of its square, and no two are alike.
        EXPECT_GT(drawn, 40) << "button " << i;
        EXPECT_FALSE(seen.contains(pixels)) << "button " << i;
        seen.insert(pixels);
    }
}

} // namespace
} // namespace tambolin
