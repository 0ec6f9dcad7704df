#pragma once

#include "Plan.h"

#include <QByteArray>

class QPainter;

namespace kw27::workshop {

// Draws the plan with painter, whose device has dotsPerMm dots in a millimetre and whose
// origin is the sheet's top left corner: outlines and lines thin, the scale bar and the saw's
// cuts solid, the texts in "ＭＳ ゴシック".
void paintPlan(const Plan& plan, QPainter& painter, double dotsPerMm);

// The plan as a one-page PDF document, A4 landscape, no margins, drawn as vectors.
QByteArray planPdf(const Plan& plan, const QString& title);

} // namespace kw27::workshop
