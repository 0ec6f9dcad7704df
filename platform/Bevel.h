#pragma once

#include <QColor>
#include <QRect>

class QPainter;

namespace kw27 {

// Draws width rings from the outside of rect inwards: each ring's top and left edges in
// topLeft, its right and bottom edges (with the top-right and bottom-left corners) in
// bottomRight. Returns what is left inside.
QRect drawFrame3D(QPainter& painter, QRect rect, const QColor& topLeft,
                  const QColor& bottomRight, int width);

// A raised edge: button highlight above and left, button shadow below and right; a sunken
// edge the other way round.
QRect drawEdge(QPainter& painter, const QRect& rect, bool raised, int width);

}  // namespace kw27
