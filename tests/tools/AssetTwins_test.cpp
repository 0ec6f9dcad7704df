// Every picture's twin for screens of device pixel ratio 2: among the resources at twice the
// size, the same drawing, and shown by the programs' loaders at the size of the picture.
#include "Assets.h"
#include "Glyph.h"
#include "Picture.h"

#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>
#include <ostream>

namespace {

using kw27::assets::AssetInfo;

QString resource(const QString& name) {
    return QStringLiteral(":/assets/") + name;
}

// Mean difference per channel between the picture and its twin shrunk by averaging 2 × 2
// pixels: small for the same drawing, large for one misplaced or drawn at the wrong scale.
double meanDifference(const QImage& picture, const QImage& twin) {
    const QImage a = picture.convertToFormat(QImage::Format_ARGB32);
    const QImage b = twin.convertToFormat(QImage::Format_ARGB32);
    long total = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            int sum[4] = {0, 0, 0, 0};
            for (int dy = 0; dy < 2; ++dy) {
                for (int dx = 0; dx < 2; ++dx) {
                    const QRgb c = b.pixel(2 * x + dx, 2 * y + dy);
                    sum[0] += qRed(c);
                    sum[1] += qGreen(c);
                    sum[2] += qBlue(c);
                    sum[3] += qAlpha(c);
                }
            }
            const QRgb c = a.pixel(x, y);
            total += std::abs(qRed(c) - sum[0] / 4) + std::abs(qGreen(c) - sum[1] / 4) +
                     std::abs(qBlue(c) - sum[2] / 4) + std::abs(qAlpha(c) - sum[3] / 4);
        }
    }
    return double(total) / (4.0 * a.width() * a.height());
}

class Twin : public ::testing::TestWithParam<AssetInfo> {};

} // namespace

namespace kw27::assets {
void PrintTo(const AssetInfo& info, std::ostream* out) {
    *out << info.name.toStdString();
}
} // namespace kw27::assets

namespace {

TEST_P(Twin, IsTheSameDrawingAtTwiceTheSize) {
    const AssetInfo& info = GetParam();
    const QImage picture(resource(info.name));
    const QImage twin(resource(kw27::assets::scaledName(info.name, 2)));
    ASSERT_FALSE(twin.isNull()) << "no twin among the resources";
    EXPECT_EQ(twin.size(), info.size * 2);
    EXPECT_EQ(twin, kw27::assets::renderAsset(info.name, 2).convertToFormat(twin.format()));
    EXPECT_LT(meanDifference(picture, twin), 12.0);
    // Button pictures keep the key colour where the buttons look for it.
    if (picture.pixel(0, picture.height() - 1) == kw27::assets::glyphKey) {
        EXPECT_EQ(twin.pixel(0, twin.height() - 1), kw27::assets::glyphKey);
    }
}

std::string twinName(const ::testing::TestParamInfo<AssetInfo>& info) {
    return info.param.name.section('.', 0, 0).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Assets, Twin, ::testing::ValuesIn(kw27::assets::assetList()), twinName);

TEST(AssetTwins, ScaledNames) {
    EXPECT_EQ(kw27::assets::scaledName(QStringLiteral("pipe.png"), 1), QStringLiteral("pipe.png"));
    EXPECT_EQ(kw27::assets::scaledName(QStringLiteral("pipe.png"), 2),
              QStringLiteral("pipe@2x.png"));
    EXPECT_THROW(kw27::assets::renderAsset(QStringLiteral("pipe.png"), 0), std::invalid_argument);
}

// What the windows show: the same logical size as before, twice the pixels at ratio 2.
TEST(AssetTwins, LoadersGiveTheTwinAtRatioTwo) {
    const struct {
        const char* file;
        int images; // glyph strips; 0 for a label's picture, -1 for the window icon
        QSize size;
    } rows[] = {
        {"door.png", 2, {16, 16}},  {"undo.png", 2, {16, 16}},    {"clef.png", 1, {40, 40}},
        {"lamp.png", 2, {16, 16}},  {"printer.png", 1, {44, 39}}, {"pipe.png", 0, {386, 105}},
        {"logo.png", 0, {246, 44}}, {"chime.png", 0, {123, 330}}, {"icon.png", -1, {32, 32}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        const QString file = resource(QString::fromLatin1(row.file));
        if (row.images == 0) {
            for (qreal ratio : {1.0, 2.0}) {
                const QPixmap pixmap = kw27::loadPicture(file, ratio);
                EXPECT_EQ(pixmap.deviceIndependentSize(), QSizeF(row.size));
                EXPECT_EQ(pixmap.size(), row.size * ratio);
            }
            continue;
        }
        const QIcon icon =
            row.images < 0 ? kw27::loadIcon(file) : kw27::glyphIcon(file, row.images);
        EXPECT_EQ(icon.actualSize(row.size), row.size);
        EXPECT_EQ(icon.pixmap(row.size, 1.0).size(), row.size);
        const QImage sharp = icon.pixmap(row.size, 2.0).toImage();
        EXPECT_EQ(sharp.size(), row.size * 2);
        if (row.images > 0) {
            EXPECT_EQ(qAlpha(sharp.pixel(0, sharp.height() - 1)), 0) << "key colour shows";
        }
    }
}

} // namespace
