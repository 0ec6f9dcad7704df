#include "Bevel.h"

#include "TColor.h"

#include <QPainter>

namespace kw27 {

namespace {

// A line from a to b without the end point b; only ever horizontal or vertical.
void lineTo(QPainter& painter, QPoint a, QPoint b, const QColor& color) {
    if (a.y() == b.y()) {
        if (b.x() > a.x())
            painter.fillRect(QRect(a.x(), a.y(), b.x() - a.x(), 1), color);
        else if (b.x() < a.x())
            painter.fillRect(QRect(b.x() + 1, a.y(), a.x() - b.x(), 1), color);
    } else if (b.y() > a.y()) {
        painter.fillRect(QRect(a.x(), a.y(), 1, b.y() - a.y()), color);
    } else {
        painter.fillRect(QRect(a.x(), b.y() + 1, 1, a.y() - b.y()), color);
    }
}

} // namespace

QRect drawFrame3D(QPainter& painter, QRect rect, const QColor& top, const QColor& bottom,
                  int width) {
    // Right and bottom are exclusive here, as in the drawing rules the bevels were designed
    // with; a rectangle that has run out has them at or before its left and top.
    int left = rect.left();
    int upper = rect.top();
    int right = rect.left() + rect.width() - 1;
    int lowest = rect.top() + rect.height() - 1;
    for (int i = 0; i < width; ++i) {
        lineTo(painter, {left, lowest}, {left, upper}, top);
        lineTo(painter, {left, upper}, {right, upper}, top);
        lineTo(painter, {right, upper}, {right, lowest}, bottom);
        lineTo(painter, {right, lowest}, {left - 1, lowest}, bottom);
        ++left;
        ++upper;
        --right;
        --lowest;
    }
    return QRect(left, upper, right + 1 - left, lowest + 1 - upper);
}

QRect drawEdge(QPainter& painter, const QRect& rect, bool raised, int width) {
    const QColor light = colorToRgb(clBtnHighlight);
    const QColor shadow = colorToRgb(clBtnShadow);
    return raised ? drawFrame3D(painter, rect, light, shadow, width)
                  : drawFrame3D(painter, rect, shadow, light, width);
}

QRect drawSunkenEdge(QPainter& painter, const QRect& rect) {
    const QRect inner =
        drawFrame3D(painter, rect, colorToRgb(clBtnShadow), colorToRgb(clBtnHighlight), 1);
    return drawFrame3D(painter, inner, colorToRgb(cl3DDkShadow), colorToRgb(cl3DLight), 1);
}

} // namespace kw27
