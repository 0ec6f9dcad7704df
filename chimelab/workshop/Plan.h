#pragma once

#include <QLineF>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <array>
#include <vector>

// The making plan as a drawing in millimetres on an A4 sheet lying on its side, origin at the
// sheet's top left corner. The pipes are drawn at full size; the tube they are cut from is
// scaled to fit.
namespace kw27::workshop {

struct PlanInput {
    std::array<int, 3> lengthsTenthsMm{};
    int kerfTenthsMm = 0;
    // As the pupil wrote them on the design sheet.
    QString date;
    QString school;
    QString className;
    QString name;
};

struct PlanText {
    QPointF baselineMm; // left end of the baseline
    double heightMm = 0.0;
    QString text;
};

struct PlanCircle {
    QPointF centreMm;
    double radiusMm = 0.0;
};

struct Plan {
    QSizeF pageMm{297.0, 210.0};
    // Every outline and line is drawn this thick.
    double lineMm = 0.25;

    std::array<QRectF, 3> pipes;       // full size
    std::array<PlanCircle, 3> holes;   // hanging holes
    std::array<QLineF, 3> strikeMarks; // across each pipe at its middle

    double tubeScale = 0.0;
    QRectF tube;                    // the whole tube, scaled
    std::vector<QRectF> tubePieces; // in cutting order: the three pipes, then what is left
    std::vector<QRectF> tubeCuts;   // solid: what the saw takes
    QRectF scaleBar;                // solid black, 100 × 2 mm

    std::vector<QLineF> lines; // dimension lines and their end marks
    std::vector<PlanText> texts;
};

Plan makePlan(const PlanInput& input);

} // namespace kw27::workshop
