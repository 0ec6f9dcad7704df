#include "PipeSound.h"

#include "PipePhysics.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kw27::pipe {
namespace {

constexpr double twoPi = 2.0 * std::numbers::pi;

// Partials above this are left out: they would fold back below the Nyquist frequency.
constexpr double highestPartialHz = 0.45 * sampleRate;

// Strength of each partial just after the strike, and in the steady ring of a loop where
// the upper ones have already faded most of the way.
constexpr double struckAmplitude[] = {1.0, 0.5, 0.28, 0.16};
constexpr double steadyAmplitude[] = {1.0, 0.22, 0.07, 0.025};

// Decay time constant of the fundamental; the k-th partial decays ratio^1.2 times faster.
constexpr double fundamentalDecaySeconds = 1.1;
constexpr double decayExponent = 1.2;

constexpr double attackSeconds = 0.001;
// The mallet's tick: bright noise that swells in a fraction of a millisecond and dies in a
// few, loud enough to be heard as the strike before the ring takes over.
constexpr double strikeSeconds = 0.015;
constexpr double strikeRiseSeconds = 0.0002;
constexpr double strikeDecaySeconds = 0.002;
constexpr double strikeLevel = 0.8;

constexpr double ringFadeSeconds = 0.45;
constexpr double noteFadeSeconds = 0.15;

// Real tubes are never perfectly round: the fundamental is split into two close modes that
// beat slowly. Two beats per loop keep the loop seamless.
constexpr double beatCyclesPerLoop = 2.0;
constexpr double beatLevel = 0.06;

// xorshift32: small, fast and the same on every machine.
class NoiseSource {
public:
    explicit NoiseSource(std::uint32_t seed) : state_(seed != 0 ? seed : 0x9E3779B9u) {}
    double next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return double(state_) / 2147483648.0 - 1.0;
    }

private:
    std::uint32_t state_;
};

// Raised-cosine ramp from 1 at the start of the fade to exactly 0 at the last sample.
double fadeOut(int i, int count, int fadeCount) {
    const int intoFade = i - (count - fadeCount);
    if (intoFade < 0)
        return 1.0;
    const double x = double(intoFade) / double(fadeCount - 1);
    return 0.5 * (1.0 + std::cos(std::numbers::pi * std::min(x, 1.0)));
}

// Calls each(k, hz, weight) for every partial k of the pipe, at hz, below the highest one
// kept; weight is how strongly the strike excites its mode.
template <class Each> void forEachPartial(const SoundSpec& sound, Each each) {
    const double f0 = pipeFrequency(sound.lengthCm);
    for (std::size_t k = 0; k < partialRatios.size(); ++k) {
        const double hz = f0 * partialRatios[k];
        if (hz < highestPartialHz)
            each(k, hz, modeShape(k, sound.strikePoint));
    }
}

std::vector<double> struckPipe(const SoundSpec& sound, int count, double fadeSeconds) {
    std::vector<double> out(std::size_t(count), 0.0);
    forEachPartial(sound, [&](std::size_t k, double hz, double weight) {
        const double tau = fundamentalDecaySeconds / std::pow(partialRatios[k], decayExponent);
        const double amplitude = struckAmplitude[k] * weight;
        for (int i = 0; i < count; ++i) {
            const double t = i / sampleRate;
            out[std::size_t(i)] += amplitude * std::exp(-t / tau) * std::sin(twoPi * hz * t);
        }
    });

    // Differentiated white noise: most of its energy lies high, above the partials.
    NoiseSource noise(sound.noiseSeed);
    double previous = 0.0;
    const int strikeCount = int(strikeSeconds * sampleRate);
    for (int i = 0; i < strikeCount && i < count; ++i) {
        const double white = noise.next();
        const double t = i / sampleRate;
        const double envelope =
            (1.0 - std::exp(-t / strikeRiseSeconds)) * std::exp(-t / strikeDecaySeconds);
        out[std::size_t(i)] += strikeLevel * 0.5 * (white - previous) * envelope;
        previous = white;
    }

    const int attackCount = int(attackSeconds * sampleRate);
    const int fadeCount = int(fadeSeconds * sampleRate);
    for (int i = 0; i < count; ++i) {
        double gain = fadeOut(i, count, fadeCount);
        if (i < attackCount)
            gain *= 0.5 * (1.0 - std::cos(std::numbers::pi * i / attackCount));
        out[std::size_t(i)] *= gain;
    }
    return out;
}

// sin(2π · cycles · i / loopSamples) with the phase reduced exactly, so that the sample after
// the last one of the loop would be sample 0 again.
double loopSine(double cycles, int i) {
    const double turns = std::fmod(cycles * double(i), double(loopSamples)) / double(loopSamples);
    return std::sin(twoPi * turns);
}

// A loop repeats seamlessly when every partial completes a whole number of cycles in it; the
// nearest such frequency is at most a quarter hertz off.
double loopCycles(double hz) {
    return std::round(hz * loopSamples / sampleRate);
}

std::vector<double> steadyPipe(const SoundSpec& sound) {
    std::vector<double> out(std::size_t(loopSamples), 0.0);
    forEachPartial(sound, [&](std::size_t k, double hz, double weight) {
        const double cycles = loopCycles(hz);
        const double amplitude = steadyAmplitude[k] * weight;
        for (int i = 0; i < loopSamples; ++i)
            out[std::size_t(i)] += amplitude * loopSine(cycles, i);
        if (k == 0) {
            for (int i = 0; i < loopSamples; ++i)
                out[std::size_t(i)] += beatLevel * weight * loopSine(cycles + beatCyclesPerLoop, i);
        }
    });
    return out;
}

std::vector<std::int16_t> toPcm(const std::vector<double>& signal) {
    double peak = 0.0;
    for (double v : signal)
        peak = std::max(peak, std::abs(v));
    const double target = 32768.0 * std::pow(10.0, peakDbfs / 20.0);
    const double scale = peak > 0.0 ? target / peak : 0.0;
    std::vector<std::int16_t> pcm;
    pcm.reserve(signal.size());
    for (double v : signal)
        pcm.push_back(std::int16_t(std::lround(v * scale)));
    return pcm;
}

} // namespace

int sampleCount(SoundKind kind) {
    switch (kind) {
    case SoundKind::Ring:
        return int(std::lround(ringSeconds * sampleRate));
    case SoundKind::Note:
    case SoundKind::Silence:
        return int(std::lround(noteSeconds * sampleRate));
    case SoundKind::Loop:
        return loopSamples;
    }
    return 0;
}

std::vector<std::int16_t> synthesize(const SoundSpec& sound) {
    const int count = sampleCount(sound.kind);
    switch (sound.kind) {
    case SoundKind::Ring:
        return toPcm(struckPipe(sound, count, ringFadeSeconds));
    case SoundKind::Note:
        return toPcm(struckPipe(sound, count, noteFadeSeconds));
    case SoundKind::Loop:
        return toPcm(steadyPipe(sound));
    case SoundKind::Silence:
        break;
    }
    return std::vector<std::int16_t>(std::size_t(count), 0);
}

} // namespace kw27::pipe
