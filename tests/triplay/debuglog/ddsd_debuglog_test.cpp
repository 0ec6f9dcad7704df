#include "Cp932.h"
#include "DdsdFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace ddsdtest;
using namespace kw27::ds;

static_assert(!RaiseOnError && WriteDebugLog && !HaltOnError,
              "this program tests the unit built to log its failure reports");

namespace {

std::string logPath() {
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "ddsd.debug").string();
}

std::string sjis(const QString& text) {
    const auto bytes = kw27::cp932::encode(text);
    EXPECT_TRUE(bytes.has_value());
    return bytes.value_or(std::string());
}

std::vector<std::string> logLines() {
    const std::string text = readFile(logPath());
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "every line ends with CR LF";
    return lines;
}

// The messages of the last n lines, without their numbers.
std::vector<QString> lastMessages(std::size_t n) {
    const auto lines = logLines();
    std::vector<QString> out;
    for (std::size_t i = lines.size() < n ? 0 : lines.size() - n; i < lines.size(); ++i) {
        const auto text = kw27::cp932::decode(lines[i]);
        const QString line = text.value_or(QString());
        out.push_back(line.mid(line.indexOf(QStringLiteral(" ... ")) + 5));
    }
    return out;
}

std::size_t lineCount() {
    return logLines().size();
}

// The first line of a process empties the file; after it, lines can be counted.
class LoggedRun : public ::testing::Test {
protected:
    void SetUp() override { DDSDDebug(QStringLiteral("test start")); }
};

// Each run of the program is a new process: the death-test machinery starts one.
TEST(DebugLog, EachRunEmptiesTheFileAtItsFirstLineAndNumbersItsLines) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    writeFile(logPath(), "left by an earlier run\r\n");
    EXPECT_EXIT(
        {
            DDSDDebug(QStringLiteral("一行目"));
            DDSDCheck(DSERR_BADFORMAT, QStringLiteral("サウンドバッファの作成に失敗しました"));
            DDSDDebug(QStringLiteral("x\U0001F600y.wavが、見つかりません"));
            std::_Exit(0);
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EQ(readFile(logPath()),
              sjis(QStringLiteral("debug#00001 ... 一行目\r\n"
                                  "debug#00002 ... サウンドバッファの作成に失敗しました"
                                  "(Error Code(88780064))\r\n")) +
                  "debug#00003 ... x?y.wav" + sjis(QStringLiteral("が、見つかりません")) + "\r\n");

    EXPECT_EXIT(
        {
            DDSDDebug(QStringLiteral("次の実行"));
            std::_Exit(0);
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EQ(readFile(logPath()), sjis(QStringLiteral("debug#00001 ... 次の実行\r\n")));
}

TEST(DebugLog, ALogThatCannotBeWrittenRaisesAnInputOutputError) {
    std::filesystem::remove_all(logPath());
    std::filesystem::create_directory(logPath());
    try {
        DDSDDebug(QStringLiteral("書けない"));
        ADD_FAILURE() << "no EInOutError";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("I/O error 21"));
    }
    std::filesystem::remove_all(logPath());
}

TEST(DebugLog, ABadChannelIndexIsLoggedAndGivesNoChannel) {
    LoopbackScope loopback;
    DeviceOnWindow form(21);
    EXPECT_EQ(form.ddsd->Channel(21), nullptr);
    EXPECT_EQ(lastMessages(1), std::vector<QString>{QStringLiteral(
                                   "チャンネル番号21は無効です、0～20の範囲で指定してください")});
}

TEST_F(LoggedRun, AFileFormatFailureIsLoggedOnceAndLeavesTheWaveEmpty) {
    LoopbackScope loopback;
    DeviceOnWindow form(2);
    struct Row {
        const char* what;
        std::string bytes; // empty: no file at all
        const char* suffix;
    };
    const Row rows[] = {
        {"missing", "", "が、見つかりません"},
        {"not WAVE", riff("AVI ", ""), "は、WAVEファイルではありません"},
        {"no fmt", riff("WAVE", chunk("data", "abcd")), "には、fmtチャンクが有りません"},
        {"no data", riff("WAVE", chunk("fmt ", fmtContents(1, 1, 22050, 16))),
         "には、dataチャンクが有りません"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::filesystem::remove("case.wav");
        if (!row.bytes.empty())
            writeFile("case.wav", row.bytes);
        const int filesBefore = openFileCount();
        const std::size_t linesBefore = lineCount();
        TDDSDWaveData wave(form.ddsd, QStringLiteral("case.wav"));
        EXPECT_EQ(wave.buffer(), nullptr);
        EXPECT_EQ(openFileCount(), filesBefore);
        EXPECT_EQ(lineCount(), linesBefore + 1) << "no cascade of later steps";
        EXPECT_EQ(lastMessages(1),
                  std::vector<QString>{QStringLiteral("case.wav") + QString::fromUtf8(row.suffix)});
    }
}

TEST(DebugLog, AnEmptyWaveOnAChannelLogsTheFailedDuplicateAndTheChannelStaysSilent) {
    LoopbackScope loopback;
    DeviceOnWindow form(2);
    writeFile("adpcm.wav", riff("WAVE", chunk("fmt ", fmtContents(2, 1, 22050, 4, 0)) +
                                            chunk("data", std::string(64, '\0'))));
    TDDSDWaveData wave(form.ddsd, QStringLiteral("adpcm.wav"));
    EXPECT_EQ(wave.buffer(), nullptr);
    TDDSDChannel* channel = form.ddsd->Channel(1);
    channel->setWaveData(&wave);
    EXPECT_EQ(lastMessages(2),
              (std::vector<QString>{
                  QStringLiteral("サウンドバッファの作成に失敗しました(Error Code(88780064))"),
                  QStringLiteral(
                      "setWaveData サウンドバッファの複製に失敗しました(Error Code(80070057))")}));
    EXPECT_EQ(channel->buffer(), nullptr);
    EXPECT_EQ(channel->frequency(), 22050) << "the later steps still run";
    EXPECT_EQ(channel->waveData(), &wave);
    channel->Play();
    EXPECT_EQ(loopback.render(16), std::vector<int>(16, 0));
}

TEST_F(LoggedRun, LockAndUnlockFailuresAreLoggedAndLoadingGoesOn) {
    writeFile("w.wav", wav16(ramp(32), 22050));
    struct Row {
        Op op;
        const char* message;
    };
    const Row rows[] = {
        {Op::Lock, "LoadWAV中に、サウンドバッファのロックが失敗しました(Error Code(88780032))"},
        {Op::Unlock,
         "LoadWAV中に、サウンドバッファのアンロックが失敗しました(Error Code(88780032))"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.message);
        FaultyDeviceFactory faulty;
        DeviceOnWindow form(1);
        faulty.fail(row.op, DSERR_INVALIDCALL);
        const std::size_t linesBefore = lineCount();
        TDDSDWaveData wave(form.ddsd, QStringLiteral("w.wav"));
        EXPECT_EQ(lineCount(), linesBefore + 1);
        EXPECT_EQ(lastMessages(1), std::vector<QString>{QString::fromUtf8(row.message)});
        EXPECT_NE(wave.buffer(), nullptr);
    }
}

TEST(DebugLog, WithoutAWindowBothInitialisationStepsAreLogged) {
    LoopbackScope loopback;
    QObject notAWindow;
    TDDSD ddsd(&notAWindow);
    ddsd.Loaded();
    EXPECT_EQ(
        lastMessages(2),
        (std::vector<QString>{
            QStringLiteral("DirectSoundの協調レベルの設定に失敗しました(Error Code(80070057))"),
            QStringLiteral("一次バッファの作成に失敗しました(Error Code(88780046))")}));
    EXPECT_TRUE(ddsd.initialized());
    EXPECT_NE(ddsd.Channel(7), nullptr);
}

} // namespace
