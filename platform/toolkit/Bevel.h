#pragma once

#include <QColor>
#include <QRect>

class QPainter;

namespace kw27 {

// The sunken edge of a control with a single border: two rings, outside its client area.
constexpr int kSunkenEdgeWidth = 2;

// Draws width rings from the outside of rect inwards: each ring's left column and top row in
// top, its right column and bottom row in bottom, so that the top-right and bottom-left corners
// take the bottom colour. Every ring is drawn, even once the rectangle has run out, as the
// platform's own 3-D frames are. Returns rect shrunk by width on every side.
QRect drawFrame3D(QPainter& painter, QRect rect, const QColor& top, const QColor& bottom,
                  int width);

// A raised edge: button highlight above and left, button shadow below and right; a sunken
// edge the other way round.
QRect drawEdge(QPainter& painter, const QRect& rect, bool raised, int width);

// The sunken edge of kSunkenEdgeWidth rings around a client area; returns the client area.
QRect drawSunkenEdge(QPainter& painter, const QRect& rect);

} // namespace kw27
