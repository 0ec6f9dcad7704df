#include "Glyph.h"
#include "Panel.h"

#include <gtest/gtest.h>

#include <QImage>
#include <vector>

namespace {

const QColor light(255, 255, 255);
const QColor shadow(128, 128, 128);

// Walks inwards from the left edge along the middle row and from the top edge along the middle
// column of a 60 × 40 picture, and from the right and bottom edges likewise.
void expectFromTheOutsideIn(const QImage& image, const std::vector<QColor>& topLeft,
                            const std::vector<QColor>& bottomRight) {
    ASSERT_EQ(topLeft.size(), bottomRight.size());
    for (std::size_t i = 0; i < topLeft.size(); ++i) {
        const int d = int(i);
        EXPECT_EQ(image.pixelColor(d, 20), topLeft[i]) << "left " << d;
        EXPECT_EQ(image.pixelColor(30, d), topLeft[i]) << "top " << d;
        EXPECT_EQ(image.pixelColor(59 - d, 20), bottomRight[i]) << "right " << d;
        EXPECT_EQ(image.pixelColor(30, 39 - d), bottomRight[i]) << "bottom " << d;
    }
}

} // namespace

// Each pixel from the edges inwards must be the colour the bevels, the border and the fill put
// there.
TEST(Panel, BevelsBorderAndFillFromTheOutsideIn) {
    struct Row {
        const char* name;
        TPanel::Bevel outer;
        TPanel::Bevel inner;
        int bevelWidth;
        int borderWidth;
    };
    const Row rows[] = {
        {"length page: raised outer 3, border 2", TPanel::bvRaised, TPanel::bvNone, 3, 2},
        {"pitch page and splash: raised twice", TPanel::bvRaised, TPanel::bvRaised, 3, 0},
        {"simulation page: lowered inner 5, border 5", TPanel::bvNone, TPanel::bvLowered, 5, 5},
        {"plain", TPanel::bvNone, TPanel::bvNone, 1, 0},
    };
    const QColor fill(255, 255, 0);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TPanel panel;
        panel.resize(60, 40);
        panel.setBevelOuter(row.outer);
        panel.setBevelInner(row.inner);
        panel.setBevelWidth(row.bevelWidth);
        panel.setBorderWidth(row.borderWidth);
        panel.setColor(fill);
        const QImage image = panel.grab().toImage();

        std::vector<QColor> expectTopLeft, expectBottomRight;
        auto addBevel = [&](TPanel::Bevel bevel) {
            if (bevel == TPanel::bvNone)
                return;
            for (int i = 0; i < row.bevelWidth; ++i) {
                expectTopLeft.push_back(bevel == TPanel::bvRaised ? light : shadow);
                expectBottomRight.push_back(bevel == TPanel::bvRaised ? shadow : light);
            }
        };
        addBevel(row.outer);
        for (int i = 0; i < row.borderWidth; ++i) {
            expectTopLeft.push_back(fill);
            expectBottomRight.push_back(fill);
        }
        addBevel(row.inner);
        expectTopLeft.push_back(fill);
        expectBottomRight.push_back(fill);
        expectFromTheOutsideIn(image, expectTopLeft, expectBottomRight);
    }
}

TEST(Panel, SingleBorderIsASunkenEdgeOutsideTheClientArea) {
    TPanel panel;
    panel.resize(60, 40);
    panel.setBevelWidth(3);
    panel.setColor(QColor(255, 255, 0));
    EXPECT_EQ(panel.clientRect(), QRect(0, 0, 60, 40));
    panel.setBorderStyle(TPanel::bsSingle);
    EXPECT_EQ(panel.clientRect(), QRect(2, 2, 56, 36));

    const QImage image = panel.grab().toImage();
    const QColor darkShadow(0, 0, 0), light3D(223, 223, 223);
    expectFromTheOutsideIn(image, {shadow, darkShadow, light, light, light, QColor(255, 255, 0)},
                           {light, light3D, shadow, shadow, shadow, QColor(255, 255, 0)});
}

TEST(Panel, WithoutAColourItIsButtonFace) {
    TPanel panel;
    panel.resize(20, 20);
    panel.setBevelOuter(TPanel::bvNone);
    EXPECT_EQ(panel.grab().toImage().pixelColor(10, 10), QColor(192, 192, 192));
}

TEST(Glyph, StripGivesNormalAndDisabledImagesWithTheBottomLeftColourTransparent) {
    QImage strip(32, 16, QImage::Format_RGB32);
    strip.fill(QColor(128, 128, 0)); // olive background, the key colour of both images
    strip.setPixelColor(5, 5, QColor(0, 128, 0));
    strip.setPixelColor(21, 5, QColor(128, 128, 128));

    const QImage normal = kw27::glyphImage(strip, 2, 0);
    const QImage disabled = kw27::glyphImage(strip, 2, 1);
    ASSERT_EQ(normal.size(), QSize(16, 16));
    ASSERT_EQ(disabled.size(), QSize(16, 16));
    EXPECT_EQ(normal.pixelColor(5, 5), QColor(0, 128, 0));
    EXPECT_EQ(disabled.pixelColor(5, 5), QColor(128, 128, 128));
    int opaque = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            opaque += qAlpha(normal.pixel(x, y)) != 0;
    EXPECT_EQ(opaque, 1);

    const QIcon icon = kw27::glyphIcon(strip, 2);
    EXPECT_EQ(icon.pixmap(16, 16, QIcon::Disabled).toImage().pixelColor(5, 5),
              QColor(128, 128, 128));
    EXPECT_EQ(icon.pixmap(16, 16, QIcon::Normal).toImage().pixelColor(5, 5), QColor(0, 128, 0));
    EXPECT_TRUE(kw27::glyphIcon(QImage(), 2).isNull());
}
