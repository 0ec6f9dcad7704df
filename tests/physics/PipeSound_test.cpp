// The generator with its strike point: the data set's sounds are it at the data set's own
// settings, and a pipe struck at the middle rings with the partials and decay of a pipe.
#include "DataSet.h"
#include "PipePhysics.h"
#include "PipeSound.h"
#include "SoundAnalysis.h"
#include "WavDecoder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <algorithm>

using namespace kw27::pipe;
using kw27::test::centsBetween;
using kw27::test::peakFrequency;
using kw27::test::toneAmplitude;

namespace {

constexpr int window = 8192;
// Past the strike's tick.
constexpr int settled = 1000;

std::vector<std::int16_t> ring(double cm, double strikePoint) {
    return synthesize(SoundSpec{SoundKind::Ring, cm, 7, strikePoint});
}

std::uint32_t dataSetSeed(const QString& path) {
    for (const auto& file : kw27::datagen::soundFiles())
        if (file.path == path)
            return file.sound.noiseSeed;
    ADD_FAILURE() << "no " << path.toStdString() << " in the data set";
    return 0;
}

TEST(PipeSound, TheDataSetsLowDoIsTheGeneratorStruckAtTheEnd) {
    kw27::PcmSound built;
    ASSERT_EQ(kw27::decodeWavFile(QDir(KW27_DATA_DIR).filePath("C.wav").toStdString(), built),
              kw27::WavStatus::Ok);
    ASSERT_EQ(built.sampleRate, 44100);
    ASSERT_EQ(built.channels, 1);

    const SoundSpec ringing{SoundKind::Ring, 18.6, dataSetSeed(QStringLiteral("C.wav")),
                            strikeAtEnd};
    const std::vector<std::int16_t> again = synthesize(ringing);
    ASSERT_EQ(again.size(), built.samples.size());
    EXPECT_TRUE(std::equal(again.begin(), again.end(), built.samples.begin()));

    // The strike point is heard: struck at the middle the same pipe is another sound.
    SoundSpec middle = ringing;
    middle.strikePoint = strikeAtMiddle;
    EXPECT_NE(synthesize(middle), built.samples);
}

TEST(PipeSound, PitchWithinTwoCentsOfTheLengthsFrequency) {
    for (double cm : {10.0, 13.1, 15.3, 17.0, 18.6, 22.2, 27.0}) {
        for (double strike : {strikeAtEnd, strikeAtMiddle}) {
            SCOPED_TRACE(cm);
            SCOPED_TRACE(strike);
            const double expected = pipeFrequency(cm);
            const double heard =
                peakFrequency(ring(cm, strike), settled, window, expected * 0.97, expected * 1.03);
            EXPECT_LT(std::abs(centsBetween(heard, expected)), 2.0);
        }
    }
}

// Amplitude of partial k relative to the fundamental's, early in the ring.
double partialShare(const std::vector<std::int16_t>& sound, double cm, std::size_t k) {
    const double f0 = pipeFrequency(cm);
    return toneAmplitude(sound, settled, window, f0 * partialRatios[k]) /
           toneAmplitude(sound, settled, window, f0);
}

TEST(PipeSound, EachPartialWeightedByItsModeAtTheStrikePoint) {
    for (double cm : {15.3, 17.0, 18.6, 25.0}) {
        SCOPED_TRACE(cm);
        const auto end = ring(cm, strikeAtEnd);
        const auto middle = ring(cm, strikeAtMiddle);
        // Struck at the end every partial sounds; at the middle the 2.756 one is silent.
        EXPECT_GT(partialShare(end, cm, 1), 0.1);
        EXPECT_LT(partialShare(middle, cm, 1), 1e-3);
        // The third mode moves 0.7112 at the middle, the fundamental 0.6078 (as much as at the
        // end, against it): relative to the fundamental the 5.404 partial is 1.17 times as
        // strong struck at the middle.
        EXPECT_NEAR(partialShare(middle, cm, 2) / partialShare(end, cm, 2), 0.7112 / 0.6078, 0.02);
        EXPECT_GT(partialShare(middle, cm, 2), 0.05);
    }
}

TEST(PipeSound, StruckAtTheMiddleItRingsAndDiesAway) {
    for (double cm : {13.1, 17.0, 27.0}) {
        SCOPED_TRACE(cm);
        const auto sound = ring(cm, strikeAtMiddle);
        const double f0 = pipeFrequency(cm);
        const int early = int(0.1 * 44100), late = int(0.9 * 44100);
        const double ratio =
            toneAmplitude(sound, late, 4096, f0) / toneAmplitude(sound, early, 4096, f0);
        // The fundamental's own decay (time constant 1.1 s) over 0.8 s.
        EXPECT_NEAR(ratio, std::exp(-0.8 / 1.1), 0.03);
        // And nothing at the end: the ring fades out to silence.
        EXPECT_EQ(sound.back(), 0);
    }
}

} // namespace
