#include "Bevel.h"

#include "TColor.h"

#include <QPainter>

namespace kw27 {

QRect drawFrame3D(QPainter& painter, QRect rect, const QColor& topLeft,
                  const QColor& bottomRight, int width) {
    for (int i = 0; i < width && rect.width() > 0 && rect.height() > 0; ++i) {
        const int l = rect.left(), t = rect.top(), r = rect.right(), b = rect.bottom();
        painter.fillRect(QRect(l, t, rect.width() - 1, 1), topLeft);
        painter.fillRect(QRect(l, t, 1, rect.height() - 1), topLeft);
        painter.fillRect(QRect(r, t, 1, rect.height()), bottomRight);
        painter.fillRect(QRect(l, b, rect.width(), 1), bottomRight);
        rect.adjust(1, 1, -1, -1);
    }
    return rect;
}

QRect drawEdge(QPainter& painter, const QRect& rect, bool raised, int width) {
    const QColor light = colorToRgb(clBtnHighlight);
    const QColor shadow = colorToRgb(clBtnShadow);
    return raised ? drawFrame3D(painter, rect, light, shadow, width)
                  : drawFrame3D(painter, rect, shadow, light, width);
}

}  // namespace kw27
