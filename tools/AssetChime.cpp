// The simulation page's picture: a finished three-pipe chime hanging from its cord against a
// wall, lit from the upper left, drawn to look like a photograph.
#include "AssetCanvas.h"
#include "AssetDrawings.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

namespace kw27::assets {
namespace {

constexpr int width = 123;
constexpr int height = 330;
constexpr double centreX = 61.5;

constexpr double discY = 52.0; // centre of the wooden top's upper face
constexpr double discRadius = 46.0;
constexpr double discTilt = 7.0; // half-height of the face seen at a slant
constexpr double discThickness = 7.0;

struct Pipe {
    double x; // left edge
    double top;
    double length;
    double width;
    int shadeDepth; // darker for the pipe further back
};
// The middle pipe hangs behind the other two.
constexpr Pipe pipes[] = {
    {18.0, 86.0, 196.0, 13.0, 0},
    {55.5, 80.0, 170.0, 12.0, 26},
    {92.0, 92.0, 150.0, 13.0, 0},
};

constexpr double clapperY = 214.0;
constexpr QRectF sail(44.0, 270.0, 35.0, 50.0);

QColor wood(double light) {
    return QColor(int(std::clamp(150.0 * light, 0.0, 255.0)),
                  int(std::clamp(95.0 * light, 0.0, 255.0)),
                  int(std::clamp(50.0 * light, 0.0, 255.0)));
}

void drawWall(QPainter& p) {
    QRadialGradient wall(QPointF(40.0, 60.0), 330.0);
    wall.setColorAt(0.0, QColor(246, 240, 226));
    wall.setColorAt(0.7, QColor(214, 204, 186));
    wall.setColorAt(1.0, QColor(170, 160, 144));
    p.fillRect(QRectF(0, 0, width, height), wall);
}

void drawCord(QPainter& p) {
    // A twisted cord from the hook down to the top.
    p.setPen(QPen(QColor(120, 40, 30), 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(centreX, 0.0), QPointF(centreX, discY - 2.0));
    p.setPen(QPen(QColor(200, 90, 70), 0.9));
    for (double y = 1.0; y < discY - 3.0; y += 3.0)
        p.drawLine(QPointF(centreX - 1.0, y + 1.6), QPointF(centreX + 1.0, y));
}

void drawTop(QPainter& p) {
    // The side of the disc first, then its face.
    QPainterPath side;
    side.addEllipse(QPointF(centreX, discY + discThickness), discRadius, discTilt);
    side.addRect(QRectF(centreX - discRadius, discY, 2 * discRadius, discThickness));
    side.setFillRule(Qt::WindingFill);
    QLinearGradient sideShade(centreX - discRadius, 0, centreX + discRadius, 0);
    sideShade.setColorAt(0.0, wood(1.05));
    sideShade.setColorAt(0.5, wood(0.8));
    sideShade.setColorAt(1.0, wood(0.5));
    p.setPen(Qt::NoPen);
    p.setBrush(sideShade);
    p.drawPath(side.simplified());

    QLinearGradient face(0, discY - discTilt, 0, discY + discTilt);
    face.setColorAt(0.0, wood(1.35));
    face.setColorAt(1.0, wood(1.1));
    p.setPen(QPen(wood(0.55), 0.8));
    p.setBrush(face);
    p.drawEllipse(QPointF(centreX, discY), discRadius, discTilt);
    // Grain on the face.
    p.setPen(QPen(wood(0.95), 0.6));
    p.setBrush(Qt::NoBrush);
    for (int i = 1; i <= 3; ++i)
        p.drawEllipse(QPointF(centreX + 3.0, discY), discRadius * i / 4.0, discTilt * i / 4.0);
    p.setPen(QPen(wood(0.4), 1.0));
    p.setBrush(QColor(60, 30, 20));
    p.drawEllipse(QPointF(centreX, discY), 2.0, 0.9);
}

QPen stringPen() {
    return QPen(QColor(96, 88, 78), 0.9);
}

void drawPipeStrings(QPainter& p) {
    p.setPen(stringPen());
    for (const Pipe& pipe : pipes) {
        const double cx = pipe.x + pipe.width / 2.0;
        p.drawLine(QPointF(cx, discY + discThickness - 1.0), QPointF(cx, pipe.top + 6.0));
    }
}

// The middle string carries the clapper and the sail; it hangs in front of the back pipe.
void drawMiddleString(QPainter& p) {
    p.setPen(stringPen());
    p.drawLine(QPointF(centreX, discY + discThickness), QPointF(centreX, sail.top() + 3.0));
}

void drawPipe(QPainter& p, const Pipe& pipe) {
    QLinearGradient metal(pipe.x, 0, pipe.x + pipe.width, 0);
    auto grey = [&](int v) {
        v = std::clamp(v - pipe.shadeDepth, 0, 255);
        return QColor(v, std::min(255, v + 2), std::min(255, v + 6));
    };
    metal.setColorAt(0.0, grey(110));
    metal.setColorAt(0.22, grey(250));
    metal.setColorAt(0.4, grey(200));
    metal.setColorAt(0.75, grey(150));
    metal.setColorAt(0.92, grey(95));
    metal.setColorAt(1.0, grey(125));
    const QRectF body(pipe.x, pipe.top, pipe.width, pipe.length);
    p.setPen(QPen(grey(90), 0.7));
    p.setBrush(metal);
    p.drawRect(body);
    // The cut ends show as thin ellipses.
    p.setBrush(grey(70));
    p.drawEllipse(QPointF(body.center().x(), body.top()), pipe.width / 2.0, 1.6);
    p.setPen(Qt::NoPen);
    p.setBrush(grey(150));
    p.drawEllipse(QPointF(body.center().x(), body.bottom()), pipe.width / 2.0, 1.6);
    // The hole the string runs through.
    p.setBrush(QColor(30, 30, 34));
    p.drawEllipse(QPointF(body.center().x(), pipe.top + 6.0), 1.2, 1.2);
}

void drawClapperAndSail(QPainter& p) {
    // The clapper: a small wooden disc on the middle string, in front of the pipes.
    p.setPen(Qt::NoPen);
    p.setBrush(wood(0.65));
    p.drawRoundedRect(QRectF(centreX - 21.0, clapperY, 42.0, 5.0), 2.0, 2.0);
    const QLinearGradient face =
        twoTone({0, clapperY - 3.0}, {0, clapperY + 3.0}, wood(1.4), wood(1.05));
    p.setPen(QPen(wood(0.5), 0.6));
    p.setBrush(face);
    p.drawEllipse(QPointF(centreX, clapperY), 21.0, 3.4);

    // The wind sail at the bottom: a painted wooden plate with a note on it.
    const QLinearGradient plate =
        twoTone({sail.left(), 0}, {sail.right(), 0}, wood(1.45), wood(1.0));
    p.setPen(QPen(wood(0.5), 0.8));
    p.setBrush(plate);
    p.drawRoundedRect(sail, 5.0, 5.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 60, 160));
    p.drawEllipse(QPointF(sail.center().x() - 4.0, sail.center().y() + 8.0), 4.6, 3.6);
    p.setPen(QPen(QColor(30, 60, 160), 1.8));
    p.drawLine(QPointF(sail.center().x() + 0.4, sail.center().y() + 7.0),
               QPointF(sail.center().x() + 0.4, sail.center().y() - 12.0));
    p.drawLine(QPointF(sail.center().x() + 0.4, sail.center().y() - 12.0),
               QPointF(sail.center().x() + 7.0, sail.center().y() - 7.0));
}

// Everything that hangs, for the shadow it casts on the wall.
void drawHanging(QPainter& p) {
    drawTop(p);
    drawPipeStrings(p);
    drawPipe(p, pipes[1]);
    drawMiddleString(p);
    drawPipe(p, pipes[0]);
    drawPipe(p, pipes[2]);
    drawClapperAndSail(p);
}

void addGrain(QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            const int n = int(std::lround(3.0 * hashNoise(x, y, 91u)));
            image.setPixel(x, y,
                           qRgb(std::clamp(qRed(c) + n, 0, 255), std::clamp(qGreen(c) + n, 0, 255),
                                std::clamp(qBlue(c) + n, 0, 255)));
        }
    }
}

} // namespace

QImage drawChime(int scale) {
    QImage image = canvas(QSize(width, height), scale, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawWall(p);

    QImage silhouette = canvas(QSize(width, height), scale, QImage::Format_ARGB32_Premultiplied);
    silhouette.fill(Qt::transparent);
    {
        QPainter s(&silhouette);
        s.setRenderHint(QPainter::Antialiasing);
        drawHanging(s);
        s.setCompositionMode(QPainter::CompositionMode_SourceIn);
        s.fillRect(silhouette.rect(), QColor(60, 45, 30, 90));
    }
    p.drawImage(QPointF(7.0, 5.0), blurred(silhouette, 3));

    drawCord(p);
    drawHanging(p);
    p.end();
    addGrain(image);
    return image;
}

} // namespace kw27::assets
