#include "Panel.h"

#include "Bevel.h"
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
    bevelOuter_ = bevel;
    update();
}

void TPanel::setBevelInner(Bevel bevel) {
    bevelInner_ = bevel;
    update();
}

void TPanel::setBevelWidth(int width) {
    bevelWidth_ = qMax(1, width);
    update();
}

void TPanel::setBorderWidth(int width) {
    borderWidth_ = qMax(0, width);
    update();
}

void TPanel::setBorderStyle(BorderStyle style) {
    borderStyle_ = style;
    update();
}

QRect TPanel::clientRect() const {
    const int edge = borderStyle_ == bsSingle ? kw27::kSunkenEdgeWidth : 0;
    return rect().adjusted(edge, edge, -edge, -edge);
}

QColor TPanel::color() const {
    return color_.isValid() ? color_ : colorToRgb(clBtnFace);
}

void TPanel::setColor(const QColor& color) {
    color_ = color;
    update();
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
