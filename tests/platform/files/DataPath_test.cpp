#include "DataPath.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QString>

#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;
using kw27::resolveDataPath;

namespace {

void writeFile(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Restores the working folder that a test changed.
class DataPathTest : public ::testing::Test {
protected:
    void SetUp() override { saved_ = fs::current_path(); }
    void TearDown() override { fs::current_path(saved_); }

    // A fresh folder made the working folder.
    fs::path enterFreshFolder(const char* name) {
        const fs::path folder = kw27::test::makeFolder(name).toStdString();
        fs::current_path(folder);
        return folder;
    }

private:
    fs::path saved_;
};

} // namespace

TEST_F(DataPathTest, SpellingsDifferingInAsciiCaseAndSeparatorNameTheSameFile) {
    const fs::path root = enterFreshFolder("spellings");
    writeFile(root / "Data" / "Data2" / "C.wav", "C");

    const char* spellings[] = {
        "Data\\Data2\\C.wav", "data\\data2\\C.wav",   "DATA\\DATA2\\c.WAV",    "Data/Data2/C.wav",
        "data/DATA2\\c.wav",  "Data\\\\Data2\\C.wav", ".\\data\\data2\\c.wav",
    };
    for (const char* spelling : spellings) {
        SCOPED_TRACE(spelling);
        const fs::path resolved = resolveDataPath(QString::fromUtf8(spelling));
        EXPECT_TRUE(resolved.is_absolute());
        ASSERT_TRUE(fs::exists(resolved));
        EXPECT_TRUE(fs::equivalent(resolved, root / "Data" / "Data2" / "C.wav"));
        EXPECT_EQ(readFile(resolved), "C");
    }
}

TEST_F(DataPathTest, Utf8NamesOnDiskMatchAndOnlyAsciiLettersFold) {
    const fs::path root = enterFreshFolder("utf8");
    writeFile(root / "Data" / "Data2" / "ド.avi", "do");
    writeFile(root / "Data" / "Ä.txt", "upper umlaut");

    const fs::path clip = resolveDataPath(QStringLiteral("data\\data2\\ド.AVI"));
    ASSERT_TRUE(fs::exists(clip));
    EXPECT_EQ(clip.filename().string(), "ド.avi");
    EXPECT_EQ(readFile(clip), "do");

    // The half-width form is another character, and non-ASCII letters never fold.
    EXPECT_FALSE(fs::exists(resolveDataPath(QStringLiteral("Data\\Data2\\ﾄﾞ.avi"))));
    EXPECT_FALSE(fs::exists(resolveDataPath(QStringLiteral("Data\\ä.txt"))));
}

TEST_F(DataPathTest, ResolvesAgainstTheWorkingFolderAtTheTimeOfEachCall) {
    const fs::path first = enterFreshFolder("first");
    writeFile(first / "Data" / "x.wav", "first");
    const fs::path second = kw27::test::makeFolder("second").toStdString();
    writeFile(second / "data" / "X.WAV", "second");

    const QString name = QStringLiteral("Data\\x.wav");
    const fs::path fromFirst = resolveDataPath(name);
    EXPECT_EQ(readFile(fromFirst), "first");
    EXPECT_EQ(fromFirst.parent_path().parent_path(), first);

    fs::current_path(second);
    const fs::path fromSecond = resolveDataPath(name);
    EXPECT_EQ(readFile(fromSecond), "second");
    EXPECT_EQ(fromSecond.parent_path().parent_path(), second);
}

TEST_F(DataPathTest, UnmatchedComponentLeavesTheRestAsWritten) {
    const fs::path root = enterFreshFolder("missing");
    writeFile(root / "Data" / "Data2" / "C.wav", "C");

    struct Row {
        const char* name;
        fs::path expected;
    } rows[] = {
        {"data\\Nope\\C.wav", root / "Data" / "Nope" / "C.wav"},
        {"DATA\\data2\\Missing.WAV", root / "Data" / "Data2" / "Missing.WAV"},
        {"Nowhere\\Data\\data2\\c.wav", root / "Nowhere" / "Data" / "data2" / "c.wav"},
        // A file in the middle of a name is no folder: the rest cannot match beneath it.
        {"data\\data2\\c.wav\\more", root / "Data" / "Data2" / "C.wav" / "more"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const fs::path resolved = resolveDataPath(QString::fromUtf8(row.name));
        EXPECT_EQ(resolved, row.expected);
        EXPECT_FALSE(fs::exists(resolved));
    }
}

TEST_F(DataPathTest, ExactSpellingWinsOverACaseInsensitiveMatch) {
    const fs::path root = enterFreshFolder("exact");
    writeFile(root / "Data" / "c.wav", "lower");
    writeFile(root / "Data" / "C.wav", "upper");
    writeFile(root / "data" / "C.wav", "other folder");

    EXPECT_EQ(readFile(resolveDataPath(QStringLiteral("Data\\C.wav"))), "upper");
    EXPECT_EQ(readFile(resolveDataPath(QStringLiteral("Data\\c.wav"))), "lower");
    EXPECT_EQ(readFile(resolveDataPath(QStringLiteral("data\\C.wav"))), "other folder");

    // No exact entry: one of the two files is chosen, the same one every time.
    const fs::path folded = resolveDataPath(QStringLiteral("Data\\C.WAV"));
    ASSERT_TRUE(fs::exists(folded));
    EXPECT_EQ(folded, resolveDataPath(QStringLiteral("Data\\c.Wav")));
}

TEST_F(DataPathTest, LeadingSeparatorStartsAtTheRoot) {
    const fs::path root = enterFreshFolder("absolute");
    writeFile(root / "Sub" / "f.txt", "f");
    fs::current_path(root / "Sub");

    std::string name = (root / "sub" / "F.TXT").string();
    for (char& c : name)
        if (c == '/')
            c = '\\';
    const fs::path resolved = resolveDataPath(QString::fromStdString(name));
    ASSERT_TRUE(fs::exists(resolved));
    EXPECT_TRUE(fs::equivalent(resolved, root / "Sub" / "f.txt"));
}
