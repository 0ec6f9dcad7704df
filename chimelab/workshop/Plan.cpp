#include "Plan.h"

#include "Chord.h"
#include "Cutting.h"
#include "PipeFacts.h"

#include <algorithm>

namespace kw27::workshop {
namespace {

// Millimetres on the page: its margin, and the heights of the title, of a line of text and of
// a dimension's measure.
constexpr double margin = 12.0, titleHeight = 5.0, textHeight = 3.5, smallHeight = 3.0;
// Drawn height of a pipe: its outline shows the length, not the tube's diameter.
constexpr double pipeHeight = 10.0;
// The pipes' rows, then the whole tube below them, drawn at about this scale.
constexpr double firstRowTop = 28.0, rowPitch = 38.0;
constexpr double tubeTop = 152.0, tubeHeight = 8.0, tubeScaleWanted = 0.45;
// Half the length of the tick across each end of a dimension.
constexpr double tickHalf = 2.0;

// A dimension: a line with a short tick across each end and its measure above the middle.
void dimension(Plan& plan, double x0, double x1, double y, const QString& text) {
    plan.lines.emplace_back(x0, y, x1, y);
    plan.lines.emplace_back(x0, y - tickHalf, x0, y + tickHalf);
    plan.lines.emplace_back(x1, y - tickHalf, x1, y + tickHalf);
    const double roughWidth = 0.55 * smallHeight * text.size();
    plan.texts.push_back({{(x0 + x1 - roughWidth) / 2.0, y - 1.0}, smallHeight, text});
}

QString pipeLine(int index, const PipeFacts& f) {
    QString line =
        QStringLiteral("%1本目　長さ %2 mm　%3 (%4)　%5 セント%6　穴 %7 mm　打つ位置 %8 mm")
            .arg(index + 1)
            .arg(mmText(f.lengthTenthsMm), f.note.name, f.note.letterName, centsText(f.note.cents),
                 f.note.inTune() ? QStringLiteral("（合っています）") : QString(),
                 measureText(f.holeMm), measureText(f.strikeMm));
    if (f.fileOffMm >= 0.05)
        line += QStringLiteral("　削る長さ %1 mm").arg(measureText(f.fileOffMm));
    return line;
}

} // namespace

Plan makePlan(const PlanInput& input) {
    Plan plan;
    plan.texts.push_back({{margin, 16.0}, titleHeight, QStringLiteral("パイプチャイム工作図")});
    plan.texts.push_back({{margin, 23.0},
                          textHeight,
                          QStringLiteral("%1　%2　%3　%4")
                              .arg(input.date, input.school, input.className, input.name)});

    std::array<int, 3> midi{};
    for (int i = 0; i < 3; ++i) {
        const PipeFacts f = pipeFacts(input.lengthsTenthsMm[std::size_t(i)]);
        midi[std::size_t(i)] = f.note.midi;
        const double top = firstRowTop + i * rowPitch;
        plan.texts.push_back({{margin, top + 4.0}, textHeight, pipeLine(i, f)});

        const double length = f.lengthTenthsMm / 10.0;
        const QRectF body(margin, top + 9.0, length, pipeHeight);
        plan.pipes[std::size_t(i)] = body;
        plan.holes[std::size_t(i)] = {{margin + f.holeMm, body.center().y()}, 1.5};
        plan.strikeMarks[std::size_t(i)] =
            QLineF(margin + f.strikeMm, body.top() - 2.0, margin + f.strikeMm, body.bottom() + 2.0);
        plan.texts.push_back(
            {{margin + f.strikeMm + 1.0, body.top() - 1.0}, smallHeight, QStringLiteral("打つ")});
        dimension(plan, margin, margin + f.holeMm, body.bottom() + 5.0, measureText(f.holeMm));
        dimension(plan, margin, margin + length, body.bottom() + 12.0, mmText(f.lengthTenthsMm));
    }

    const Cutting cut = cutting(input.lengthsTenthsMm, input.kerfTenthsMm);
    const double usable = plan.pageMm.width() - 2.0 * margin;
    const double spanMm = std::max(tubeTenthsMm, cut.usedTenthsMm) / 10.0;
    plan.tubeScale = std::min(tubeScaleWanted, usable / spanMm);
    const double s = plan.tubeScale;
    plan.texts.push_back(
        {{margin, tubeTop - 3.0},
         textHeight,
         QStringLiteral(
             "材料 %1 mm（縮尺 %2）：左から 1本目、2本目、3本目の順に切る　切りしろ %3 mm")
             .arg(mmText(tubeTenthsMm), QString::number(s, 'g', 3), mmText(input.kerfTenthsMm))});
    plan.tube = QRectF(margin, tubeTop, tubeTenthsMm / 10.0 * s, tubeHeight);
    double x = margin;
    for (int i = 0; i < 3; ++i) {
        const double w = input.lengthsTenthsMm[std::size_t(i)] / 10.0 * s;
        plan.tubePieces.emplace_back(x, tubeTop, w, tubeHeight);
        plan.texts.push_back({{x + 1.0, tubeTop + tubeHeight + 4.0},
                              smallHeight,
                              QStringLiteral("%1本目 %2")
                                  .arg(i + 1)
                                  .arg(mmText(input.lengthsTenthsMm[std::size_t(i)]))});
        x += w;
        const double k = input.kerfTenthsMm / 10.0 * s;
        plan.tubeCuts.emplace_back(x, tubeTop, k, tubeHeight);
        x += k;
    }
    if (cut.leftTenthsMm > 0) {
        plan.tubePieces.emplace_back(x, tubeTop, cut.leftTenthsMm / 10.0 * s, tubeHeight);
        plan.texts.push_back({{x + 1.0, tubeTop + tubeHeight + 4.0},
                              smallHeight,
                              QStringLiteral("残り %1").arg(mmText(cut.leftTenthsMm))});
    }

    plan.texts.push_back(
        {{margin, 177.0}, textHeight, QStringLiteral("和音：%1").arg(chordText(chordOf(midi)))});
    QString material = QStringLiteral("長さの合計 %1 mm ＋ 切りしろ %2 mm ＝ %3 mm（材料 %4 mm）　")
                           .arg(mmText(cut.piecesTenthsMm), mmText(cut.cutsTenthsMm),
                                mmText(cut.usedTenthsMm), mmText(tubeTenthsMm));
    material += cut.fits() ? QStringLiteral("残り %1 mm").arg(mmText(cut.leftTenthsMm))
                           : QStringLiteral("材料不足のため 製作できません");
    plan.texts.push_back({{margin, 184.0}, textHeight, material});

    plan.scaleBar = QRectF(margin, 192.0, 100.0, 2.0);
    plan.texts.push_back({{margin + 103.0, 194.5}, textHeight, QStringLiteral("100 mm")});
    return plan;
}

} // namespace kw27::workshop
