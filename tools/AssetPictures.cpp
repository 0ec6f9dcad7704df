// The program icon, the splash logo and the larger button pictures.
#include "AssetCanvas.h"
#include "AssetDrawings.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <utility>

namespace kw27::assets {

QImage drawIcon(int scale) {
    QImage icon = drawIconAt(32 * scale);
    icon.setDevicePixelRatio(scale);
    return icon;
}

QImage drawIconAt(int pixels) {
    return drawTransparent(QSize(pixels, pixels), [pixels](QPainter& p) {
        // Drawn on a 32-unit grid: the 32-pixel icon is the original, larger ones scale up.
        p.scale(pixels / 32.0, pixels / 32.0);
        // The cord, trailing off to the lower right.
        QPainterPath cord;
        cord.moveTo(16.0, 25.0);
        cord.cubicTo(16.0, 30.5, 24.0, 26.0, 29.5, 30.5);
        p.setPen(pen(QColor(0, 0, 120), 2.4));
        p.setBrush(Qt::NoBrush);
        p.drawPath(cord);
        // Two metal prongs.
        QLinearGradient metal(0, 0, 3, 0);
        metal.setColorAt(0.0, QColor(150, 150, 160));
        metal.setColorAt(0.5, QColor(250, 250, 255));
        metal.setColorAt(1.0, QColor(130, 130, 140));
        p.setPen(pen(QColor(70, 70, 80), 0.8));
        for (double x : {10.5, 18.5}) {
            p.setBrush(metal);
            p.save();
            p.translate(x, 0);
            p.drawRoundedRect(QRectF(0.0, 1.5, 3.0, 9.0), 1.0, 1.0);
            p.restore();
        }
        // The plug's body, with a face: a small blue figure.
        QLinearGradient blue(6, 0, 26, 0);
        blue.setColorAt(0.0, QColor(40, 90, 230));
        blue.setColorAt(0.45, QColor(90, 150, 255));
        blue.setColorAt(1.0, QColor(0, 40, 170));
        p.setPen(pen(QColor(0, 20, 110), 1.2));
        p.setBrush(blue);
        p.drawRoundedRect(QRectF(6.0, 9.0, 20.0, 17.0), 5.0, 5.0);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(12.0, 15.5), 2.4, 2.6);
        p.drawEllipse(QPointF(20.0, 15.5), 2.4, 2.6);
        p.setBrush(QColor(0, 0, 60));
        p.drawEllipse(QPointF(12.6, 16.0), 1.2, 1.3);
        p.drawEllipse(QPointF(20.6, 16.0), 1.2, 1.3);
        p.setPen(pen(Qt::white, 1.3));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(12.5, 17.0, 7.0, 5.0), -20 * 16, -140 * 16);
    });
}

QImage drawLogo(int scale) {
    QImage image = canvas(QSize(246, 44), scale, QImage::Format_RGB32);
    image.fill(QColor(255, 255, 0)); // the splash panel's yellow
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    const QLinearGradient plate =
        twoTone({0, 0}, {0, 44}, QColor(40, 70, 160), QColor(10, 30, 100));
    p.setPen(pen(QColor(0, 0, 60), 1.5));
    p.setBrush(plate);
    p.drawRoundedRect(QRectF(1.0, 1.0, 244.0, 42.0), 9.0, 9.0);

    // Three little pipes on a bar: the chime the lesson builds.
    p.setPen(pen(QColor(230, 200, 120), 2.0));
    p.drawLine(QPointF(12.0, 8.5), QPointF(44.0, 8.5));
    const double lengths[] = {28.0, 24.0, 20.0};
    for (int i = 0; i < 3; ++i) {
        const double x = 15.0 + i * 10.0;
        p.setPen(pen(QColor(220, 220, 220), 0.8));
        p.drawLine(QPointF(x + 2.5, 8.5), QPointF(x + 2.5, 11.0));
        QLinearGradient metal(x, 0, x + 5.0, 0);
        metal.setColorAt(0.0, QColor(150, 155, 165));
        metal.setColorAt(0.35, QColor(255, 255, 255));
        metal.setColorAt(1.0, QColor(120, 125, 135));
        p.setPen(pen(QColor(60, 60, 80), 0.6));
        p.setBrush(metal);
        p.drawRoundedRect(QRectF(x, 11.0, 5.0, lengths[i]), 1.2, 1.2);
    }

    // The IPA fonts come without a bold face: the letters are thickened by outlining them.
    auto drawBoldText = [&p](const QFont& font, QPointF at, const QString& text, QColor colour,
                             double weight) {
        QPainterPath path;
        path.addText(at, font, text);
        p.setPen(QPen(colour, weight, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(colour);
        p.drawPath(path);
    };
    QFont mark(QStringLiteral("IPAPGothic"));
    mark.setPixelSize(32);
    mark.setItalic(true);
    mark.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    drawBoldText(mark, QPointF(55.0, 34.0), QStringLiteral("KW-27"), QColor(0, 0, 40), 1.8);
    drawBoldText(mark, QPointF(53.5, 32.5), QStringLiteral("KW-27"), Qt::white, 1.8);

    QFont small(QStringLiteral("IPAPGothic"));
    small.setPixelSize(11);
    const QColor gold(255, 230, 90);
    const QFontMetricsF metrics(small);
    for (const auto& [text, baseline] : {std::pair{QStringLiteral("PIPE CHIME"), 19.0},
                                         std::pair{QStringLiteral("DESIGN"), 32.0}}) {
        const double x = 211.0 - metrics.horizontalAdvance(text) / 2.0;
        drawBoldText(small, QPointF(x, baseline), text, gold, 0.5);
    }
    p.end();
    return image;
}

QImage drawClef(int scale) {
    return glyph(
        QSize(40, 40),
        [](QPainter& p) {
            // Drawn in a 100-unit square, then scaled: the spiral round the G line, the S rising
            // to the curl at the top, and the long stroke down to the hook and its ball.
            p.scale(0.4, 0.4);
            QPainterPath clef;
            clef.moveTo(56.0, 66.0);
            clef.cubicTo(48.0, 68.0, 42.0, 60.0, 48.0, 54.0);
            clef.cubicTo(56.0, 46.0, 70.0, 52.0, 68.0, 64.0);
            clef.cubicTo(66.0, 76.0, 48.0, 80.0, 38.0, 72.0);
            clef.cubicTo(26.0, 62.0, 32.0, 46.0, 44.0, 38.0);
            clef.cubicTo(56.0, 30.0, 64.0, 20.0, 60.0, 8.0);
            clef.cubicTo(56.0, 0.0, 46.0, 6.0, 46.0, 20.0);
            clef.cubicTo(46.0, 40.0, 56.0, 70.0, 58.0, 86.0);
            clef.cubicTo(60.0, 96.0, 46.0, 98.0, 42.0, 92.0);
            QPainterPathStroker stroke;
            stroke.setWidth(6.5);
            stroke.setCapStyle(Qt::RoundCap);
            stroke.setJoinStyle(Qt::RoundJoin);
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::black);
            p.drawPath(stroke.createStroke(clef));
            p.drawEllipse(QPointF(45.0, 89.0), 6.0, 6.0);
        },
        scale);
}

QImage drawPrinter(int scale) {
    return glyph(
        QSize(44, 39),
        [](QPainter& p) {
            // The sheet waiting at the back.
            p.setPen(pen(QColor(90, 90, 90), 0.8));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(12.5, 1.0, 19.0, 12.0));
            // The body.
            const QLinearGradient body =
                twoTone({0, 10}, {0, 33}, QColor(236, 232, 220), QColor(170, 166, 156));
            p.setPen(pen(QColor(60, 60, 60), 1.0));
            p.setBrush(body);
            const QPainterPath top =
                outline({{7.0, 11.0}, {37.0, 11.0}, {41.5, 17.0}, {2.5, 17.0}});
            p.drawPath(top);
            p.drawRoundedRect(QRectF(2.5, 17.0, 39.0, 14.0), 1.5, 1.5);
            p.setBrush(QColor(50, 50, 55));
            p.drawRect(QRectF(9.0, 21.0, 26.0, 2.0)); // the slot the sheet comes out of
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0, 200, 0));
            p.drawEllipse(QPointF(37.0, 26.5), 1.4, 1.4);
            p.setBrush(QColor(120, 120, 120));
            p.drawRect(QRectF(31.0, 25.8, 3.0, 1.5));
            // The printed sheet coming out at the front.
            const QPainterPath sheet =
                outline({{11.0, 22.5}, {33.0, 22.5}, {35.0, 37.5}, {9.0, 37.5}});
            p.setPen(pen(QColor(80, 80, 80), 0.8));
            p.setBrush(Qt::white);
            p.drawPath(sheet);
            p.setPen(QPen(QColor(30, 30, 140), 1.0));
            for (int i = 0; i < 4; ++i) {
                const double y = 26.0 + i * 3.0;
                const double inset = (y - 22.5) / 15.0 * 2.0;
                p.drawLine(QPointF(13.5 - inset, y),
                           QPointF(30.5 + inset - (i == 3 ? 8.0 : 0.0), y));
            }
        },
        scale);
}

QImage drawFloppy(int scale) {
    return glyph(
        QSize(43, 43),
        [](QPainter& p) {
            // The disk, half pushed into the drive's slot.
            const QLinearGradient disk =
                twoTone({0, 0}, {30, 0}, QColor(30, 50, 120), QColor(15, 25, 80));
            p.setPen(pen(QColor(0, 0, 30), 1.0));
            p.setBrush(disk);
            const QPainterPath shell =
                outline({{8.5, 27.0}, {8.5, 3.5}, {33.0, 3.5}, {35.5, 6.0}, {35.5, 27.0}}, false);
            p.drawPath(shell);
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::white);
            p.drawRect(QRectF(12.0, 3.5, 19.0, 12.0)); // label
            p.setPen(QPen(QColor(60, 60, 170), 0.8));
            for (double y = 7.0; y < 15.0; y += 2.5)
                p.drawLine(QPointF(14.0, y), QPointF(29.0, y));
            const QLinearGradient shutter =
                twoTone({0, 0}, {0, 8}, QColor(230, 230, 235), QColor(150, 150, 160));
            p.setPen(pen(QColor(90, 90, 100), 0.6));
            p.setBrush(shutter);
            p.drawRect(QRectF(14.0, 18.5, 15.0, 8.5));
            // The drive, its front facing us.
            const QLinearGradient front =
                twoTone({0, 24}, {0, 42}, QColor(238, 234, 222), QColor(175, 170, 160));
            p.setPen(pen(QColor(60, 60, 60), 1.0));
            p.setBrush(front);
            p.drawRoundedRect(QRectF(1.0, 25.0, 41.0, 15.0), 1.5, 1.5);
            p.setBrush(QColor(30, 30, 34));
            p.drawRect(QRectF(6.5, 27.0, 31.0, 2.2)); // slot
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0, 190, 0));
            p.drawEllipse(QPointF(8.0, 35.0), 1.3, 1.3);
            p.setBrush(QColor(140, 140, 140));
            p.drawRoundedRect(QRectF(30.0, 33.5, 7.0, 3.0), 1.0, 1.0); // eject button
        },
        scale);
}

} // namespace kw27::assets
