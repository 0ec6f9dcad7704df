// The pipe's modes: where each one does not move, and where the hanging hole goes.
#include "PipePhysics.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kw27::pipe;

namespace {

// Nodes of the first four free-free modes as fractions of the length, as the tables of beam
// vibration give them to three places (Blevins, Formulas for natural frequency and mode shape).
struct ModeRow {
    std::size_t mode;
    std::vector<double> nodes;
    double atFarEnd; // the symmetric modes move with the near end, the others against it
};
const ModeRow modeRows[] = {
    {0, {0.224, 0.776}, 1.0},
    {1, {0.132, 0.5, 0.868}, -1.0},
    {2, {0.094, 0.356, 0.644, 0.906}, 1.0},
    {3, {0.073, 0.277, 0.5, 0.723, 0.927}, -1.0},
};

TEST(ModeShape, EachModeIsStillAtItsNodesAndMovesAlikeAtTheEnds) {
    for (const ModeRow& row : modeRows) {
        SCOPED_TRACE(row.mode);
        EXPECT_DOUBLE_EQ(modeShape(row.mode, 0.0), 1.0);
        EXPECT_NEAR(modeShape(row.mode, 1.0), row.atFarEnd, 1e-6);
        for (double node : row.nodes) {
            SCOPED_TRACE(node);
            // The shape crosses zero within the table's last place.
            EXPECT_LT(modeShape(row.mode, node - 0.0015) * modeShape(row.mode, node + 0.0015), 0.0);
        }
        // No other node: the sign changes exactly as often as the table says.
        int changes = 0;
        for (int i = 0; i < 1000; ++i)
            if (modeShape(row.mode, i / 1000.0) * modeShape(row.mode, (i + 1) / 1000.0) < 0.0)
                ++changes;
        EXPECT_EQ(changes, int(row.nodes.size()));
    }
}

TEST(ModeShape, TheMiddleSilencesTheAntisymmetricModesOnly) {
    EXPECT_NEAR(modeShape(1, 0.5), 0.0, 1e-9);
    EXPECT_NEAR(modeShape(3, 0.5), 0.0, 1e-9);
    // The fundamental and the third mode move at the middle: 0.61 and 0.71 of the end.
    EXPECT_NEAR(modeShape(0, 0.5), -0.6078, 1e-3);
    EXPECT_NEAR(modeShape(2, 0.5), 0.7112, 1e-3);
}

TEST(HangingHole, AtTheFundamentalsNode) {
    EXPECT_NEAR(fundamentalNodeFraction(), 0.22416, 1e-5);
    EXPECT_NEAR(modeShape(0, fundamentalNodeFraction()), 0.0, 1e-9);
    // 41.7 mm into the 186 mm pipe.
    EXPECT_NEAR(fundamentalNodeFraction() * 186.0, 41.7, 0.05);
}

TEST(PipePhysics, FrequencyFallsWithTheSquareOfTheLength) {
    const std::pair<double, double> rows[] = {
        {18.6, 2093.0}, {17.0, 2505.52}, {37.2, 523.25}, {9.3, 8372.0}, {27.0, 993.27}};
    for (const auto& [cm, hz] : rows) {
        EXPECT_NEAR(pipeFrequency(cm), hz, 0.01) << cm;
        EXPECT_NEAR(lengthForFrequency(hz), cm, 1e-4) << cm;
    }
}

} // namespace
