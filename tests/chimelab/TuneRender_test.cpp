#include "AlertSound.h"
#include "DataPath.h"
#include "QStringPrinting.h"
#include "RiffReader.h"
#include "SampleConversion.h"
#include "SignalMeasures.h"
#include "SongSounds.h"
#include "SoundTable.h"
#include "TestSupport.h"
#include "TuneRender.h"
#include "WavDecoder.h"
#include "WavFixture.h"

#include <gtest/gtest.h>

#include <QDir>

namespace {

using namespace Qt::StringLiterals;
using kw27::PcmSound;
using Samples = std::vector<std::int16_t>;

Samples decoded(const QString& dataName) {
    PcmSound sound;
    EXPECT_EQ(kw27::decodeWavFile(kw27::resolveDataPath(dataName), sound), kw27::WavStatus::Ok)
        << dataName.toStdString();
    return sound.samples;
}

Samples joined(std::initializer_list<Samples> parts) {
    Samples out;
    for (const Samples& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

// A data folder of its own with small hand-made sounds, so that every sample is known.
class TuneRender : public ::testing::Test {
protected:
    void SetUp() override { kw27::test::makeFolder(u"Data/Data2"_s); }
    static void put(const char* name, const std::string& bytes) {
        kw27::test::writeFile(std::string("Data/Data2/") + name, bytes);
    }
    const Samples alert = kw27::makeAlertSound().samples;
};

TEST_F(TuneRender, TheSoundsFollowEachOtherSampleForSampleWithNoGap) {
    const Samples c = kw27::test::noise16(3001, 1), d = kw27::test::noise16(17, 2);
    put("C.wav", kw27::test::wav16(1, 44100, c));
    put("D.wav", kw27::test::wav16(1, 44100, d));
    const QStringList names{u"data\\data2\\C.wav"_s, u"Data\\Data2\\D.wav"_s,
                            u"data\\data2\\c.WAV"_s, u"data\\data2\\C.wav"_s};
    const auto tune = kw27::tune::renderTune(names, QString());
    ASSERT_TRUE(tune);
    EXPECT_EQ(*tune, joined({c, d, c, c}));
    EXPECT_EQ(kw27::tune::renderTune({}, u"Export"_s), Samples());
}

// What the one-sound player cannot play, it replaces by its alert: the tune holds that alert
// in the same place, and the sounds after it follow at once.
TEST_F(TuneRender, AFileThePlayerCannotPlayTakesExactlyItsAlertSound) {
    ASSERT_EQ(alert.size(), 6615u);
    const Samples c = kw27::test::noise16(500, 3);
    put("C.wav", kw27::test::wav16(1, 44100, c));
    put("D.wav", "RIFF\x04\0\0\0WAVE");
    put("E.wav", kw27::test::wav16(3, 44100, kw27::test::noise16(30, 4)));
    std::filesystem::create_directory("Data/Data2/F.wav");
    const QStringList names{u"data\\data2\\C.wav"_s, u"data\\data2\\missing.wav"_s,
                            u"data\\data2\\D.wav"_s, u"data\\data2\\E.wav"_s,
                            u"data\\data2\\F.wav"_s, u"data\\data2\\C.wav"_s};
    const auto tune = kw27::tune::renderTune(names, QString());
    ASSERT_TRUE(tune);
    EXPECT_EQ(*tune, joined({c, alert, alert, alert, alert, c}));
}

// A teacher's recording at 48 kHz in stereo: brought to 44.1 kHz mono with its length and its
// pitch, between sounds that stay exact.
TEST_F(TuneRender, ASoundOfAnotherRateAndTwoChannelsKeepsItsLengthAndPitch) {
    const Samples c = kw27::test::noise16(1000, 5);
    put("C.wav", kw27::test::wav16(1, 44100, c));
    const std::size_t frames = 36000; // 0.75 s
    put("G.wav", kw27::test::wav16(2, 48000, kw27::test::stereoSine(frames, 1568.0, 48000, 0.5)));
    const auto tune = kw27::tune::renderTune(
        {u"data\\data2\\C.wav"_s, u"data\\data2\\G.wav"_s, u"data\\data2\\C.wav"_s}, QString());
    ASSERT_TRUE(tune);
    const std::size_t converted = kw27::framesAtRate(frames, 48000, 44100);
    ASSERT_EQ(converted, 33075u);
    ASSERT_EQ(tune->size(), c.size() + converted + c.size());
    EXPECT_EQ(Samples(tune->begin(), tune->begin() + 1000), c);
    EXPECT_EQ(Samples(tune->end() - 1000, tune->end()), c);
    const Samples g(tune->begin() + 1000, tune->begin() + 1000 + long(converted));
    EXPECT_NEAR(kw27::test::toneFrequency(g, 44100, 3000, converted - 3000), 1568.0, 1.0);
    EXPECT_NEAR(kw27::test::rmsLevel(g, 3000, converted - 3000), 0.5 / std::sqrt(2.0), 0.01);
}

// The generated data set, through the song's own line rules: the exported tune is exactly what
// 再 生 plays, sound after sound.
TEST(TuneRenderOfTheDataSet, TenLinesAreTheirTenSoundsEndToEndInAPlayableWavFile) {
    kw27::test::provideDataFolder();
    const QStringList lines{u"ド"_s, u"レ"_s, u"ミ"_s,   u"ファ"_s,   u"ソ"_s,
                            u"ラ"_s, u"シ"_s, u"ド上"_s, u"ヤスミ"_s, u"ド"_s};
    const QStringList names = chimelab::songSoundNames(lines);
    ASSERT_EQ(names.size(), 10);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(names[i], chimelab::soundPath(21 + i));
    EXPECT_EQ(names[8], chimelab::soundPath(34));
    EXPECT_EQ(names[9], chimelab::soundPath(21));
    Samples expected;
    for (const QString& name : names) {
        const Samples sound = decoded(name);
        ASSERT_FALSE(sound.empty()) << name.toStdString();
        expected.insert(expected.end(), sound.begin(), sound.end());
    }

    const std::optional<QByteArray> file = kw27::tune::tuneWavFile(names, u"Export"_s);
    ASSERT_TRUE(file);
    const auto reader = kw27::RiffReader::openMemory(file->constData(), std::size_t(file->size()));
    PcmSound sound;
    ASSERT_EQ(kw27::decodeWav(*reader, sound), kw27::WavStatus::Ok);
    EXPECT_EQ(sound.sampleRate, 44100);
    EXPECT_EQ(sound.channels, 1);
    EXPECT_EQ(sound.samples, expected);
}

// Lines that are no note's name play the rest, as in 再 生.
TEST(SongSounds, LinesThatAreNoNoteNameTakeTheRestsFile) {
    const QStringList lines{u""_s, u"ド "_s, u"ﾄﾞ"_s, u"C"_s, u"ミ"_s, u"ド#"_s};
    EXPECT_EQ(
        chimelab::songSoundNames(lines),
        (QStringList{chimelab::soundPath(34), chimelab::soundPath(34), chimelab::soundPath(34),
                     chimelab::soundPath(34), chimelab::soundPath(23), chimelab::soundPath(29)}));
}

} // namespace
