#include "Glyph.h"

#include "Picture.h"

#include <QPixmap>

namespace kw27 {

QImage glyphImage(const QImage& strip, int count, int index) {
    if (strip.isNull() || count < 1 || index < 0 || index >= count)
        return QImage();
    const int width = strip.width() / count;
    QImage image =
        strip.copy(index * width, 0, width, strip.height()).convertToFormat(QImage::Format_ARGB32);
    const QRgb key = image.pixel(0, image.height() - 1);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            if (line[x] == key)
                line[x] = qRgba(0, 0, 0, 0);
    }
    return image;
}

namespace {

void addGlyphs(QIcon& icon, const QImage& strip, int count) {
    const QImage normal = glyphImage(strip, count, 0);
    if (normal.isNull())
        return;
    icon.addPixmap(QPixmap::fromImage(normal), QIcon::Normal);
    if (count > 1)
        icon.addPixmap(QPixmap::fromImage(glyphImage(strip, count, 1)), QIcon::Disabled);
}

} // namespace

QIcon glyphIcon(const QImage& strip, int count) {
    QIcon icon;
    addGlyphs(icon, strip, count);
    return icon;
}

QIcon glyphIcon(const QString& fileName, int count) {
    QIcon icon;
    addGlyphs(icon, QImage(fileName), count);
    if (icon.isNull())
        return icon;
    // The icon picks the images that suit the screen it is painted on.
    QImage sharp(doubleSizeName(fileName));
    if (!sharp.isNull()) {
        sharp.setDevicePixelRatio(2.0);
        addGlyphs(icon, sharp, count);
    }
    return icon;
}

} // namespace kw27
