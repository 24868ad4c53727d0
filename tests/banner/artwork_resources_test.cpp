// The pictures compiled into the program load through Qt's own readers with the sizes and formats the
// banner code relies on.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <algorithm>

namespace {

int BrightestInRows(const QImage& image, int first, int last) {
    int brightest = 0;
    for (int y = first; y <= last; ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            brightest = std::max(brightest, qRed(p) + qGreen(p) + qBlue(p));
        }
    }
    return brightest;
}

TEST(ArtworkResources, PicturesLoadWithTheirSizes) {
    const struct {
        const char* path;
        int width, height;
    } cases[] = {
        {":/bitmap138.bmp", 570, 80},
        {":/bitmap139.bmp", 570, 40},
        {":/bitmap140.bmp", 64, 108},
        {":/icon128.png", 32, 32},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const QImage image(QString::fromLatin1(c.path));
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.width(), c.width);
        EXPECT_EQ(image.height(), c.height);
    }
}

TEST(ArtworkResources, SidePictureKeepsItsColourTable) {
    const QImage image(QStringLiteral(":/bitmap140.bmp"));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.format(), QImage::Format_Indexed8);
    EXPECT_GT(image.colorCount(), 16);
    EXPECT_LE(image.colorCount(), 256);
}

TEST(ArtworkResources, IconHasTransparentCornersAndOpaqueMiddle) {
    const QImage image = QImage(QStringLiteral(":/icon128.png")).convertToFormat(QImage::Format_ARGB32);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(image.pixel(31, 31)), 0);
    EXPECT_EQ(qAlpha(image.pixel(8, 16)), 255);
}

TEST(ArtworkResources, BannerPictureHoldsTheTitleInItsLowerRows) {
    // Picture row y becomes memory row y and memory row 0 is drawn at the bottom, so the rows that show
    // at the top of the screen are the picture's lower rows.
    const QImage image(QStringLiteral(":/bitmap138.bmp"));
    ASSERT_FALSE(image.isNull());
    const int reflection = BrightestInRows(image, 0, 39);
    const int title = BrightestInRows(image, 40, 79);
    EXPECT_GT(title, reflection + reflection / 4);
}

} // namespace
