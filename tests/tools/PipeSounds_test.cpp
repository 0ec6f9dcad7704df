// The generated pipe sounds, measured: format, level, pitch from the pipe's length, the
// shape of each kind of sound, and the scale the eight pipes make.
#include "AnalysisFixture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QString>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

namespace {

using kw27::test::amplitudeAt;
using kw27::test::readWav;
using kw27::test::strongestPeakHz;
using kw27::test::WavData;

constexpr double rate = 44100.0;
// f = K / L² with the 18.6 cm pipe on C7.
double pipeHz(double cm) {
    return 2093.0 * (18.6 / cm) * (18.6 / cm);
}
const double semitone = std::exp2(1.0 / 12.0);

enum class Kind { Ring, Note, Loop, Rest };

struct SoundRow {
    std::string path; // under the data folder
    Kind kind;
    double hz; // the fundamental the pipe must sound; 0 for the rest
};

void PrintTo(const SoundRow& row, std::ostream* os) {
    *os << row.path;
}

struct ScalePipe {
    const char* stem;
    double cm;
};
const ScalePipe scale[] = {{"C", 18.6}, {"D", 17.6}, {"E", 16.5}, {"F", 16.1},
                           {"G", 15.3}, {"A", 14.3}, {"B", 13.5}, {"C2", 13.1}};

bool hasSharp(const std::string& stem) {
    return stem == "C" || stem == "D" || stem == "F" || stem == "G" || stem == "A";
}

std::vector<SoundRow> soundRows() {
    std::vector<SoundRow> rows;
    for (const ScalePipe& s : scale)
        rows.push_back({std::string(s.stem) + ".wav", Kind::Ring, pipeHz(s.cm)});
    for (int cm = 14; cm <= 25; ++cm)
        rows.push_back({"Data1/" + std::to_string(cm) + "cm.wav", Kind::Loop, pipeHz(cm)});
    for (const ScalePipe& s : scale)
        rows.push_back({"Data1/" + std::string(s.stem) + ".wav", Kind::Loop, pipeHz(s.cm)});
    for (int cm = 14; cm <= 25; ++cm)
        rows.push_back({"Data2/" + std::to_string(cm) + "cm.wav", Kind::Ring, pipeHz(cm)});
    for (const ScalePipe& s : scale)
        rows.push_back({"Data2/" + std::string(s.stem) + ".wav", Kind::Note, pipeHz(s.cm)});
    for (const ScalePipe& s : scale) {
        if (hasSharp(s.stem))
            rows.push_back(
                {"Data2/" + std::string(s.stem) + "#.wav", Kind::Note, pipeHz(s.cm) * semitone});
    }
    rows.push_back({"Data2/yasumi.wav", Kind::Rest, 0.0});
    return rows;
}

QString dataPath(const std::string& relative) {
    return QDir(QString::fromUtf8(KW27_DATA_DIR)).filePath(QString::fromStdString(relative));
}

// Loudest sample allowed: -10.5 dBFS.
const double peakLimit = 32768.0 * std::pow(10.0, -10.5 / 20.0);

int peakOf(const std::vector<std::int16_t>& s) {
    int peak = 0;
    for (std::int16_t v : s)
        peak = std::max(peak, std::abs(int(v)));
    return peak;
}

std::vector<SoundRow> rowsOf(std::initializer_list<Kind> kinds) {
    std::vector<SoundRow> rows;
    for (const SoundRow& r : soundRows()) {
        if (std::find(kinds.begin(), kinds.end(), r.kind) != kinds.end())
            rows.push_back(r);
    }
    return rows;
}

class SoundFile : public ::testing::TestWithParam<SoundRow> {
protected:
    void SetUp() override {
        wav = readWav(dataPath(GetParam().path));
        ASSERT_FALSE(wav.samples.empty()) << GetParam().path;
    }
    WavData wav;
};

// Every file; every file with a pitch; the struck sounds that fade out; the full rings;
// the simulator's loops.
class PipeSound : public SoundFile {};
class PitchedSound : public SoundFile {};
class StruckSound : public SoundFile {};
class FullRing : public SoundFile {};
class LoopedSound : public SoundFile {};

TEST_P(PipeSound, IsSixteenBitMonoPcmAt44100) {
    EXPECT_EQ(wav.formatTag, 1);
    EXPECT_EQ(wav.channels, 1);
    EXPECT_EQ(wav.samplesPerSecond, 44100u);
    EXPECT_EQ(wav.bytesPerSecond, 88200u);
    EXPECT_EQ(wav.blockAlign, 2);
    EXPECT_EQ(wav.bitsPerSample, 16);
    EXPECT_EQ(wav.dataSize, 2 * wav.samples.size());
}

TEST_P(PipeSound, LastsAsLongAsItsUseNeeds) {
    const double seconds = wav.samples.size() / rate;
    switch (GetParam().kind) {
    case Kind::Ring:
    case Kind::Loop:
        EXPECT_GE(seconds, 1.5);
        EXPECT_LE(seconds, 2.0);
        break;
    case Kind::Note:
    case Kind::Rest:
        EXPECT_GE(seconds, 0.4);
        EXPECT_LE(seconds, 0.6);
        break;
    }
}

TEST_P(PipeSound, PeakStaysAtOrBelowMinus10Point5Dbfs) {
    const int peak = peakOf(wav.samples);
    EXPECT_LE(peak, peakLimit);
    if (GetParam().kind != Kind::Rest) {
        EXPECT_GT(peak, peakLimit / 2.0) << "far quieter than the other pipes";
    }
}

TEST_P(PitchedSound, FundamentalFollowsThePipeLength) {
    const SoundRow& row = GetParam();
    const double measured =
        strongestPeakHz(wav.samples, int(0.02 * rate), 8192, 200.0, 8000.0, rate);
    EXPECT_NEAR(measured, row.hz, 0.005 * row.hz) << row.path;
}

TEST_P(PitchedSound, SecondPartialLiesWhereAFreeTubePutsIt) {
    const SoundRow& row = GetParam();
    const double expected = 2.756 * row.hz;
    const double measured =
        strongestPeakHz(wav.samples, int(0.02 * rate), 8192, 0.9 * expected, 1.1 * expected, rate);
    EXPECT_NEAR(measured, expected, 0.005 * expected);
}

TEST_P(StruckSound, EndsInSilenceWithoutAClick) {
    const auto& s = wav.samples;
    EXPECT_EQ(s.back(), 0);
    // The last 5 ms are already near silence, and the fade is gentle: no sample step in the
    // last 50 ms is bigger than the largest one at the start of the sound.
    const int tail = int(0.005 * rate);
    EXPECT_LT(peakOf({s.end() - tail, s.end()}), 0.02 * peakOf(s));
    const int fade = int(0.05 * rate);
    int lateStep = 0;
    int earlyStep = 0;
    for (std::size_t i = s.size() - std::size_t(fade); i + 1 < s.size(); ++i)
        lateStep = std::max(lateStep, std::abs(s[i + 1] - s[i]));
    for (std::size_t i = 0; i < std::size_t(fade); ++i)
        earlyStep = std::max(earlyStep, std::abs(s[i + 1] - s[i]));
    EXPECT_LT(lateStep, earlyStep / 4);
}

TEST_P(FullRing, UpperPartialDiesAwayFasterThanTheFundamental) {
    const SoundRow& row = GetParam();
    const int window = 4096;
    auto ratioAt = [&](double seconds) {
        const int start = int(seconds * rate);
        return amplitudeAt(wav.samples, start, window, 2.756 * row.hz, rate) /
               amplitudeAt(wav.samples, start, window, row.hz, rate);
    };
    EXPECT_LT(ratioAt(0.8), 0.5 * ratioAt(0.02));
}

TEST_P(StruckSound, StrikeOpensTheSound) {
    const auto& s = wav.samples;
    EXPECT_GT(peakOf({s.begin(), s.begin() + int(0.003 * rate)}), 0.1 * peakOf(s))
        << "the sound does not start at once";
    // The mallet's tick is noise, heard also above every partial of the pipe (all of which
    // lie below 0.45 of the sample rate): there is a clear burst of it in the first
    // milliseconds and next to nothing a little later.
    const double cutoff = 0.465 * rate;
    const double atStrike = kw27::test::highBandRms(s, 0, int(0.004 * rate), cutoff, rate);
    const double later =
        kw27::test::highBandRms(s, int(0.1 * rate), int(0.004 * rate), cutoff, rate);
    EXPECT_GT(atStrike, 0.01 * peakOf(s));
    EXPECT_GT(atStrike, 20.0 * later);
}

TEST_P(LoopedSound, JoinsItsStartWithoutAClickAndRingsEvenly) {
    const auto errors = kw27::test::loopJoinErrors(wav.samples);
    EXPECT_LE(errors.atJoin, 2.0 * errors.inside + 2.0)
        << "the join is less predictable than the rest of the sound";
    // Rings on evenly: the first and the last quarter second equally loud (within 1 dB).
    const int quarter = int(0.25 * rate);
    const double first = kw27::test::rms(wav.samples, 0, quarter);
    const double last = kw27::test::rms(wav.samples, int(wav.samples.size()) - quarter, quarter);
    EXPECT_NEAR(20.0 * std::log10(last / first), 0.0, 1.0);
}

TEST(RestSound, IsSilenceAsLongAsANote) {
    const WavData rest = readWav(dataPath("Data2/yasumi.wav"));
    const WavData note = readWav(dataPath("Data2/C.wav"));
    ASSERT_FALSE(rest.samples.empty());
    EXPECT_EQ(peakOf(rest.samples), 0);
    EXPECT_EQ(rest.samples.size(), note.samples.size());
}

std::string rowName(const ::testing::TestParamInfo<SoundRow>& info) {
    std::string name;
    for (char c : info.param.path)
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : (c == '#' ? 's' : '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(DataFolder, PipeSound, ::testing::ValuesIn(soundRows()), rowName);
INSTANTIATE_TEST_SUITE_P(DataFolder, PitchedSound,
                         ::testing::ValuesIn(rowsOf({Kind::Ring, Kind::Note, Kind::Loop})),
                         rowName);
INSTANTIATE_TEST_SUITE_P(DataFolder, StruckSound,
                         ::testing::ValuesIn(rowsOf({Kind::Ring, Kind::Note})), rowName);
INSTANTIATE_TEST_SUITE_P(DataFolder, FullRing, ::testing::ValuesIn(rowsOf({Kind::Ring})), rowName);
INSTANTIATE_TEST_SUITE_P(DataFolder, LoopedSound, ::testing::ValuesIn(rowsOf({Kind::Loop})),
                         rowName);

double measuredHz(const std::string& relative) {
    const WavData wav = readWav(dataPath(relative));
    if (wav.samples.empty())
        return 0.0;
    return kw27::test::strongestPeakHz(wav.samples, int(0.02 * rate), 8192, 200.0, 8000.0, rate);
}

TEST(Scale, EightPipesRiseInOrderAndSpanAnOctave) {
    for (const char* folder : {"", "Data1/", "Data2/"}) {
        std::vector<double> hz;
        for (const ScalePipe& s : scale)
            hz.push_back(measuredHz(std::string(folder) + s.stem + ".wav"));
        for (std::size_t i = 1; i < hz.size(); ++i)
            EXPECT_GT(hz[i], hz[i - 1]) << folder << " note " << i;
        EXPECT_NEAR(1200.0 * std::log2(hz.back() / hz.front()), 1200.0, 20.0) << folder;
    }
}

TEST(Scale, EachPipeIsCloseToItsNoteInCMajor) {
    // Semitones above C of do re mi fa sol la ti do.
    const int steps[] = {0, 2, 4, 5, 7, 9, 11, 12};
    for (int i = 0; i < 8; ++i) {
        const double target = 2093.0 * std::exp2(steps[i] / 12.0);
        const double offCents =
            1200.0 * std::log2(measuredHz(std::string(scale[i].stem) + ".wav") / target);
        EXPECT_LT(std::abs(offCents), 25.0) << scale[i].stem << " is " << offCents << " cents off";
    }
}

TEST(Scale, SharpsLieOneSemitoneAboveTheirNaturals) {
    for (const ScalePipe& s : scale) {
        if (!hasSharp(s.stem))
            continue;
        const std::string stem = s.stem;
        const double natural = measuredHz(std::string("Data2/") + stem + ".wav");
        const double sharp = measuredHz(std::string("Data2/") + stem + "#.wav");
        EXPECT_NEAR(1200.0 * std::log2(sharp / natural), 100.0, 3.0) << stem;
    }
}

} // namespace
