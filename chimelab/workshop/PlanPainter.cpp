#include "PlanPainter.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>

namespace kw27::workshop {
namespace {

// Fine enough that rounding a position to a dot moves it by less than 0.03 mm.
constexpr int pdfDotsPerInch = 1200;

} // namespace

void paintPlan(const Plan& plan, QPainter& painter, double dotsPerMm) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    // Millimetres from here on; the pen's width is scaled with them.
    painter.scale(dotsPerMm, dotsPerMm);

    QPen thin(Qt::black, plan.lineMm, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    painter.setPen(thin);
    painter.setBrush(Qt::NoBrush);
    for (const QRectF& pipe : plan.pipes)
        painter.drawRect(pipe);
    for (const PlanCircle& hole : plan.holes)
        painter.drawEllipse(hole.centreMm, hole.radiusMm, hole.radiusMm);
    for (const QLineF& mark : plan.strikeMarks)
        painter.drawLine(mark);
    for (const QLineF& line : plan.lines)
        painter.drawLine(line);
    painter.drawRect(plan.tube);
    for (const QRectF& piece : plan.tubePieces)
        painter.drawRect(piece);

    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    for (const QRectF& cut : plan.tubeCuts)
        painter.drawRect(cut);
    painter.drawRect(plan.scaleBar);

    // Text in device dots: fonts are sized in whole pixels, which a millimetre scale would
    // round to whole millimetres.
    painter.restore();
    painter.save();
    painter.setPen(Qt::black);
    for (const PlanText& t : plan.texts) {
        QFont font(QStringLiteral("ＭＳ ゴシック"));
        font.setPixelSize(std::max(1, int(std::lround(t.heightMm * dotsPerMm))));
        painter.setFont(font);
        painter.drawText(t.baselineMm * dotsPerMm, t.text);
    }
    painter.restore();
}

QByteArray planPdf(const Plan& plan, const QString& title) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("KW-27"));
        writer.setResolution(pdfDotsPerInch);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                         QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
        QPainter painter(&writer);
        paintPlan(plan, painter, pdfDotsPerInch / 25.4);
    }
    return bytes;
}

} // namespace kw27::workshop
