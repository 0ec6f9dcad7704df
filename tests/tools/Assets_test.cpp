// The pictures compiled into the programs: present under ":/assets/", the sizes the
// layouts need, and the rules the buttons rely on.
#include "AssetCanvas.h"
#include "Assets.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct PictureRow {
    const char* name;
    int width;
    int height;
    bool buttonPicture; // bottom-left pixel is the background the button leaves out
    bool strip;         // 16 × 16 picture and its greyed twin
};

const PictureRow pictures[] = {
    {"icon.png", 32, 32, false, false},  {"door.png", 32, 16, true, true},
    {"logo.png", 246, 44, false, false}, {"pipe.png", 386, 105, false, false},
    {"clef.png", 40, 40, true, false},   {"undo.png", 32, 16, true, true},
    {"clear.png", 32, 16, true, true},   {"save.png", 32, 16, true, true},
    {"load.png", 32, 16, true, true},    {"printer.png", 44, 39, true, false},
    {"floppy.png", 43, 43, true, false}, {"chime.png", 123, 330, false, false},
    {"lamp.png", 32, 16, true, true},
};

class Picture : public ::testing::TestWithParam<PictureRow> {
protected:
    void SetUp() override {
        image = QImage(QStringLiteral(":/assets/") + QString::fromLatin1(GetParam().name));
        ASSERT_FALSE(image.isNull()) << GetParam().name << " is not among the resources";
    }
    QImage image;
};

// Pictures on buttons, and among them the 16 × 16 strips with their greyed twins.
class ButtonPicture : public Picture {};
class StripPicture : public Picture {};

std::vector<PictureRow> picturesWhere(bool PictureRow::*flag) {
    std::vector<PictureRow> rows;
    for (const PictureRow& r : pictures) {
        if (r.*flag)
            rows.push_back(r);
    }
    return rows;
}

TEST_P(Picture, HasTheSizeTheLayoutGivesIt) {
    EXPECT_EQ(image.width(), GetParam().width);
    EXPECT_EQ(image.height(), GetParam().height);
}

// Share of a rectangle's pixels that differ from the background colour.
double coverage(const QImage& img, const QRect& r, QRgb background) {
    int drawn = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            drawn += img.pixel(x, y) != background ? 1 : 0;
    return double(drawn) / (r.width() * r.height());
}

TEST_P(ButtonPicture, HasABackgroundAndAFigure) {
    const PictureRow& row = GetParam();
    const int cell = row.strip ? row.width / 2 : row.width;
    for (int left = 0; left < row.width; left += cell) {
        const QRgb background = image.pixel(left, row.height - 1);
        const QRect r(left, 0, cell, row.height);
        EXPECT_EQ(background, image.pixel(left + cell - 1, 0)) << "corners disagree";
        const double c = coverage(image, r, background);
        EXPECT_GT(c, 0.15) << "hardly any figure";
        EXPECT_LT(c, 0.9) << "hardly any background";
    }
}

TEST_P(StripPicture, GreyedTwinIsTheFigureInGrey) {
    const QRgb background = image.pixel(0, 15);
    EXPECT_EQ(image.pixel(16, 15), background);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const QRgb normal = image.pixel(x, y);
            const QRgb twin = image.pixel(16 + x, y);
            // Same outline, and nothing but greys inside it.
            EXPECT_EQ(normal == background, twin == background) << x << "," << y;
            if (twin != background) {
                EXPECT_EQ(qRed(twin), qGreen(twin));
                EXPECT_EQ(qGreen(twin), qBlue(twin));
            }
        }
    }
}

std::string pictureName(const ::testing::TestParamInfo<PictureRow>& info) {
    return QString::fromLatin1(info.param.name).section('.', 0, 0).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Assets, Picture, ::testing::ValuesIn(pictures), pictureName);
INSTANTIATE_TEST_SUITE_P(Assets, ButtonPicture,
                         ::testing::ValuesIn(picturesWhere(&PictureRow::buttonPicture)),
                         pictureName);
INSTANTIATE_TEST_SUITE_P(Assets, StripPicture,
                         ::testing::ValuesIn(picturesWhere(&PictureRow::strip)), pictureName);

int luma(QRgb c) {
    return (qRed(c) * 299 + qGreen(c) * 587 + qBlue(c) * 114) / 1000;
}

TEST(Assets, LampIsGreenOnOlive) {
    const QImage lamp(QStringLiteral(":/assets/lamp.png"));
    ASSERT_FALSE(lamp.isNull());
    EXPECT_EQ(lamp.pixel(0, 15), qRgb(128, 128, 0));
    const QRgb middle = lamp.pixel(8, 8);
    EXPECT_GT(qGreen(middle), qRed(middle) + 60);
    EXPECT_GT(qGreen(middle), qBlue(middle) + 60);
}

TEST(Assets, ClefIsBlack) {
    const QImage clef(QStringLiteral(":/assets/clef.png"));
    ASSERT_FALSE(clef.isNull());
    const QRgb background = clef.pixel(0, 39);
    int dark = 0;
    int figure = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            if (clef.pixel(x, y) == background)
                continue;
            ++figure;
            dark += luma(clef.pixel(x, y)) < 64 ? 1 : 0;
        }
    }
    EXPECT_GT(dark, figure / 2);
}

TEST(Assets, IconIsABlueFigureOnATransparentGround) {
    const QImage icon =
        QImage(QStringLiteral(":/assets/icon.png")).convertToFormat(QImage::Format_ARGB32);
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
    int opaque = 0;
    int blue = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QRgb c = icon.pixel(x, y);
            if (qAlpha(c) < 255)
                continue;
            ++opaque;
            blue += (qBlue(c) > qRed(c) + 40 && qBlue(c) > qGreen(c) + 20) ? 1 : 0;
        }
    }
    EXPECT_GT(opaque, 32 * 32 / 5);
    EXPECT_GT(blue, opaque / 2);
}

// The menu's icons are the window icon's figure scaled: the same share of the square covered,
// mostly blue, on a transparent ground; at 32 pixels the very same picture.
TEST(Assets, ThemeIconsScaleTheWindowIcon) {
    const QImage window =
        QImage(QStringLiteral(":/assets/icon.png")).convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(kw27::assets::renderIcon(32), window);
    auto covered = [](const QImage& image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += qAlpha(image.pixel(x, y)) >= 128 ? 1 : 0;
        return double(n) / (image.width() * image.height());
    };
    const double windowShare = covered(window);
    for (int n : {16, 48, 256}) {
        SCOPED_TRACE(n);
        const QImage icon = kw27::assets::renderIcon(n);
        ASSERT_EQ(icon.size(), QSize(n, n));
        EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
        EXPECT_NEAR(covered(icon), windowShare, windowShare * 0.15);
        const QRgb middle = icon.pixel(n / 2, n * 20 / 32);
        EXPECT_GT(qBlue(middle), qRed(middle) + 40);
    }
    EXPECT_THROW(kw27::assets::renderIcon(8), std::invalid_argument);
}

// The pipe-length page puts the picture at (39, 152) and twelve dots over it; each dot's
// mark is drawn at the middle of its 19-pixel-wide button. The pipe must lie under every
// mark: scanning up and down from the mark, the pipe's dark edges are met inside the dot's
// own height, and not right beside the mark.
TEST(Assets, PipeLiesUnderEveryDot) {
    struct DotRow {
        int left, top, height;
    };
    const DotRow dots[] = {{150, 167, 71}, {171, 166, 70}, {193, 165, 69}, {215, 165, 68},
                           {237, 164, 67}, {259, 163, 66}, {282, 162, 65}, {305, 161, 64},
                           {327, 160, 63}, {349, 160, 62}, {370, 159, 61}, {391, 158, 60}};
    const QImage pipe(QStringLiteral(":/assets/pipe.png"));
    ASSERT_FALSE(pipe.isNull());
    for (const DotRow& d : dots) {
        const int x = d.left + 9 - 39;
        const int y = d.top + d.height / 2 - 152;
        const int half = d.height / 2;
        auto edgeDistance = [&](int direction) {
            for (int k = 0; k <= half + 2; ++k) {
                const int yy = y + direction * k;
                if (yy < 0 || yy >= pipe.height())
                    break;
                if (luma(pipe.pixel(x, yy)) < 110)
                    return k;
            }
            return -1;
        };
        const int up = edgeDistance(-1);
        const int down = edgeDistance(+1);
        EXPECT_GT(up, half / 3) << "dot at " << d.left;
        EXPECT_GT(down, half / 3) << "dot at " << d.left;
        // The mark sits about midway between the edges.
        EXPECT_LE(std::abs(up - down), half / 4) << "dot at " << d.left;
    }
}

TEST(Assets, DrawingIsRepeatable) {
    for (const auto& a : kw27::assets::assetList())
        EXPECT_EQ(kw27::assets::renderAsset(a.name), kw27::assets::renderAsset(a.name))
            << a.name.toStdString();
}

TEST(Assets, RendererListMatchesTheResources) {
    ASSERT_EQ(kw27::assets::assetList().size(), std::size(pictures));
    for (const PictureRow& row : pictures) {
        const QImage drawn = kw27::assets::renderAsset(QString::fromLatin1(row.name));
        EXPECT_EQ(drawn.size(), QSize(row.width, row.height)) << row.name;
    }
    EXPECT_THROW(kw27::assets::renderAsset(QStringLiteral("nothing.png")), std::invalid_argument);
}

} // namespace

namespace {

TEST(ButtonGlyph, RefusesAFigureOverTheBackgroundPixel) {
    // The buttons take the bottom-left pixel's colour as the background: a figure there
    // would make the whole background of its own colour disappear.
    EXPECT_THROW(kw27::assets::glyph(QSize(16, 16),
                                     [](QPainter& p) { p.fillRect(QRect(0, 12, 4, 4), Qt::red); }),
                 std::logic_error);
    const QImage ok = kw27::assets::glyph(
        QSize(16, 16), [](QPainter& p) { p.fillRect(QRect(4, 4, 8, 8), Qt::red); });
    EXPECT_EQ(ok.pixel(0, 15), kw27::assets::glyphKey);
    EXPECT_EQ(ok.pixel(8, 8), qRgb(255, 0, 0));
}

TEST(ButtonGlyph, SoftEdgesAreBlendedOverTheButtonFace) {
    // Half-covered pixels must not carry the key colour's tint onto the button.
    const QImage img = kw27::assets::glyph(QSize(16, 16), [](QPainter& p) {
        p.setBrush(Qt::black);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(8.0, 8.0), 5.3, 5.3);
    });
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const QRgb c = img.pixel(x, y);
            if (c == kw27::assets::glyphKey)
                continue;
            EXPECT_EQ(qRed(c), qBlue(c)) << x << "," << y << " is tinted";
        }
    }
}

} // namespace
