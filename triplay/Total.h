#pragma once

// The length of material that three chosen pipes need, and how the window shows it: a pupil
// has 59 cm of pipe, so a larger total is shown large and red with a two-line warning.

#include "PipeCatalogue.h"
#include "TColor.h"

#include <QString>
#include <array>

namespace triplay {

// The material each pupil gets.
inline constexpr kw27::Currency Material = kw27::Currency::fromWhole(59);

// The lengths of the three choosers' positions (-1 for none chosen, adding 0), added left to
// right.
kw27::Currency pipeTotal(const kw27::LengthTable& lengths, const std::array<int, 3>& positions);

struct TotalLook {
    TColor colour;
    int points;    // the total's font size
    QString line1; // the warning's two lines, empty when the material is enough
    QString line2;
};

TotalLook totalLook(kw27::Currency total);

// A font size in points as a character height in pixels at the 96 pixels per inch that the
// layout was drawn at, rounded to the nearest pixel as the toolkit does (16 -> 21, 20 -> 27).
constexpr int pointsToPixels(int points) {
    return (points * 96 + 36) / 72;
}

} // namespace triplay
