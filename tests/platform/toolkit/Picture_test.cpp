// Pictures and glyph strips with a double-size twin beside them ("name@2x.png"): sharp on a
// screen of ratio 2, the same room in the layout on every screen.
#include "Glyph.h"
#include "Picture.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace {

const QColor olive(128, 128, 0);
const QColor green(0, 128, 0);
const QColor grey(128, 128, 128);

// A strip of two cell × cell images at the given scale: olive key, one green (normal) and
// one grey (disabled) square in the same place, scale pixels wide.
QImage strip(int cell, int scale) {
    QImage image(2 * cell * scale, cell * scale, QImage::Format_RGB32);
    image.fill(olive);
    for (int y = 5 * scale; y < 6 * scale; ++y) {
        for (int x = 5 * scale; x < 6 * scale; ++x) {
            image.setPixelColor(x, y, green);
            image.setPixelColor(cell * scale + x, y, grey);
        }
    }
    return image;
}

QString save(const QImage& image, const QString& path) {
    EXPECT_TRUE(image.save(path, "PNG")) << path.toStdString();
    return path;
}

TEST(Picture, DoubleSizeNameFollowsTheToolkitsNaming) {
    const struct {
        const char* name;
        const char* twin;
    } rows[] = {
        {":/assets/pipe.png", ":/assets/pipe@2x.png"},
        {"folder.d/door.png", "folder.d/door@2x.png"},
        {"folder.d/door", "folder.d/door@2x"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(kw27::doubleSizeName(QString::fromUtf8(row.name)), QString::fromUtf8(row.twin));
}

TEST(Picture, LoadsTheTwinOnlyForADenseScreen) {
    const QDir folder(kw27::test::makeFolder(QStringLiteral("pictures")));
    QImage plain(30, 20, QImage::Format_RGB32);
    plain.fill(Qt::red);
    QImage sharp(60, 40, QImage::Format_RGB32);
    sharp.fill(Qt::blue);
    const QString withTwin = save(plain, folder.filePath(QStringLiteral("a.png")));
    save(sharp, folder.filePath(QStringLiteral("a@2x.png")));
    const QString alone = save(plain, folder.filePath(QStringLiteral("b.png")));

    const struct {
        const char* what;
        QString file;
        qreal ratio;
        QSize pixels;
        QColor colour;
    } rows[] = {
        {"ratio 1: the picture", withTwin, 1.0, QSize(30, 20), Qt::red},
        {"ratio 2: the twin", withTwin, 2.0, QSize(60, 40), Qt::blue},
        {"ratio 1.5: the twin", withTwin, 1.5, QSize(60, 40), Qt::blue},
        {"ratio 2 without a twin: the picture", alone, 2.0, QSize(30, 20), Qt::red},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const QPixmap pixmap = kw27::loadPicture(row.file, row.ratio);
        EXPECT_EQ(pixmap.size(), row.pixels);
        EXPECT_EQ(pixmap.deviceIndependentSize(), QSizeF(30, 20));
        EXPECT_EQ(pixmap.toImage().pixelColor(0, 0), row.colour);
    }
    EXPECT_TRUE(kw27::loadPicture(folder.filePath(QStringLiteral("none.png")), 2.0).isNull());
}

TEST(Picture, GlyphIconFromAFileHoldsBothStrips) {
    const QDir folder(kw27::test::makeFolder(QStringLiteral("glyphs")));
    const QString file = save(strip(16, 1), folder.filePath(QStringLiteral("g.png")));
    save(strip(16, 2), folder.filePath(QStringLiteral("g@2x.png")));
    const QIcon icon = kw27::glyphIcon(file, 2);

    for (const auto& [mode, colour] : {std::pair{QIcon::Normal, green}, {QIcon::Disabled, grey}}) {
        SCOPED_TRACE(mode);
        const QImage one = icon.pixmap(QSize(16, 16), 1.0, mode).toImage();
        ASSERT_EQ(one.size(), QSize(16, 16));
        EXPECT_EQ(one.pixelColor(5, 5), colour);
        const QImage two = icon.pixmap(QSize(16, 16), 2.0, mode).toImage();
        ASSERT_EQ(two.size(), QSize(32, 32));
        EXPECT_EQ(two.devicePixelRatio(), 2.0);
        // The figure drawn at twice the pixels, the key still left out.
        EXPECT_EQ(two.pixelColor(10, 10), colour);
        EXPECT_EQ(two.pixelColor(11, 11), colour);
        EXPECT_EQ(qAlpha(two.pixel(0, 31)), 0);
        EXPECT_EQ(qAlpha(two.pixel(12, 12)), 0);
    }
}

} // namespace
