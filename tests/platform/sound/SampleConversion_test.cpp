#include "SampleConversion.h"

#include "SignalMeasures.h"
#include "WavFixture.h"

#include <gtest/gtest.h>

#include <ostream>
#include <stdexcept>

using namespace kw27;
using namespace kw27::test;

namespace {

PcmSound soundOf(int channels, int rate, std::vector<std::int16_t> samples) {
    PcmSound sound;
    sound.channels = channels;
    sound.sampleRate = rate;
    sound.samples = std::move(samples);
    return sound;
}

TEST(SampleConversion, MonoAtTheTargetRateKeepsEverySample) {
    std::vector<std::int16_t> samples = noise16(5000, 3);
    samples[1] = -32768;
    samples[2] = 32767;
    EXPECT_EQ(monoAtRate(soundOf(1, 44100, samples), 44100), samples);
    EXPECT_TRUE(monoAtRate(soundOf(1, 48000, {}), 44100).empty());
}

// The same mean as the decoder takes of a stereo file, extremes and odd sums included.
TEST(SampleConversion, StereoAtTheTargetRateIsMixedDownAsTheDecoderDoes) {
    std::vector<std::int16_t> stereo = noise16(4000, 11);
    const std::vector<std::int16_t> edges{-32768, -32768, 32767, 32767, -32768, 32767,
                                          1,      0,      -1,    0,     -3,     0};
    std::copy(edges.begin(), edges.end(), stereo.begin());
    const std::vector<std::int16_t> mono = monoAtRate(soundOf(2, 22050, stereo), 22050);
    EXPECT_EQ(mono, mixDown(stereo));

    PcmSound decoded;
    writeFile("stereo.wav", wav16(2, 22050, stereo));
    ASSERT_EQ(decodeWavFile("stereo.wav", decoded), WavStatus::Ok);
    EXPECT_EQ(mono, decoded.samples);
}

struct RateCase {
    int channels;
    int from;
    int to;
    double frequency;
    friend std::ostream& operator<<(std::ostream& os, const RateCase& c) {
        return os << c.channels << " ch " << c.from << " -> " << c.to << " Hz, " << c.frequency
                  << " Hz tone";
    }
};

class SampleConversionRates : public ::testing::TestWithParam<RateCase> {};

// A teacher's recording at another rate must sound the same note for the same time, at the
// same level.
TEST_P(SampleConversionRates, KeepsLengthPitchAndLevel) {
    const RateCase c = GetParam();
    const std::size_t frames = std::size_t(c.from) * 3 / 4 + 7; // not a whole number of periods
    const double level = 0.5;
    const std::vector<std::int16_t> samples = c.channels == 2
                                                  ? stereoSine(frames, c.frequency, c.from, level)
                                                  : sine(frames, c.frequency, c.from, level);
    const std::vector<std::int16_t> out = monoAtRate(soundOf(c.channels, c.from, samples), c.to);

    ASSERT_EQ(out.size(), framesAtRate(frames, c.from, c.to));
    EXPECT_NEAR(double(out.size()) / c.to, double(frames) / c.from, 0.5 / c.to);
    // Away from both ends, where the converter's filter meets the sound's edges.
    const std::size_t from = out.size() / 10, to = out.size() - out.size() / 10;
    EXPECT_NEAR(toneFrequency(out, c.to, from, to), c.frequency, c.frequency * 1e-3);
    EXPECT_NEAR(rmsLevel(out, from, to), level / std::sqrt(2.0), 0.01);
}

INSTANTIATE_TEST_SUITE_P(
    Rates, SampleConversionRates,
    ::testing::Values(RateCase{2, 48000, 44100, 2093.0}, RateCase{1, 48000, 44100, 2093.0},
                      RateCase{1, 22050, 44100, 1046.5}, RateCase{2, 96000, 44100, 4186.0},
                      RateCase{1, 8000, 44100, 440.0}, RateCase{1, 384000, 44100, 2093.0},
                      RateCase{1, 44100, 48000, 2093.0}));

TEST(SampleConversion, LengthsAreRoundedToTheNearestFrame) {
    struct Row {
        std::size_t frames;
        int from, to;
        std::size_t expected;
    };
    const Row rows[] = {
        {48000, 48000, 44100, 44100}, {1, 48000, 44100, 1},
        {160, 16000, 44100, 441},     {3, 48000, 44100, 3},
        {13, 96000, 44100, 6},        {7, 1000, 44100, 309},
        {0, 48000, 44100, 0},         {2'000'000'000, 384000, 44100, 229'687'500},
    };
    for (const Row& row : rows)
        EXPECT_EQ(framesAtRate(row.frames, row.from, row.to), row.expected)
            << row.frames << " frames " << row.from << " -> " << row.to;
}

TEST(SampleConversion, RatesOutsideTheConvertersReachAreRefused) {
    const std::vector<std::int16_t> samples(100, 1);
    EXPECT_THROW(monoAtRate(soundOf(1, 0, samples), 44100), std::invalid_argument);
    EXPECT_THROW(monoAtRate(soundOf(1, 44100, samples), 0), std::invalid_argument);
    EXPECT_THROW(monoAtRate(soundOf(1, 100, samples), 44100), std::invalid_argument);
    EXPECT_THROW(monoAtRate(soundOf(3, 44100, std::vector<std::int16_t>(99, 1)), 44100),
                 std::invalid_argument);
    EXPECT_NO_THROW(monoAtRate(soundOf(1, 1000, samples), 44100));
}

} // namespace
