#include "PipePhysics.h"

#include <cmath>

namespace kw27::pipe {

double pipeFrequency(double lengthCm) {
    return pipeConstant / (lengthCm * lengthCm);
}

double lengthForFrequency(double hz) {
    return std::sqrt(pipeConstant / hz);
}

namespace {

// βL of the free-free modes: the roots of cos(βL)·cosh(βL) = 1. Their squares give the
// partial ratios (22.373 : 61.673 : 120.90 : 199.86 = 1 : 2.756 : 5.404 : 8.933).
constexpr std::array<double, partialRatios.size()> modeBetaL = {4.730040745, 7.853204624,
                                                                10.995607838, 14.137165491};

} // namespace

double modeShape(std::size_t k, double x) {
    const double b = modeBetaL.at(k);
    const double sigma = (std::cosh(b) - std::cos(b)) / (std::sinh(b) - std::sin(b));
    const double bx = b * x;
    // The shape is 2 at either end for every mode; halved, the end is exactly 1.
    return 0.5 * (std::cosh(bx) + std::cos(bx) - sigma * (std::sinh(bx) + std::sin(bx)));
}

double fundamentalNodeFraction() {
    // The fundamental moves one way at the end and the other at the middle: one node between.
    double low = 0.0, high = 0.5;
    for (int i = 0; i < 60; ++i) {
        const double mid = 0.5 * (low + high);
        (modeShape(0, mid) > 0.0 ? low : high) = mid;
    }
    return 0.5 * (low + high);
}

double sharpLength(double lengthCm) {
    return lengthForFrequency(pipeFrequency(lengthCm) * std::exp2(1.0 / 12.0));
}

} // namespace kw27::pipe
