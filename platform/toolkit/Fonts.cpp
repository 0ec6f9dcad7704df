#include "Fonts.h"

namespace kw27 {

void installFontSubstitutions() {
    // Without these, fontconfig answers the Japanese system font names with a Latin face that
    // has no Japanese glyphs. The IPA faces have the same character heights.
    static const bool installed = [] {
        QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"));
        QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
        QFont::insertSubstitution(QStringLiteral("ＭＳ 明朝"), QStringLiteral("IPAMincho"));
        QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐ明朝"), QStringLiteral("IPAPMincho"));
        return true;
    }();
    (void)installed;
}

QFont pixelFont(const QString& family, int pixelHeight, bool bold, bool italic) {
    QFont font(family);
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

} // namespace kw27
