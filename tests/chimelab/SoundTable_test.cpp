#include "DataPath.h"
#include "SoundTable.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(SoundTable, EveryEntryNamesAFileOfTheDataSet) {
    kw27::test::provideDataFolder();
    for (int entry = 1; entry <= chimelab::SoundCount; ++entry) {
        const std::filesystem::path file = kw27::resolveDataPath(chimelab::soundPath(entry));
        EXPECT_TRUE(std::filesystem::is_regular_file(file))
            << entry << ": " << chimelab::soundPath(entry).toStdString();
    }
}

TEST(SoundTable, EntriesFollowTheTableOfSoundFiles) {
    for (int k = 1; k <= 12; ++k)
        EXPECT_EQ(chimelab::soundPath(k), QStringLiteral("data\\data2\\%1cm.wav").arg(13 + k));
    const char* notes[] = {"C", "D", "E", "F", "G", "A", "B", "C2"};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(chimelab::soundPath(13 + i), QStringLiteral("data\\%1.wav").arg(notes[i]));
        EXPECT_EQ(chimelab::soundPath(21 + i),
                  QStringLiteral("data\\data2\\%1.wav").arg(notes[i]));
    }
    const char* sharps[] = {"C#", "D#", "F#", "G#", "A#"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(chimelab::soundPath(29 + i),
                  QStringLiteral("data\\data2\\%1.wav").arg(sharps[i]));
    EXPECT_EQ(chimelab::soundPath(34), QStringLiteral("data\\data2\\yasumi.wav"));
    EXPECT_THROW(chimelab::soundPath(0), std::out_of_range);
    EXPECT_THROW(chimelab::soundPath(35), std::out_of_range);
}

TEST(SoundTable, ModeOneWaitsForTheSoundAndEveryOtherModeDoesNot) {
    struct Row {
        std::uint8_t mode;
        unsigned flags;
    };
    const Row rows[] = {{1, kw27::SND_SYNC}, {0, kw27::SND_ASYNC}, {2, kw27::SND_ASYNC},
                        {255, kw27::SND_ASYNC}};
    for (const Row& row : rows) {
        kw27::test::RecordingSoundPlayer sounds;
        chimelab::playEntry(23, row.mode);
        ASSERT_EQ(sounds.requests.size(), 1u);
        EXPECT_EQ(sounds.requests[0].name, QStringLiteral("data\\data2\\E.wav"));
        EXPECT_EQ(sounds.requests[0].flags, row.flags) << int(row.mode);
    }
}
