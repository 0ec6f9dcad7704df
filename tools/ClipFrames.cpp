#include "ClipFrames.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <numbers>

namespace kw27::datagen {
namespace {

constexpr double pipeLeft = 18.0;
constexpr double pipeWidth = 7.0;
constexpr double pipeTop = 9.0;
constexpr double pixelsPerCm = 2.0;
constexpr QPointF malletPivot(4.5, 47.0);
constexpr double malletReach = 24.0;
constexpr double malletHeadRadius = 3.2;
constexpr double restAngleDegrees = 4.0;
constexpr QRectF labelBox(37.0, 8.0, 28.0, 32.0);

// What changes from frame to frame.
struct Pose {
    double malletAngleDegrees = restAngleDegrees;
    double pipeShift = 0.0; // sideways swing of the pipe, pixels
    double ring = 0.0;      // 0 = silent, 1 = loudest: strength of the sound arcs
    bool impact = false;
};

double contactAngleDegrees() {
    const double headX = pipeLeft - malletHeadRadius - 0.3;
    return std::asin((headX - malletPivot.x()) / malletReach) * 180.0 / std::numbers::pi;
}

Pose poseOf(int frame) {
    Pose pose;
    const double contact = contactAngleDegrees();
    if (frame == 1) {
        pose.malletAngleDegrees = restAngleDegrees + 0.55 * (contact - restAngleDegrees);
    } else if (frame == 2) {
        pose.malletAngleDegrees = contact;
        pose.impact = true;
        pose.ring = 1.0;
    } else if (frame > 2 && frame < clipFrameCount - 1) {
        const int since = frame - 2;
        // The mallet falls back within three frames; the pipe swings and rings on.
        const double back = std::min(1.0, since / 3.0);
        pose.malletAngleDegrees = contact + back * (restAngleDegrees - contact);
        const double decay = std::exp(-since / 4.5);
        pose.pipeShift = 1.6 * decay * ((since % 2 == 1) ? 1.0 : -1.0);
        pose.ring = decay;
    }
    return pose;
}

void drawBackground(QPainter& p) {
    QLinearGradient sky(0, 0, 0, clipHeight);
    sky.setColorAt(0.0, QColor(238, 244, 250));
    sky.setColorAt(1.0, QColor(214, 224, 236));
    p.fillRect(QRectF(0, 0, clipWidth, clipHeight), sky);

    // The wooden bar the pipe hangs from.
    QLinearGradient wood(0, 2, 0, 6);
    wood.setColorAt(0.0, QColor(176, 122, 70));
    wood.setColorAt(1.0, QColor(120, 76, 38));
    p.setPen(Qt::NoPen);
    p.setBrush(wood);
    p.drawRoundedRect(QRectF(8.0, 2.0, 27.0, 4.0), 1.2, 1.2);
}

void drawPipeAt(QPainter& p, double lengthCm, double shift) {
    const double height = lengthCm * pixelsPerCm;
    const double left = pipeLeft + shift;
    const double centre = left + pipeWidth / 2.0;

    // The cord: fixed at the bar, following the pipe's top.
    p.setPen(QPen(QColor(60, 60, 60), 0.8));
    p.drawLine(QPointF(pipeLeft + pipeWidth / 2.0, 6.0), QPointF(centre, pipeTop + 2.0));

    QLinearGradient metal(left, 0, left + pipeWidth, 0);
    metal.setColorAt(0.0, QColor(96, 100, 108));
    metal.setColorAt(0.3, QColor(236, 238, 242));
    metal.setColorAt(0.55, QColor(170, 174, 182));
    metal.setColorAt(1.0, QColor(84, 88, 96));
    p.setPen(QPen(QColor(70, 72, 78), 0.6));
    p.setBrush(metal);
    p.drawRoundedRect(QRectF(left, pipeTop, pipeWidth, height), 1.0, 1.0);

    // Hole for the cord near the top.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 44));
    p.drawEllipse(QPointF(centre, pipeTop + 2.0), 0.9, 0.9);
}

// A shaking pipe leaves a faint image where it has just been, which shows the motion.
void drawPipe(QPainter& p, double lengthCm, const Pose& pose) {
    if (pose.pipeShift != 0.0) {
        p.setOpacity(0.35);
        drawPipeAt(p, lengthCm, -pose.pipeShift);
        p.setOpacity(1.0);
    }
    drawPipeAt(p, lengthCm, pose.pipeShift);
}

void drawMallet(QPainter& p, const Pose& pose) {
    const double a = pose.malletAngleDegrees * std::numbers::pi / 180.0;
    const QPointF head = malletPivot + QPointF(std::sin(a), -std::cos(a)) * malletReach;
    p.setPen(QPen(QColor(150, 104, 60), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(malletPivot, head);
    QRadialGradient ball(head - QPointF(1.0, 1.0), malletHeadRadius * 1.6);
    ball.setColorAt(0.0, QColor(255, 150, 140));
    ball.setColorAt(1.0, QColor(190, 30, 30));
    p.setPen(QPen(QColor(120, 20, 20), 0.6));
    p.setBrush(ball);
    p.drawEllipse(head, malletHeadRadius, malletHeadRadius);

    if (pose.impact) {
        // A small yellow star where the mallet meets the pipe.
        const QPointF at(pipeLeft - 0.5, head.y());
        QPainterPath star;
        for (int i = 0; i < 10; ++i) {
            const double r = (i % 2 == 0) ? 5.0 : 2.0;
            const double t = i * std::numbers::pi / 5.0;
            const QPointF pt = at + QPointF(std::cos(t) * r, std::sin(t) * r);
            if (i == 0)
                star.moveTo(pt);
            else
                star.lineTo(pt);
        }
        star.closeSubpath();
        p.setPen(QPen(QColor(200, 120, 0), 0.5));
        p.setBrush(QColor(255, 220, 40));
        p.drawPath(star);
    }
}

void drawSoundArcs(QPainter& p, double lengthCm, const Pose& pose) {
    if (pose.ring <= 0.05)
        return;
    const double height = lengthCm * pixelsPerCm;
    const QPointF centre(pipeLeft + pipeWidth / 2.0, pipeTop + height * 0.5);
    const int arcs = pose.ring > 0.6 ? 3 : pose.ring > 0.3 ? 2 : 1;
    for (int i = 0; i < arcs; ++i) {
        const double radius = 7.0 + 3.0 * i;
        QColor c(30, 90, 200);
        c.setAlphaF(std::min(1.0, 0.35 + 0.65 * pose.ring) * (1.0 - 0.2 * i));
        p.setPen(QPen(c, 1.1, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
        p.drawArc(box, -35 * 16, 70 * 16);
    }
}

void drawLabel(QPainter& p, const QString& label) {
    QFont font(QStringLiteral("IPAPGothic"));
    font.setPixelSize(label.size() > 1 ? 14 : 18);
    font.setBold(true);
    font.setStyleStrategy(QFont::PreferAntialias);
    p.setFont(font);
    p.setPen(QColor(20, 30, 110));
    p.drawText(labelBox, Qt::AlignCenter, label);
}

} // namespace

std::vector<QImage> clipFrames(double lengthCm, const QString& noteLabel) {
    std::vector<QImage> frames;
    for (int f = 0; f < clipFrameCount; ++f) {
        QImage image(clipWidth, clipHeight, QImage::Format_RGB32);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        const Pose pose = poseOf(f);
        drawBackground(p);
        drawSoundArcs(p, lengthCm, pose);
        drawPipe(p, lengthCm, pose);
        drawMallet(p, pose);
        drawLabel(p, noteLabel);
        p.end();
        frames.push_back(image);
    }
    return frames;
}

} // namespace kw27::datagen
