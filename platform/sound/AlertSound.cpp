#include "AlertSound.h"

#include <cmath>
#include <numbers>

namespace kw27 {

PcmSound makeAlertSound() {
    constexpr int rate = 44100;
    constexpr double seconds = 0.15, frequency = 880.0, level = 0.25;
    constexpr double attack = 0.004, release = 0.015, decay = 0.08;
    const int frames = int(std::lround(seconds * rate));
    PcmSound sound;
    sound.channels = 1;
    sound.sampleRate = rate;
    sound.samples.resize(frames);
    for (int i = 0; i < frames; ++i) {
        const double t = double(i) / rate;
        const double left = double(frames - 1 - i) / rate;
        double envelope = std::exp(-t / decay);
        if (t < attack)
            envelope *= 0.5 - 0.5 * std::cos(std::numbers::pi * t / attack);
        if (left < release)
            envelope *= 0.5 - 0.5 * std::cos(std::numbers::pi * left / release);
        const double value = level * envelope * std::sin(2 * std::numbers::pi * frequency * t);
        sound.samples[i] = std::int16_t(std::lround(value * 32767));
    }
    return sound;
}

} // namespace kw27
