#include "AssetCanvas.h"

#include "Assets.h"

#include <cmath>
#include <stdexcept>

namespace kw27::assets {

QImage canvas(QSize size, int scale, QImage::Format format) {
    QImage image(size * scale, format);
    image.setDevicePixelRatio(scale);
    return image;
}

QImage drawTransparent(QSize size, const Drawing& draw, int scale) {
    QImage image = canvas(size, scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    draw(p);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage glyph(QSize size, const Drawing& draw, int scale) {
    const QImage figure = drawTransparent(size, draw, scale);
    // Below this coverage an edge pixel is dropped rather than left as a faint smudge.
    constexpr int keepAlpha = 72;
    QImage out = canvas(size, scale, QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y) {
        for (int x = 0; x < out.width(); ++x) {
            const QRgb c = figure.pixel(x, y);
            const int a = qAlpha(c);
            QRgb result = glyphKey;
            if (a >= keepAlpha) {
                auto mix = [a](int fg, int bg) { return (fg * a + bg * (255 - a) + 127) / 255; };
                result = qRgb(mix(qRed(c), qRed(buttonFace)), mix(qGreen(c), qGreen(buttonFace)),
                              mix(qBlue(c), qBlue(buttonFace)));
                // A figure pixel that happens to come out as the key would vanish.
                if (result == glyphKey)
                    result = qRgb(qRed(result), qGreen(result), 1);
            }
            out.setPixel(x, y, result);
        }
    }
    if (out.pixel(0, out.height() - 1) != glyphKey)
        throw std::logic_error("a button figure covers the bottom-left pixel");
    return out;
}

QPen pen(QColor colour, double width) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QLinearGradient twoTone(QPointF from, QPointF to, const QColor& start, const QColor& end) {
    QLinearGradient gradient(from, to);
    gradient.setColorAt(0.0, start);
    gradient.setColorAt(1.0, end);
    return gradient;
}

QPainterPath outline(std::initializer_list<QPointF> corners, bool closed) {
    QPainterPath path;
    for (const QPointF& corner : corners) {
        if (path.elementCount() == 0)
            path.moveTo(corner);
        else
            path.lineTo(corner);
    }
    if (closed)
        path.closeSubpath();
    return path;
}

QImage greyed(const QImage& glyph) {
    QImage out = glyph.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y) {
        for (int x = 0; x < out.width(); ++x) {
            const QRgb c = out.pixel(x, y);
            if (c == glyphKey)
                continue;
            // Darks become mid grey and lights nearly white: the figure keeps its shape but
            // reads as switched off.
            const int luma = (qRed(c) * 299 + qGreen(c) * 587 + qBlue(c) * 114) / 1000;
            const int grey = 112 + luma * 120 / 255;
            out.setPixel(x, y, qRgb(grey, grey, grey));
        }
    }
    return out;
}

QImage glyphStrip(const QImage& glyph) {
    // Put together pixel for pixel, whatever the scale, so that the key colour stays exact.
    QImage normal = glyph;
    normal.setDevicePixelRatio(1.0);
    QImage grey = greyed(glyph);
    grey.setDevicePixelRatio(1.0);
    QImage strip(glyph.width() * 2, glyph.height(), QImage::Format_RGB32);
    QPainter p(&strip);
    p.drawImage(0, 0, normal);
    p.drawImage(glyph.width(), 0, grey);
    p.end();
    strip.setDevicePixelRatio(glyph.devicePixelRatio());
    return strip;
}

namespace {

// One box-blur pass along rows (horizontal) or columns, premultiplied channels.
QImage boxPass(const QImage& in, int radius, bool horizontal) {
    QImage out(in.size(), QImage::Format_ARGB32_Premultiplied);
    out.setDevicePixelRatio(in.devicePixelRatio());
    const int w = in.width();
    const int h = in.height();
    const int lines = horizontal ? h : w;
    const int length = horizontal ? w : h;
    for (int line = 0; line < lines; ++line) {
        for (int i = 0; i < length; ++i) {
            int sum[4] = {0, 0, 0, 0};
            int n = 0;
            for (int k = i - radius; k <= i + radius; ++k) {
                if (k < 0 || k >= length)
                    continue;
                const QRgb c = horizontal ? in.pixel(k, line) : in.pixel(line, k);
                sum[0] += qRed(c);
                sum[1] += qGreen(c);
                sum[2] += qBlue(c);
                sum[3] += qAlpha(c);
                ++n;
            }
            const QRgb c = qRgba(sum[0] / n, sum[1] / n, sum[2] / n, sum[3] / n);
            if (horizontal)
                out.setPixel(i, line, c);
            else
                out.setPixel(line, i, c);
        }
    }
    return out;
}

} // namespace

QImage blurred(const QImage& image, int radius) {
    QImage out = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int pixels = int(std::lround(radius * image.devicePixelRatio()));
    for (int pass = 0; pass < 3; ++pass)
        out = boxPass(boxPass(out, pixels, true), pixels, false);
    return out;
}

double hashNoise(int x, int y, unsigned salt) {
    std::uint32_t h =
        std::uint32_t(x) * 0x8DA6B343u ^ std::uint32_t(y) * 0xD8163841u ^ salt * 0xCB1AB31Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return double(h) / 2147483647.5 - 1.0;
}

} // namespace kw27::assets
