#include "Panel.h"

#include "Bevel.h"
#include "Look.h"
#include "TColor.h"

#include <QPainter>

namespace {

QRect drawBevel(QPainter& painter, const QRect& rect, TPanel::Bevel bevel, int width) {
    if (bevel == TPanel::bvNone)
        return rect;
    return kw27::drawEdge(painter, rect, bevel == TPanel::bvRaised, width);
}

} // namespace

TPanel::TPanel(QWidget* parent) : QWidget(parent) {}

void TPanel::setBevelOuter(Bevel bevel) {
    kw27::storeAndRepaint(*this, bevelOuter_, bevel);
}

void TPanel::setBevelInner(Bevel bevel) {
    kw27::storeAndRepaint(*this, bevelInner_, bevel);
}

void TPanel::setBevelWidth(int width) {
    kw27::storeAndRepaint(*this, bevelWidth_, qMax(1, width));
}

void TPanel::setBorderWidth(int width) {
    kw27::storeAndRepaint(*this, borderWidth_, qMax(0, width));
}

void TPanel::setBorderStyle(BorderStyle style) {
    kw27::storeAndRepaint(*this, borderStyle_, style);
}

QRect TPanel::clientRect() const {
    const int edge = borderStyle_ == bsSingle ? kw27::kSunkenEdgeWidth : 0;
    return rect().adjusted(edge, edge, -edge, -edge);
}

QColor TPanel::color() const {
    return color_.isValid() ? color_ : colorToRgb(clBtnFace);
}

void TPanel::setColor(const QColor& color) {
    kw27::storeAndRepaint(*this, color_, color);
}

void TPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (borderStyle_ == bsSingle)
        kw27::drawSunkenEdge(painter, this->rect());
    QRect rect = drawBevel(painter, clientRect(), bevelOuter_, bevelWidth_);
    painter.fillRect(rect, color());
    rect.adjust(borderWidth_, borderWidth_, -borderWidth_, -borderWidth_);
    drawBevel(painter, rect, bevelInner_, bevelWidth_);
}
