#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numbers>
#include <vector>

// Measures of a sound that survive resampling, for tests that convert between rates: a tone's
// pitch and level must come out as they went in.
namespace kw27::test {

// frames of a sine at frequency Hz and peak level (of full scale), sampled at rate.
inline std::vector<std::int16_t> sine(std::size_t frames, double frequency, int rate,
                                      double level) {
    std::vector<std::int16_t> out(frames);
    for (std::size_t i = 0; i < frames; ++i)
        out[i] = std::int16_t(std::lround(
            level * 32767.0 * std::sin(2 * std::numbers::pi * frequency * double(i) / rate)));
    return out;
}

// The same sine on both channels, interleaved.
inline std::vector<std::int16_t> stereoSine(std::size_t frames, double frequency, int rate,
                                            double level) {
    const std::vector<std::int16_t> one = sine(frames, frequency, rate, level);
    std::vector<std::int16_t> out(2 * frames);
    for (std::size_t i = 0; i < frames; ++i)
        out[2 * i] = out[2 * i + 1] = one[i];
    return out;
}

// The frequency of a steady tone from its rising zero crossings between first and last
// (interpolated between samples), within [from, to).
inline double toneFrequency(const std::vector<std::int16_t>& s, int rate, std::size_t from,
                            std::size_t to) {
    double first = -1, last = -1;
    int crossings = 0;
    for (std::size_t i = from + 1; i < to && i < s.size(); ++i) {
        if (s[i - 1] < 0 && s[i] >= 0) {
            const double at = double(i - 1) + double(-s[i - 1]) / double(s[i] - s[i - 1]);
            if (first < 0)
                first = at;
            last = at;
            ++crossings;
        }
    }
    if (crossings < 2)
        return 0;
    return double(crossings - 1) * rate / (last - first);
}

// Root mean square level, as a fraction of full scale, within [from, to).
inline double rmsLevel(const std::vector<std::int16_t>& s, std::size_t from, std::size_t to) {
    double sum = 0;
    std::size_t n = 0;
    for (std::size_t i = from; i < to && i < s.size(); ++i, ++n)
        sum += double(s[i]) * double(s[i]);
    return n ? std::sqrt(sum / double(n)) / 32767.0 : 0;
}

} // namespace kw27::test
