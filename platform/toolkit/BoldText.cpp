#include "BoldText.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

namespace kw27 {

namespace {

bool hasBoldFace(const QFont& font) {
    const QString family = QFontInfo(font).family();
    const QStringList styles = QFontDatabase::styles(family);
    for (const QString& style : styles)
        if (QFontDatabase::weight(family, style) >= QFont::Bold)
            return true;
    return false;
}

} // namespace

QPixmap boldTextPicture(const QString& text, const QFont& font, const QColor& colour,
                        qreal devicePixelRatio) {
    const QFontMetrics metrics(font);
    QPixmap picture(QSize(metrics.horizontalAdvance(text), metrics.height()) * devicePixelRatio);
    picture.setDevicePixelRatio(devicePixelRatio);
    picture.fill(Qt::transparent);

    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath outline;
    outline.addText(0, metrics.ascent(), font, text);
    painter.fillPath(outline, colour);
    if (font.bold() && !hasBoldFace(font)) {
        QPen widening(colour, font.pixelSize() / 24.0);
        widening.setJoinStyle(Qt::MiterJoin);
        painter.strokePath(outline, widening);
    }
    return picture;
}

} // namespace kw27
