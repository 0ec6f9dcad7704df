#pragma once

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <functional>
#include <initializer_list>

// Helpers shared by the picture drawings.
namespace kw27::assets {

using Drawing = std::function<void(QPainter&)>;

// An empty picture of size units at scale pixels per unit. A painter on it draws in units, so
// one drawing makes both the picture and its sharper twin for high-density screens; pixel by
// pixel steps work on its width() × height() pixels.
QImage canvas(QSize size, int scale, QImage::Format format);

// A transparent canvas with antialiasing, handed to the drawing.
QImage drawTransparent(QSize size, const Drawing& draw, int scale = 1);

// Button picture: the figure drawn on a transparent canvas, then made opaque: untouched
// pixels become the key colour, half-covered edge pixels are blended over the button face so
// they look right once the key is taken out. Throws std::logic_error when the figure covers
// the bottom-left pixel, which must stay the key.
QImage glyph(QSize size, const Drawing& draw, int scale = 1);

// The greyed twin for the disabled look: the figure in light and dark greys, key kept.
QImage greyed(const QImage& glyph);

// A glyph and its greyed twin side by side.
QImage glyphStrip(const QImage& glyph);

// A soft copy of an image (three box-blur passes), for shadows; radius in the image's units.
QImage blurred(const QImage& image, int radius);

// The drawings' line: round caps and joins.
QPen pen(QColor colour, double width);

// A gradient from start at from to end at to.
QLinearGradient twoTone(QPointF from, QPointF to, const QColor& start, const QColor& end);

// A figure of straight edges through the corners given, closed back to the first by default.
QPainterPath outline(std::initializer_list<QPointF> corners, bool closed = true);

// Small deterministic noise for textures (grain, brushed metal): a value in [-1, 1].
double hashNoise(int x, int y, unsigned salt);

} // namespace kw27::assets
