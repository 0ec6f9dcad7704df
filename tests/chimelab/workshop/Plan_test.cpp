// The making plan's drawing in millimetres, and its PDF and raster renderings at full size.
#include "Plan.h"
#include "PlanPainter.h"
#include "PlanSample.h"
#include "QStringPrinting.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QRegularExpression>

using namespace kw27::workshop;

namespace {

QString allText(const Plan& plan) {
    QStringList texts;
    for (const PlanText& t : plan.texts)
        texts += t.text;
    return texts.join(QLatin1Char('\n'));
}

QRectF bounds(const Plan& plan) {
    QRectF all = plan.scaleBar | plan.tube;
    for (const QRectF& r : plan.pipes)
        all |= r;
    for (const QRectF& r : plan.tubePieces)
        all |= r;
    for (const QLineF& l : plan.lines)
        all |= QRectF(l.p1(), l.p2()).normalized();
    for (const PlanText& t : plan.texts)
        all |= QRectF(t.baselineMm - QPointF(0, t.heightMm), QSizeF(0.1, t.heightMm));
    return all;
}

TEST(Plan, PipesAtFullSizeWithHoleAndStrikeMarks) {
    const std::array<int, 3> lengthSets[] = {{1860, 1650, 1530}, {2700, 1000, 2350}};
    for (const auto& lengths : lengthSets) {
        PlanInput in = doMiSoPlan();
        in.lengthsTenthsMm = lengths;
        const Plan plan = makePlan(in);
        for (std::size_t i = 0; i < 3; ++i) {
            SCOPED_TRACE(lengths[i]);
            const QRectF pipe = plan.pipes[i];
            const double length = lengths[i] / 10.0;
            EXPECT_NEAR(pipe.width(), length, 1e-9);
            EXPECT_NEAR(plan.holes[i].centreMm.x() - pipe.left(), 0.22416 * length, 0.01);
            EXPECT_NEAR(plan.holes[i].centreMm.y(), pipe.center().y(), 1e-9);
            EXPECT_NEAR(plan.strikeMarks[i].x1(), pipe.center().x(), 1e-9);
            EXPECT_NEAR(plan.strikeMarks[i].x2(), pipe.center().x(), 1e-9);
            if (i > 0) {
                EXPECT_GE(pipe.top(), plan.pipes[i - 1].bottom() + 20.0);
            }
        }
    }
}

TEST(Plan, EverythingOnTheLandscapeSheetInsideThePrintersMargins) {
    const std::array<int, 3> lengthSets[] = {
        {1860, 1650, 1530}, {2700, 2700, 2700}, {1000, 1000, 1000}};
    for (const auto& lengths : lengthSets) {
        PlanInput in = doMiSoPlan();
        in.lengthsTenthsMm = lengths;
        in.kerfTenthsMm = 50;
        const Plan plan = makePlan(in);
        EXPECT_DOUBLE_EQ(plan.pageMm.width(), 297.0);
        EXPECT_DOUBLE_EQ(plan.pageMm.height(), 210.0);
        const QRectF printable(6.0, 6.0, 297.0 - 12.0, 210.0 - 12.0);
        EXPECT_TRUE(printable.contains(bounds(plan))) << lengths[0];
    }
}

TEST(Plan, ThinLinesAndAHundredMillimetreScaleBar) {
    const Plan plan = makePlan(doMiSoPlan());
    EXPECT_GT(plan.lineMm, 0.0);
    EXPECT_LE(plan.lineMm, 0.3);
    EXPECT_DOUBLE_EQ(plan.scaleBar.width(), 100.0);
    EXPECT_DOUBLE_EQ(plan.scaleBar.height(), 2.0);
    EXPECT_TRUE(allText(plan).contains(QStringLiteral("100 mm")));
}

TEST(Plan, TheTubeIsCutInOrderWithEachCutAndTheRestScaledAlike) {
    struct Row {
        std::array<int, 3> lengths;
        int kerf;
        bool rest;
    };
    const Row rows[] = {{{1860, 1650, 1530}, 20, true},
                        {{2000, 2000, 1900}, 0, false},
                        {{2700, 2700, 2700}, 50, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.lengths[0]);
        PlanInput in = doMiSoPlan();
        in.lengthsTenthsMm = row.lengths;
        in.kerfTenthsMm = row.kerf;
        const Plan plan = makePlan(in);
        const double s = plan.tubeScale;
        EXPECT_GT(s, 0.0);
        EXPECT_NEAR(plan.tube.width(), 590.0 * s, 1e-9);
        ASSERT_EQ(plan.tubePieces.size(), row.rest ? 4u : 3u);
        ASSERT_EQ(plan.tubeCuts.size(), 3u);
        double x = plan.tube.left();
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_NEAR(plan.tubePieces[i].left(), x, 1e-9);
            EXPECT_NEAR(plan.tubePieces[i].width(), row.lengths[i] / 10.0 * s, 1e-9);
            EXPECT_NEAR(plan.tubeCuts[i].left(), plan.tubePieces[i].right(), 1e-9);
            EXPECT_NEAR(plan.tubeCuts[i].width(), row.kerf / 10.0 * s, 1e-9);
            x = plan.tubeCuts[i].right();
        }
        if (row.rest) {
            EXPECT_NEAR(plan.tubePieces[3].right(), plan.tube.right(), 1e-9);
        }
        EXPECT_LE(std::max(x, plan.tube.right()), 297.0 - 6.0);
    }
}

TEST(Plan, TextsGiveTheMeasuresNotesChordMaterialAndThePupil) {
    const QString text = allText(makePlan(doMiSoPlan()));
    for (const char* expected :
         {"186.0", "165.0", "153.0", "41.7", "ド (C7)", "ミ (E7)", "+15", "ソ (G7)", "−24",
          "ド(C)の長三和音", "残り 80.0 mm", "2024年 4月 9日", "みどり中学校", "1学年　2組",
          "山田花子", "100 mm"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;
    EXPECT_FALSE(text.contains(QStringLiteral("材料不足のため")));
}

TEST(Plan, ATubeTooShortForTheCutsIsSaidSo) {
    PlanInput in = doMiSoPlan();
    in.lengthsTenthsMm = {2000, 2000, 1900};
    in.kerfTenthsMm = 1;
    const QString text = allText(makePlan(in));
    EXPECT_TRUE(text.contains(QStringLiteral("材料不足のため")));
    EXPECT_TRUE(text.contains(QStringLiteral("製作できません")));
    EXPECT_FALSE(text.contains(QStringLiteral("残り")));
}

// The first run of dark pixels along one row of the image: its first and last column.
std::pair<int, int> darkRun(const QImage& image, int y) {
    int x = 0;
    while (x < image.width() && qGray(image.pixel(x, y)) >= 128)
        ++x;
    const int first = x;
    while (x < image.width() && qGray(image.pixel(x, y)) < 128)
        ++x;
    return {first, x - 1};
}

TEST(PlanPainter, DrawsTheScaleBarAndThePipesAtFullSize) {
    const Plan plan = makePlan(doMiSoPlan());
    // 10 dots in a millimetre: 254 dpi, as a teacher's check would scan it.
    constexpr double dpm = 10.0;
    QImage image(int(297 * dpm), int(210 * dpm), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        paintPlan(plan, painter, dpm);
    }
    const auto [barFrom, barTo] = darkRun(image, int(plan.scaleBar.center().y() * dpm));
    EXPECT_NEAR((barTo - barFrom + 1) / dpm, 100.0, 0.2);
    for (std::size_t i = 0; i < 3; ++i) {
        const QRectF pipe = plan.pipes[i];
        // Along the outline's top edge: the whole length is drawn, no further.
        const auto [from, to] = darkRun(image, int(std::lround(pipe.top() * dpm)));
        EXPECT_NEAR((to - from + 1) / dpm, pipe.width(), 0.5) << i;
    }
}

TEST(PlanPainter, PdfIsOneLandscapeA4Page) {
    const QByteArray pdf = planPdf(makePlan(doMiSoPlan()), QStringLiteral("工作図"));
    ASSERT_TRUE(pdf.startsWith("%PDF-"));
    const QRegularExpression mediaBox(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"));
    const QRegularExpressionMatch m = mediaBox.match(QString::fromLatin1(pdf));
    ASSERT_TRUE(m.hasMatch());
    // Points: 297 × 210 mm.
    EXPECT_NEAR(m.captured(1).toDouble(), 297.0 / 25.4 * 72.0, 1.0);
    EXPECT_NEAR(m.captured(2).toDouble(), 210.0 / 25.4 * 72.0, 1.0);
    EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "),
              1);
}

} // namespace
