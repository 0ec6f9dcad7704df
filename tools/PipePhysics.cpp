#include "PipePhysics.h"

#include <cmath>

namespace kw27::datagen {

double pipeFrequency(double lengthCm) { return pipeConstant / (lengthCm * lengthCm); }

double lengthForFrequency(double hz) { return std::sqrt(pipeConstant / hz); }

double sharpLength(double lengthCm) {
    return lengthForFrequency(pipeFrequency(lengthCm) * std::exp2(1.0 / 12.0));
}

double cents(double a, double b) { return 1200.0 * std::log2(a / b); }

double equalTemperedHz(int midiNote) { return 440.0 * std::exp2((midiNote - 69) / 12.0); }

}  // namespace kw27::datagen
