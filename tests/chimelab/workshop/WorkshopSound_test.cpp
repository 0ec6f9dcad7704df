// What the workshop plays: a struck pipe of the typed length, not a sine and not a recording.
#include "PipePhysics.h"
#include "SoundAnalysis.h"
#include "WorkshopSound.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kw27::workshop;
using kw27::pipe::partialRatios;
using kw27::pipe::pipeFrequency;
using kw27::test::centsBetween;
using kw27::test::peakFrequency;
using kw27::test::toneAmplitude;

namespace {

TEST(WorkshopSound, AnyLengthRingsAtItsPitchWithThePipesPartials) {
    // Lengths the data set has no sound for, and the shortest and longest a pupil may type.
    for (int tenths : {1000, 1234, 1700, 1990, 2371, 2700}) {
        SCOPED_TRACE(tenths);
        const auto sound = workshopSound(tenths);
        const double f0 = pipeFrequency(tenths / 100.0);
        const double heard = peakFrequency(sound, 1000, 8192, f0 * 0.97, f0 * 1.03);
        EXPECT_LT(std::abs(centsBetween(heard, f0)), 2.0);

        const double fundamental = toneAmplitude(sound, 1000, 8192, f0);
        // Struck at the middle: the second partial silent; the third there wherever it is
        // below the highest kept (about 19.8 kHz).
        EXPECT_LT(toneAmplitude(sound, 1000, 8192, f0 * partialRatios[1]), fundamental * 1e-3);
        if (f0 * partialRatios[2] < 19000.0) {
            EXPECT_GT(toneAmplitude(sound, 1000, 8192, f0 * partialRatios[2]), fundamental * 0.05);
        }

        // It dies away as the pipe does.
        const double later = toneAmplitude(sound, 40000, 8192, f0);
        EXPECT_NEAR(later / fundamental, std::exp(-39000.0 / 44100.0 / 1.1), 0.03);
    }
}

} // namespace
