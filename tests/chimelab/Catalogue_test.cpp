#include "Currency.h"
#include "Lengths.h"
#include "PipeCatalogue.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

using kw27::Currency;

namespace {

Currency total(std::initializer_list<int> positions) {
    Currency sum;
    for (int p : positions)
        sum += chimelab::Length.ofPosition(p);
    return sum;
}

} // namespace

TEST(LengthTable, SumsOfChosenPipesAreExactAndShownInShortestForm) {
    struct Row {
        std::initializer_list<int> positions;
        const char* shown;
        std::int64_t tenThousandths;
    };
    const Row rows[] = {
        {{-1, -1, -1}, "0", 0},         {{11, -1, -1}, "25", 250000},
        {{6, 6, 5}, "59", 590000},                                      // 20 + 20 + 19
        {{11, 6, 17}, "59.3", 593000},                                  // 25 + 20 + la
        {{12, 13, 14}, "52.7", 527000},                                 // do + re + mi
        {{11, 11, 11}, "75", 750000},   {{19, 19, 19}, "39.3", 393000}, // 3 x 13.1
        {{15, 16, 18}, "44.9", 449000},                                 // fa + sol + ti
        {{12, 19, -1}, "31.7", 317000},                                 // do + upper do
    };
    for (const Row& row : rows) {
        const Currency sum = total(row.positions);
        EXPECT_EQ(sum.tenThousandths(), row.tenThousandths) << row.shown;
        EXPECT_EQ(sum.text(QLocale::c()), QString::fromUtf8(row.shown));
    }
}

TEST(LengthTable, ElementZeroIsNothingChosenAndTheRestFollowTheChooserPositions) {
    EXPECT_EQ(chimelab::Length[0], Currency());
    EXPECT_EQ(chimelab::Length.ofPosition(kw27::NoPipe), Currency());
    // Every label states its pipe's length: the table must agree with what the pupil reads.
    const QRegularExpression number(QStringLiteral("([0-9]+(?:\\.[0-9])?)cm"));
    for (int p = 0; p < kw27::PipeCount; ++p) {
        const auto match = number.match(kw27::pipeLabel(p));
        ASSERT_TRUE(match.hasMatch()) << p;
        EXPECT_EQ(chimelab::Length.ofPosition(p).text(QLocale::c()), match.captured(1)) << p;
        EXPECT_EQ(chimelab::Length[p + 1], chimelab::Length.ofPosition(p));
    }
    EXPECT_THROW(chimelab::Length.ofPosition(-2), std::out_of_range);
    EXPECT_THROW(chimelab::Length.ofPosition(20), std::out_of_range);
}

TEST(PipeCatalogue, TwentyLabelsInChooserOrder) {
    const QStringList labels = kw27::pipeLabels();
    ASSERT_EQ(labels.size(), kw27::PipeCount);
    for (int p = 0; p < 12; ++p)
        EXPECT_EQ(labels[p], QStringLiteral("%1cm").arg(14 + p));
    const char* scale[] = {"ド (18.6cm)", "レ (17.6cm)", "ミ (16.5cm)", "ファ (16.1cm)",
                           "ソ (15.3cm)", "ラ (14.3cm)", "シ (13.5cm)", "ド上 (13.1cm)"};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(labels[12 + i], QString::fromUtf8(scale[i]));
    for (int p = 0; p < kw27::PipeCount; ++p)
        EXPECT_EQ(kw27::pipeLabel(p), labels[p]);
    EXPECT_THROW(kw27::pipeLabel(-1), std::out_of_range);
    // The scale pipes shorten as the note rises.
    for (int p = 13; p < 20; ++p)
        EXPECT_LT(chimelab::Length.ofPosition(p), chimelab::Length.ofPosition(p - 1));
}

TEST(Currency, TextKeepsOnlySignificantDecimalsWithTheLocalesMark) {
    struct Row {
        std::int64_t raw;
        const char* c;
        const char* german;
    };
    const Row rows[] = {
        {0, "0", "0"},
        {10000, "1", "1"},
        {1, "0.0001", "0,0001"},
        {10, "0.001", "0,001"},
        {5000, "0.5", "0,5"},
        {1234567, "123.4567", "123,4567"},
        {1230000, "123", "123"},
        {-527000, "-52.7", "-52,7"},
        {-1, "-0.0001", "-0,0001"},
        {INT64_MIN, "-922337203685477.5808", "-922337203685477,5808"},
        {INT64_MAX, "922337203685477.5807", "922337203685477,5807"},
    };
    const QLocale german(QLocale::German, QLocale::Germany);
    for (const Row& row : rows) {
        const Currency value = Currency::fromTenThousandths(row.raw);
        EXPECT_EQ(value.text(QLocale::c()), QString::fromLatin1(row.c));
        EXPECT_EQ(value.text(german), QString::fromLatin1(row.german));
    }
    // The red line of the totals: above 59, not at it.
    EXPECT_LE(Currency::fromWhole(59), Currency::fromTenThousandths(590000));
    EXPECT_GT(Currency::fromTenThousandths(590001), Currency::fromWhole(59));
}
