#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

// Measuring a synthesised pipe sound: the strength of one frequency, and where a peak lies.
namespace kw27::test {

// Hann-windowed amplitude of hz in samples [start, start + length), scaled so that a sine of
// amplitude a there gives a.
inline double toneAmplitude(const std::vector<std::int16_t>& samples, int start, int length,
                            double hz, double rate = 44100.0) {
    double re = 0.0, im = 0.0, windowSum = 0.0;
    for (int i = 0; i < length; ++i) {
        const double w = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / (length - 1));
        const double phase = 2.0 * std::numbers::pi * hz * i / rate;
        const double v = samples[std::size_t(start + i)];
        re += w * v * std::cos(phase);
        im += w * v * std::sin(phase);
        windowSum += w;
    }
    return 2.0 * std::hypot(re, im) / windowSum;
}

// The frequency between lowHz and highHz where toneAmplitude is largest: a coarse scan, then
// golden-section search around the best step.
inline double peakFrequency(const std::vector<std::int16_t>& samples, int start, int length,
                            double lowHz, double highHz, double rate = 44100.0) {
    const double step = rate / length / 8.0;
    double best = lowHz, bestAmp = -1.0;
    for (double f = lowHz; f <= highHz; f += step) {
        const double a = toneAmplitude(samples, start, length, f, rate);
        if (a > bestAmp) {
            bestAmp = a;
            best = f;
        }
    }
    double a = best - step, b = best + step;
    const double g = (std::sqrt(5.0) - 1.0) / 2.0;
    for (int i = 0; i < 40; ++i) {
        const double c = b - g * (b - a), d = a + g * (b - a);
        if (toneAmplitude(samples, start, length, c, rate) >
            toneAmplitude(samples, start, length, d, rate))
            b = d;
        else
            a = c;
    }
    return 0.5 * (a + b);
}

inline double centsBetween(double hz, double reference) {
    return 1200.0 * std::log2(hz / reference);
}

} // namespace kw27::test
