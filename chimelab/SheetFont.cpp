#include "SheetFont.h"

#include <cmath>

namespace kw27 {

int wholePointSize(const QFont& font) {
    const double points = font.pixelSize() > 0 ? font.pixelSize() * 72.0 / 96.0 : font.pointSizeF();
    return int(std::lround(points));
}

RtfFont rtfFontOf(const QFont& font) {
    QString alt;
    if (font.family() == QStringLiteral("ＭＳ ゴシック"))
        alt = QStringLiteral("MS Gothic");
    else if (font.family() == QStringLiteral("ＭＳ Ｐゴシック"))
        alt = QStringLiteral("MS PGothic");
    return RtfFont{font.family(), alt, 2 * wholePointSize(font)};
}

QFont printFontOf(const QFont& font) {
    QFont printed(font);
    printed.setPointSize(wholePointSize(font));
    return printed;
}

} // namespace kw27
