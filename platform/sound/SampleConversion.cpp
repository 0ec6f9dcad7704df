#include "SampleConversion.h"

#include <samplerate.h>

#include <climits>
#include <stdexcept>
#include <string>

namespace kw27 {

namespace {

// libsamplerate's own bounds on the ratio between output and input rate.
constexpr double kMostRatio = 256.0;

// The medium sinc converter passes 90 % of the band (19.8 kHz at 44.1 kHz), so the fourth
// partial of the lowest scale pipe (near 18.7 kHz) stays, at about a third of the cost of the
// best converter, whose 97 % would add nothing a pipe sounds.
constexpr int kConverter = SRC_SINC_MEDIUM_QUALITY;

// As for a decoded sound: one mixer buffer, sized by a signed 32-bit byte count.
constexpr std::size_t kMostFrames = INT_MAX / sizeof(std::int16_t);

std::vector<std::int16_t> mono(const PcmSound& sound) {
    if (sound.channels == 1)
        return sound.samples;
    if (sound.channels != 2)
        throw std::invalid_argument("sound of " + std::to_string(sound.channels) + " channels");
    std::vector<std::int16_t> out(sound.frames());
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = std::int16_t((int(sound.samples[2 * i]) + int(sound.samples[2 * i + 1]) + 1) >> 1);
    return out;
}

} // namespace

std::size_t framesAtRate(std::size_t frames, int fromRate, int toRate) {
    // Integer arithmetic: rounding must not depend on the sound's length.
    const auto product = static_cast<unsigned __int128>(frames) * unsigned(toRate);
    return std::size_t((2 * product + unsigned(fromRate)) / (2 * unsigned(fromRate)));
}

std::vector<std::int16_t> monoAtRate(const PcmSound& sound, int targetRate) {
    if (sound.sampleRate <= 0 || targetRate <= 0 ||
        double(targetRate) / sound.sampleRate > kMostRatio ||
        double(sound.sampleRate) / targetRate > kMostRatio)
        throw std::invalid_argument("cannot convert " + std::to_string(sound.sampleRate) +
                                    " Hz to " + std::to_string(targetRate) + " Hz");
    std::vector<std::int16_t> samples = mono(sound);
    if (sound.sampleRate == targetRate || samples.empty())
        return samples;

    const std::size_t wanted = framesAtRate(samples.size(), sound.sampleRate, targetRate);
    if (wanted > kMostFrames)
        throw std::length_error("converted sound too long");
    std::vector<float> in(samples.size());
    src_short_to_float_array(samples.data(), in.data(), int(in.size()));
    // A little room beyond the expected length: the converter may give a frame more.
    std::vector<float> out(wanted + 16);
    SRC_DATA data{};
    data.data_in = in.data();
    data.input_frames = long(in.size());
    data.data_out = out.data();
    data.output_frames = long(out.size());
    data.src_ratio = double(targetRate) / sound.sampleRate;
    if (const int error = src_simple(&data, kConverter, 1); error != 0)
        throw std::runtime_error(std::string("libsamplerate: ") + src_strerror(error));
    // The converter's count may differ from the exact length by a frame at the end; the
    // length is what a listener times, so it is made exact (silence where one is missing).
    out.resize(wanted);
    for (std::size_t i = std::size_t(data.output_frames_gen); i < wanted; ++i)
        out[i] = 0.0f;
    std::vector<std::int16_t> converted(wanted);
    src_float_to_short_array(out.data(), converted.data(), int(wanted));
    return converted;
}

} // namespace kw27
