#include "DataPath.h"
#include "SoundTable.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(SoundTable, EveryEntryNamesAFileOfTheDataSetAndNoOtherEntryExists) {
    kw27::test::provideDataFolder();
    for (int entry = 1; entry <= chimelab::SoundCount; ++entry) {
        const std::filesystem::path file = kw27::resolveDataPath(chimelab::soundPath(entry));
        EXPECT_TRUE(std::filesystem::is_regular_file(file))
            << entry << ": " << chimelab::soundPath(entry).toStdString();
    }
    // Entry k of the pipe-length page is the pipe of 13 + k cm; the pitch page plays the scale
    // pipes of the data folder, the composition keys those of Data2.
    EXPECT_EQ(chimelab::soundPath(1), QStringLiteral("data\\data2\\14cm.wav"));
    EXPECT_EQ(chimelab::soundPath(12), QStringLiteral("data\\data2\\25cm.wav"));
    EXPECT_EQ(chimelab::soundPath(13), QStringLiteral("data\\C.wav"));
    EXPECT_EQ(chimelab::soundPath(20), QStringLiteral("data\\C2.wav"));
    EXPECT_EQ(chimelab::soundPath(21), QStringLiteral("data\\data2\\C.wav"));
    EXPECT_EQ(chimelab::soundPath(33), QStringLiteral("data\\data2\\A#.wav"));
    EXPECT_EQ(chimelab::soundPath(34), QStringLiteral("data\\data2\\yasumi.wav"));
    EXPECT_THROW(chimelab::soundPath(0), std::out_of_range);
    EXPECT_THROW(chimelab::soundPath(35), std::out_of_range);
}

TEST(SoundTable, ModeOneWaitsForTheSoundAndEveryOtherModeDoesNot) {
    const std::pair<std::uint8_t, unsigned> rows[] = {
        {1, kw27::SND_SYNC}, {0, kw27::SND_ASYNC}, {2, kw27::SND_ASYNC}, {255, kw27::SND_ASYNC}};
    for (const auto& [mode, flags] : rows) {
        kw27::test::RecordingSoundPlayer sounds;
        chimelab::playEntry(23, mode);
        ASSERT_EQ(sounds.requests.size(), 1u);
        EXPECT_EQ(sounds.requests[0].name, QStringLiteral("data\\data2\\E.wav"));
        EXPECT_EQ(sounds.requests[0].flags, flags) << int(mode);
    }
}
