#include "DdsdFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace ddsdtest;
using namespace kw27::ds;

static_assert(!RaiseOnError && !WriteDebugLog && HaltOnError,
              "this program tests the unit built to halt on failures");

namespace {

class HaltOnErrorBuild : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
    LoopbackScope loopback;
};

TEST_F(HaltOnErrorBuild, ABadChannelIndexEndsTheProgram) {
    DeviceOnWindow form(21);
    EXPECT_EXIT(form.ddsd->Channel(21), testing::ExitedWithCode(EXIT_FAILURE), "");
    EXPECT_EXIT(form.ddsd->Channel(-1), testing::ExitedWithCode(EXIT_FAILURE), "");
    EXPECT_NE(form.ddsd->Channel(20), nullptr);
}

TEST_F(HaltOnErrorBuild, AFailedResultCheckEndsTheProgramAndSuccessDoesNot) {
    EXPECT_EXIT(DDSDCheck(DSERR_GENERIC, QStringLiteral("一次バッファの作成に失敗しました")),
                testing::ExitedWithCode(EXIT_FAILURE), "");
    EXPECT_EQ(DDSDCheck(DS_OK, QStringLiteral("一次バッファの作成に失敗しました")), DS_OK);
}

TEST_F(HaltOnErrorBuild, ABufferTheDeviceRefusesEndsTheProgram) {
    DeviceOnWindow form(1);
    writeFile("adpcm.wav", riff("WAVE", chunk("fmt ", fmtContents(2, 1, 22050, 4, 0)) +
                                            chunk("data", std::string(64, '\0'))));
    EXPECT_EXIT(TDDSDWaveData(form.ddsd, QStringLiteral("adpcm.wav")),
                testing::ExitedWithCode(EXIT_FAILURE), "");
}

TEST_F(HaltOnErrorBuild, FileFormatFailuresNeverEndTheProgram) {
    DeviceOnWindow form(1);
    const std::string files[] = {
        riff("AVI ", ""),
        riff("WAVE", chunk("data", "abcd")),
        riff("WAVE", chunk("fmt ", fmtContents(1, 1, 22050, 16).substr(0, 8), 16)),
        riff("WAVE", chunk("fmt ", fmtContents(1, 1, 22050, 16))),
    };
    for (const std::string& bytes : files) {
        writeFile("bad.wav", bytes);
        TDDSDWaveData wave(form.ddsd, QStringLiteral("bad.wav"));
        EXPECT_EQ(wave.buffer(), nullptr);
    }
    TDDSDWaveData missing(form.ddsd, QStringLiteral("nowhere.wav"));
    EXPECT_EQ(missing.buffer(), nullptr);
}

} // namespace
