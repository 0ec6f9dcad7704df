#include "PipePhysics.h"

#include <cmath>

namespace kw27::pipe {

double pipeFrequency(double lengthCm) {
    return pipeConstant / (lengthCm * lengthCm);
}

double lengthForFrequency(double hz) {
    return std::sqrt(pipeConstant / hz);
}

double sharpLength(double lengthCm) {
    return lengthForFrequency(pipeFrequency(lengthCm) * std::exp2(1.0 / 12.0));
}

} // namespace kw27::pipe
