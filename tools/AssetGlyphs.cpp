// The 16 × 16 button pictures, each stored with its greyed twin.
#include "AssetCanvas.h"
#include "AssetDrawings.h"

#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <numbers>

namespace kw27::assets {
namespace {

constexpr QSize glyphSize(16, 16);

// A sheet of paper with a folded corner and a few lines of writing.
void drawSheet(QPainter& p, const QRectF& r) {
    const double fold = r.width() * 0.32;
    const QPainterPath sheet = outline({r.topLeft(),
                                        {r.right() - fold, r.top()},
                                        {r.right(), r.top() + fold},
                                        r.bottomRight(),
                                        r.bottomLeft()});
    p.setPen(pen(QColor(60, 60, 60), 1.0));
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    p.setPen(pen(QColor(110, 110, 110), 0.8));
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
    p.setPen(QPen(QColor(40, 70, 160), 0.9));
    for (double y = r.top() + fold + 1.5; y < r.bottom() - 1.0; y += 2.0)
        p.drawLine(QPointF(r.left() + 1.8, y), QPointF(r.right() - 1.8, y));
}

// A button picture beside its greyed twin.
QImage buttonGlyph(int scale, const Drawing& draw) {
    return glyphStrip(glyph(glyphSize, draw, scale));
}

} // namespace

QImage drawDoor(int scale) {
    return buttonGlyph(scale, [](QPainter& p) {
        // The doorway, dark inside, in a wooden frame.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 36, 60));
        p.drawRect(QRectF(6.5, 1.0, 8.0, 14.5));
        p.setPen(QPen(QColor(128, 64, 0), 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
        const QPainterPath frame =
            outline({{6.5, 15.5}, {6.5, 0.5}, {14.5, 0.5}, {14.5, 15.5}}, false);
        p.drawPath(frame);
        // The door, swung open into the room.
        const QPainterPath leaf = outline({{14.0, 1.0}, {11.0, 2.5}, {11.0, 14.0}, {14.0, 15.5}});
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(215, 155, 75));
        p.drawPath(leaf);
        p.setBrush(QColor(255, 230, 0));
        p.drawRect(QRectF(11.6, 8.0, 1.0, 1.0));
        // A figure striding out through it.
        const QColor body(0, 160, 0);
        p.setBrush(body);
        p.drawEllipse(QPointF(6.0, 3.0), 1.6, 1.6);
        p.setPen(pen(body, 1.4));
        p.drawLine(QPointF(6.0, 5.2), QPointF(5.2, 9.4));  // trunk
        p.drawLine(QPointF(5.8, 6.2), QPointF(2.8, 7.8));  // arm forward
        p.drawLine(QPointF(5.8, 6.2), QPointF(8.4, 8.2));  // arm back
        p.drawLine(QPointF(5.2, 9.4), QPointF(2.6, 11.6)); // front leg
        p.drawLine(QPointF(2.6, 11.6), QPointF(3.0, 14.5));
        p.drawLine(QPointF(5.2, 9.4), QPointF(7.8, 11.8)); // back leg
        p.drawLine(QPointF(7.8, 11.8), QPointF(9.0, 14.5));
    });
}

QImage drawUndo(int scale) {
    return buttonGlyph(scale, [](QPainter& p) {
        const QColor red(220, 0, 0);
        p.setPen(pen(red, 2.0));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(8.0, 7.5), 6.0, 6.0);
        p.drawLine(QPointF(3.9, 3.4), QPointF(12.1, 11.6));
    });
}

QImage drawClear(int scale) {
    return buttonGlyph(scale, [](QPainter& p) {
        // Crumbs rubbed off the page.
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        const QPointF crumbs[] = {{2.5, 12.5},  {4.5, 14.5},  {6.5, 12.8}, {8.5, 14.6},
                                  {11.0, 13.6}, {13.5, 14.8}, {3.0, 10.3}, {10.0, 15.0}};
        for (const QPointF& c : crumbs)
            p.drawEllipse(c, 0.8, 0.8);
        // The stick, slanted, rubbing with its red end.
        p.translate(9.5, 7.0);
        p.rotate(40.0);
        p.setPen(pen(QColor(90, 70, 0), 0.8));
        p.setBrush(QColor(255, 220, 0));
        p.drawRect(QRectF(-2.4, -7.5, 4.8, 9.0));
        p.setBrush(QColor(230, 30, 30));
        p.setPen(pen(QColor(120, 0, 0), 0.8));
        p.drawRect(QRectF(-2.4, 1.5, 4.8, 3.2));
    });
}

QImage drawSave(int scale) {
    return buttonGlyph(scale, [](QPainter& p) {
        drawSheet(p, QRectF(0.5, 0.5, 6.5, 8.5));
        // The floppy disk.
        p.setPen(pen(QColor(0, 0, 40), 0.8));
        p.setBrush(QColor(30, 60, 170));
        p.drawRect(QRectF(7.5, 8.5, 8.0, 7.0));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(205, 205, 215));
        p.drawRect(QRectF(9.5, 8.9, 4.0, 2.0));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9.0, 12.0, 5.0, 3.1));
        // The red arrow from the sheet down into the disk.
        const QColor red(230, 0, 0);
        p.setPen(QPen(red, 1.6, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
        const QPainterPath shaft = outline({{7.0, 3.5}, {11.5, 3.5}, {11.5, 5.5}}, false);
        p.drawPath(shaft);
        const QPainterPath head = outline({{8.6, 5.0}, {14.4, 5.0}, {11.5, 8.4}});
        p.setPen(Qt::NoPen);
        p.setBrush(red);
        p.drawPath(head);
    });
}

QImage drawLoad(int scale) {
    return buttonGlyph(scale, [](QPainter& p) {
        // Rays all round the sheet.
        const QPointF centre(8.0, 7.5);
        p.setPen(pen(QColor(240, 160, 0), 1.2));
        for (int i = 0; i < 8; ++i) {
            const double a = i * std::numbers::pi / 4.0 + std::numbers::pi / 8.0;
            const QPointF dir(std::cos(a), std::sin(a));
            p.drawLine(centre + dir * 5.6, centre + dir * 7.2);
        }
        drawSheet(p, QRectF(4.5, 2.5, 7.0, 10.0));
    });
}

QImage drawLamp(int scale) {
    return buttonGlyph(scale, [](QPainter& p) {
        const QPointF centre(8.0, 7.5);
        QRadialGradient light(centre - QPointF(2.0, 2.2), 7.5);
        light.setColorAt(0.0, QColor(220, 255, 220));
        light.setColorAt(0.35, QColor(40, 230, 40));
        light.setColorAt(1.0, QColor(0, 110, 0));
        p.setPen(pen(QColor(0, 70, 0), 1.0));
        p.setBrush(light);
        p.drawEllipse(centre, 6.2, 6.2);
    });
}

} // namespace kw27::assets
