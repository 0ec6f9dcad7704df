// The pipe-length page's picture: one metal pipe lying on its side, seen slightly from the
// front, the open end near us at the left. The page puts twelve dots over it; the pipe's
// axis runs through their centres and its height matches theirs, so every dot sits on it.
#include "AssetCanvas.h"
#include "AssetDrawings.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

namespace kw27::assets {
namespace {

constexpr int width = 386;
constexpr int height = 105;

// Where the page places the picture and its first and last dots (left, top, size).
constexpr double pictureLeft = 39.0;
constexpr double pictureTop = 152.0;
constexpr double dotWidth = 19.0;
struct Dot {
    double left, top, height;
};
constexpr Dot firstDot{150.0, 167.0, 71.0};
constexpr Dot lastDot{391.0, 158.0, 60.0};

// The pipe a little slimmer than the dots, so a dot's hover frame rings the pipe.
constexpr double fill = 0.9;

constexpr double leftEnd = 16.0;
constexpr double rightEnd = 374.0;
// An end seen at this slant shows as an ellipse this much narrower than it is tall.
constexpr double endAspect = 0.3;

double dotX(const Dot& d) {
    return d.left + dotWidth / 2.0 - pictureLeft;
}
double dotY(const Dot& d) {
    return d.top + d.height / 2.0 - pictureTop;
}

double lerpAlong(double x, double atFirst, double atLast) {
    const double t = (x - dotX(firstDot)) / (dotX(lastDot) - dotX(firstDot));
    return atFirst + t * (atLast - atFirst);
}

double axisY(double x) {
    return lerpAlong(x, dotY(firstDot), dotY(lastDot));
}
double radius(double x) {
    return fill * lerpAlong(x, firstDot.height, lastDot.height) / 2.0;
}

// Brightness across a lying cylinder lit from above and in front: dark edges, a sharp
// highlight in the upper third, a soft reflection from the table near the bottom.
double cylinderShade(double v) {
    const double edge = std::sqrt(std::max(0.0, 1.0 - v * v));
    const double highlight = std::exp(-std::pow((v + 0.42) / 0.13, 2.0));
    const double sheen = std::exp(-std::pow((v + 0.05) / 0.45, 2.0));
    const double reflection = std::exp(-std::pow((v - 0.68) / 0.12, 2.0));
    return 70.0 + 80.0 * edge + 95.0 * highlight + 35.0 * sheen + 40.0 * reflection;
}

QImage metalTexture(int scale) {
    QImage tex = canvas(QSize(width, height), scale, QImage::Format_RGB32);
    for (int y = 0; y < tex.height(); ++y) {
        for (int x = 0; x < tex.width(); ++x) {
            const double cx = (x + 0.5) / scale;
            const double v = std::clamp(((y + 0.5) / scale - axisY(cx)) / radius(cx), -1.0, 1.0);
            // Brushed metal: fine streaks along the pipe, a little grain.
            const int row = int(std::lround((v + 1.0) * 60.0));
            const double streak = 5.0 * hashNoise(row, 0, 17u) + 2.0 * hashNoise(x, y, 5u);
            const double b = std::clamp(cylinderShade(v) + streak, 0.0, 255.0);
            tex.setPixel(x, y, qRgb(int(b * 0.96), int(b * 0.98), int(std::min(255.0, b * 1.02))));
        }
    }
    return tex;
}

QPainterPath bodyOutline() {
    QPainterPath body;
    const double r0 = radius(leftEnd);
    const double r1 = radius(rightEnd);
    body.moveTo(leftEnd, axisY(leftEnd) - r0);
    body.lineTo(rightEnd, axisY(rightEnd) - r1);
    // The far end's rim, bulging away from us.
    const double e1 = r1 * endAspect;
    body.arcTo(QRectF(rightEnd - e1, axisY(rightEnd) - r1, 2 * e1, 2 * r1), 90.0, -180.0);
    body.lineTo(leftEnd, axisY(leftEnd) + r0);
    const double e0 = r0 * endAspect;
    body.arcTo(QRectF(leftEnd - e0, axisY(leftEnd) - r0, 2 * e0, 2 * r0), 270.0, -180.0);
    body.closeSubpath();
    return body;
}

void drawBackdrop(QPainter& p, int scale) {
    const QLinearGradient backdrop =
        twoTone({0, 0}, {0, height}, QColor(250, 250, 247), QColor(214, 214, 208));
    p.fillRect(QRectF(0, 0, width, height), backdrop);

    // The pipe's soft shadow on the table, a little below and behind it.
    QImage shadow = canvas(QSize(width, height), scale, QImage::Format_ARGB32_Premultiplied);
    shadow.fill(Qt::transparent);
    {
        QPainter s(&shadow);
        s.setRenderHint(QPainter::Antialiasing);
        s.setPen(Qt::NoPen);
        s.setBrush(QColor(40, 40, 30, 120));
        s.translate(4.0, 7.0);
        s.drawPath(bodyOutline());
    }
    p.drawImage(0, 0, blurred(shadow, 4));
}

void drawOpenEnd(QPainter& p) {
    const double r = radius(leftEnd);
    const double e = r * endAspect;
    const QPointF c(leftEnd, axisY(leftEnd));
    // The cut rim: bright metal, the wall's thickness.
    QLinearGradient rim(0, c.y() - r, 0, c.y() + r);
    rim.setColorAt(0.0, QColor(150, 154, 160));
    rim.setColorAt(0.3, QColor(245, 246, 250));
    rim.setColorAt(1.0, QColor(120, 124, 130));
    p.setPen(QPen(QColor(70, 72, 78), 1.0));
    p.setBrush(rim);
    p.drawEllipse(c, e, r);
    // Inside the tube: dark, with light falling in on the far wall.
    QRadialGradient inside(c + QPointF(e * 0.35, r * 0.35), r * 0.95);
    inside.setColorAt(0.0, QColor(96, 96, 94));
    inside.setColorAt(0.45, QColor(40, 40, 42));
    inside.setColorAt(1.0, QColor(12, 12, 16));
    p.setPen(Qt::NoPen);
    p.setBrush(inside);
    p.drawEllipse(c + QPointF(0.6, 0.0), e * 0.8, r * 0.86);
}

} // namespace

QImage drawPipe(int scale) {
    QImage image = canvas(QSize(width, height), scale, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawBackdrop(p, scale);

    p.setPen(QPen(QColor(64, 66, 72), 1.0));
    p.setBrush(QBrush(metalTexture(scale)));
    p.drawPath(bodyOutline());

    // The far end's rim catches a thin line of light.
    const double r1 = radius(rightEnd);
    const double e1 = r1 * endAspect;
    p.setPen(QPen(QColor(230, 232, 236), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(rightEnd - e1 - 1.5, axisY(rightEnd) - r1 + 1.5, 2 * e1, 2 * r1 - 3.0),
              30 * 16, -60 * 16);

    drawOpenEnd(p);
    p.end();
    return image;
}

} // namespace kw27::assets
