#pragma once

#include <QString>
#include <cstdint>
#include <vector>

// Reading the generated files back and measuring them, for the data set tests.
namespace kw27::test {

struct WavData {
    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSecond = 0;
    std::uint32_t bytesPerSecond = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint32_t fmtSize = 0;
    std::uint32_t dataSize = 0;
    std::vector<std::int16_t> samples;
};

// Reads a WAV file with the programs' RIFF reader. Fails the current test (and returns an
// empty result) when the file or one of its chunks is missing.
WavData readWav(const QString& path);

// Frequency of the strongest spectral peak between lowHz and highHz in samples
// [start, start + length), Hann-windowed, zero-padded and interpolated between bins.
double strongestPeakHz(const std::vector<std::int16_t>& samples, int start, int length,
                       double lowHz, double highHz, double sampleRate);

// Hann-windowed amplitude of one frequency in samples [start, start + length), normalised so
// that a full-scale sine of that frequency gives its own amplitude.
double amplitudeAt(const std::vector<std::int16_t>& samples, int start, int length, double hz,
                   double sampleRate);

// RMS of samples [start, start + length) after a steep high-pass at cutoffHz (windowed-sinc
// FIR, Blackman window, 255 taps): what is left above the pipe's partials.
double highBandRms(const std::vector<std::int16_t>& samples, int start, int length, double cutoffHz,
                   double sampleRate);

// How well the start of a sound continues its end when it is played in a loop: a linear
// predictor is fitted to the inside of the sound and run across the join. Returns the
// largest prediction error at the join and the largest inside the sound, in sample units.
struct JoinErrors {
    double atJoin = 0.0;
    double inside = 0.0;
};
JoinErrors loopJoinErrors(const std::vector<std::int16_t>& samples);

double rms(const std::vector<std::int16_t>& samples, int start, int length);

} // namespace kw27::test
