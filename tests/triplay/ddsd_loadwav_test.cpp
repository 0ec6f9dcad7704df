#include "DdsdFixture.h"

#include <gtest/gtest.h>

#include <bit>
#include <filesystem>
#include <functional>

using namespace ddsdtest;
using namespace kw27::ds;

namespace {

const std::string kFmt16 = chunk("fmt ", fmtContents(1, 1, 22050, 16));
const std::vector<std::int16_t> kSamples = ramp(64);
const std::string kData = chunk("data", pcm16(kSamples));

// What loading a file gives: the message raised, or none and the wave's fields.
struct Outcome {
    QString message;
    bool loaded = false;
    WAVEFORMATEX format{};
    std::uint32_t dataSize = 0;
};

class LoadWAV : public ::testing::Test {
protected:
    Outcome load(const QString& name) {
        Outcome outcome;
        const int filesBefore = openFileCount();
        try {
            TDDSDWaveData wave(form.ddsd, name);
            outcome.loaded = wave.buffer() != nullptr;
            outcome.format = wave.format();
            outcome.dataSize = wave.dataSize();
        } catch (const EDDSD& e) {
            outcome.message = e.message();
        }
        EXPECT_EQ(openFileCount(), filesBefore) << "the file was left open";
        return outcome;
    }

    LoopbackScope loopback;
    DeviceOnWindow form{21};
};

TEST_F(LoadWAV, EachKindOfBadFileGivesItsMessageAfterTheFileName) {
    struct Row {
        const char* what;
        std::string bytes;
        const char* suffix;
    };
    const std::string avi =
        riff("AVI ", chunk("LIST", std::string("hdrl") + chunk("avih", std::string(56, '\0'))));
    const Row rows[] = {
        {"another RIFF form", avi, "は、WAVEファイルではありません"},
        {"not RIFF at all", std::string("MThd") + le32(6) + std::string(6, '\0'),
         "は、WAVEファイルではありません"},
        {"empty file", "", "は、WAVEファイルではありません"},
        {"no fmt chunk", riff("WAVE", kData), "には、fmtチャンクが有りません"},
        {"fmt ends early",
         "RIFF" + le32(100) + "WAVE" + "fmt " + le32(16) +
             fmtContents(1, 1, 22050, 16).substr(0, 10),
         "のfmtチャンクが不正です"},
        {"long fmt ends early",
         "RIFF" + le32(100) + "WAVE" + "fmt " + le32(40) + fmtContents(1, 1, 22050, 16, 22) +
             std::string(4, '\0'),
         "のfmtチャンクが不正です"},
        {"data before fmt", riff("WAVE", kData + kFmt16), "には、dataチャンクが有りません"},
        {"no data chunk", riff("WAVE", kFmt16 + chunk("LIST", "INFO")),
         "には、dataチャンクが有りません"},
        {"fmt id without its space",
         riff("WAVE", chunk("fmt_", fmtContents(1, 1, 22050, 16)) + kData),
         "には、fmtチャンクが有りません"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        writeFile("Data/Bad/file.wav", row.bytes);
        const Outcome outcome = load(QStringLiteral("Data\\Bad\\file.wav"));
        EXPECT_FALSE(outcome.loaded);
        EXPECT_EQ(outcome.message,
                  QStringLiteral("Data\\Bad\\file.wav") + QString::fromUtf8(row.suffix));
    }
}

TEST_F(LoadWAV, AFileThatCannotBeOpenedIsNotFound) {
    EXPECT_EQ(load(QStringLiteral("Data\\Data1\\missing.wav")).message,
              QStringLiteral("Data\\Data1\\missing.wav") + QStringLiteral("が、見つかりません"));
    std::filesystem::create_directories("Data/Folder.wav");
    EXPECT_EQ(load(QStringLiteral("Data\\Folder.wav")).message,
              QStringLiteral("Data\\Folder.wav") + QStringLiteral("が、見つかりません"));
}

TEST_F(LoadWAV, FindsTheFileWithoutRegardToLetterCase) {
    writeFile("pipes/data1/14cm.wav", wav16(kSamples));
    const Outcome outcome = load(QStringLiteral("Pipes\\Data1\\14CM.WAV"));
    EXPECT_TRUE(outcome.loaded) << outcome.message.toStdString();
}

TEST_F(LoadWAV, WellFormedVariantsLoadWithTheFormatAsStored) {
    struct Row {
        const char* what;
        std::string bytes;
        std::uint16_t channels;
        std::uint16_t cbSize;
    };
    const Row rows[] = {
        {"plain", riff("WAVE", kFmt16 + kData), 1, 0},
        {"LIST between fmt and data",
         riff("WAVE", kFmt16 + chunk("LIST", "INFOISFT" + le32(3) + "ab") + kData), 1, 0},
        {"odd-sized fmt with its pad byte",
         riff("WAVE", chunk("fmt ", fmtContents(1, 1, 22050, 16, 0) + "x") + kData), 1, 0},
        {"18-byte fmt", riff("WAVE", chunk("fmt ", fmtContents(1, 1, 22050, 16, 7)) + kData), 1, 7},
        {"40-byte fmt",
         riff("WAVE",
              chunk("fmt ", fmtContents(1, 1, 22050, 16, 22) + std::string(22, '\x55')) + kData),
         1, 22},
        {"stereo 8-bit",
         riff("WAVE",
              chunk("fmt ", fmtContents(1, 2, 22050, 8)) + chunk("data", std::string(64, '\x80'))),
         2, 0},
        {"chunks before the RIFF form are skipped",
         chunk("JUNK", "abcd") + riff("WAVE", kFmt16 + kData), 1, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        writeFile("good.wav", row.bytes);
        const Outcome outcome = load(QStringLiteral("good.wav"));
        ASSERT_TRUE(outcome.loaded) << outcome.message.toStdString();
        EXPECT_EQ(outcome.format.wFormatTag, 1);
        EXPECT_EQ(outcome.format.nChannels, row.channels);
        EXPECT_EQ(outcome.format.nSamplesPerSec, 22050u);
        EXPECT_EQ(outcome.format.cbSize, row.cbSize);
        EXPECT_EQ(outcome.dataSize, 128u / (row.channels == 2 ? 2 : 1));
    }
}

TEST_F(LoadWAV, FormatsTheDeviceRefusesGiveTheBufferMessageWithTheCode) {
    struct Row {
        const char* what;
        std::string fmt;
        const char* message;
    };
    const Row rows[] = {
        {"compressed", fmtContents(2, 1, 22050, 4, 32),
         "サウンドバッファの作成に失敗しました(Error Code(88780064))"},
        {"extensible layout", fmtContents(0xFFFE, 1, 22050, 16, 22) + std::string(22, '\0'),
         "サウンドバッファの作成に失敗しました(Error Code(88780064))"},
        {"fmt too short to name the sample size", fmtContents(1, 1, 22050, 16).substr(0, 14),
         "サウンドバッファの作成に失敗しました(Error Code(88780064))"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        writeFile("odd.wav", riff("WAVE", chunk("fmt ", row.fmt) + kData));
        EXPECT_EQ(load(QStringLiteral("odd.wav")).message, QString::fromUtf8(row.message));
    }
    writeFile("tiny.wav", riff("WAVE", kFmt16 + chunk("data", "ab")));
    EXPECT_EQ(load(QStringLiteral("tiny.wav")).message,
              QStringLiteral("サウンドバッファの作成に失敗しました(Error Code(80070057))"));
}

TEST_F(LoadWAV, BuffersAreMadeWithTheFlagsOfTheirKind) {
    writeFile("w.wav", wav16(kSamples));
    struct Row {
        bool sticky;
        bool use3D;
        DWORD flags;
    };
    const Row rows[] = {
        {true, false, 16610}, {false, false, 226}, {true, true, 16562}, {false, true, 178}};
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "sticky " << row.sticky << " 3-D " << row.use3D);
        form.ddsd->setStickyFocus(row.sticky);
        TDDSDGenWave wave(form.ddsd, QStringLiteral("w.wav"), row.use3D);
        EXPECT_EQ(bufferFlags(wave.buffer()), row.flags);
    }
}

TEST_F(LoadWAV, TheBufferHoldsTheSamplesAtTheFilesRate) {
    writeFile("w.wav", wav16(kSamples, 22050));
    TDDSDWaveData wave(form.ddsd, QStringLiteral("w.wav"));
    // Heard at its own rate on the 44.1 kHz mix: each sample lands on every other frame.
    ASSERT_EQ(wave.buffer()->Play(0, 0, 0), DS_OK);
    const auto slow = loopback.render(128);
    for (int k = 0; k < 64; ++k)
        ASSERT_EQ(slow[size_t(2 * k)], kSamples[size_t(k)]) << "sample " << k;

    writeFile("same.wav", wav16(kSamples, 44100));
    TDDSDWaveData same(form.ddsd, QStringLiteral("same.wav"));
    ASSERT_EQ(same.buffer()->Play(0, 0, 0), DS_OK);
    const auto out = loopback.render(70);
    for (int i = 0; i < 70; ++i)
        ASSERT_EQ(out[size_t(i)], i < 64 ? kSamples[size_t(i)] : 0) << "frame " << i;
}

// The buffer holds the frames that the file holds, never what its header claims: a claim of
// 256 MiB in a file of a few KiB costs a few KiB. Nothing past the end of the RIFF form is
// read, so the buffer does not reach past it either.
TEST_F(LoadWAV, AFileEndingInsideItsDataGetsABufferOfWhatItHolds) {
    struct Row {
        const char* what;
        std::string fmt;
        std::uint32_t declared;
        std::string present;
        std::uint32_t bufferBytes;
        std::vector<int> expected;
        std::uint32_t formBytesAfterData = 0;
    };
    const Row rows[] = {
        {"16-bit",
         fmtContents(1, 1, 44100, 16),
         16,
         pcm16({1000, -1000, 500}),
         6,
         {1000, -1000, 500, 0, 0, 0, 0, 0}},
        {"8-bit",
         fmtContents(1, 1, 44100, 8),
         8,
         std::string("\xC0\x40\x80", 3),
         6,
         {16384, -16384, 0, 0, 0, 0, 0, 0}},
        {"16-bit claiming 256 MiB",
         fmtContents(1, 1, 44100, 16),
         0x0FFFFFFF,
         pcm16(ramp(4096)) + "x",
         8192,
         {8, 16, 24, 32, 40, 48, 56, 64}},
        {"data running past the RIFF form",
         fmtContents(1, 1, 44100, 16),
         16,
         pcm16({1000, -1000, 500, 250, 125, 60, 30, 15}),
         6,
         {1000, -1000, 500, 0, 0, 0, 0, 0},
         6},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::uint32_t formBytes =
            4 + 24 + 8 + (row.formBytesAfterData ? row.formBytesAfterData : row.declared);
        writeFile("cut.wav", "RIFF" + le32(formBytes) + "WAVE" + chunk("fmt ", row.fmt) + "data" +
                                 le32(row.declared) + row.present);
        TDDSDWaveData wave(form.ddsd, QStringLiteral("cut.wav"));
        EXPECT_EQ(wave.dataSize(), row.bufferBytes);
        ASSERT_EQ(wave.buffer()->Play(0, 0, 0), DS_OK);
        EXPECT_EQ(loopback.render(8), row.expected);
    }
}

// What recorders write loads, and sounds exactly as the same levels in 16-bit mono do: a
// stereo file is no louder than a mono one.
TEST_F(LoadWAV, RecordersFormatsPlayAsTheirMono16BitForm) {
    std::vector<std::int16_t> levels;
    for (int i = 0; i < 64; ++i)
        levels.push_back(std::int16_t((i % 2 ? -500 : 500) * (i + 1)));
    std::vector<std::int16_t> pairs;
    for (std::int16_t s : levels)
        pairs.insert(pairs.end(), {s, s});
    const auto encoded = [](const std::vector<std::int16_t>& samples, int bits, bool floats) {
        std::string out;
        for (std::int16_t s : samples) {
            if (floats)
                out += le32(std::bit_cast<std::uint32_t>(float(s) / 32768.0f));
            else
                out += le32(std::uint32_t(s) << 16).substr(4 - std::size_t(bits / 8));
        }
        return out;
    };
    const auto extensible = [](std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                               std::uint16_t tag) {
        return fmtContents(0xFFFE, channels, rate, bits, 22) + le16(bits) + le32(4) + le16(tag) +
               std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
    };
    struct Row {
        const char* what;
        std::string fmt;
        std::string data;
    };
    const Row rows[] = {
        {"24-bit", fmtContents(1, 1, 44100, 24), encoded(levels, 24, false)},
        {"32-bit", fmtContents(1, 1, 44100, 32), encoded(levels, 32, false)},
        {"32-bit float", fmtContents(3, 1, 44100, 32), encoded(levels, 32, true)},
        {"extensible 16-bit", extensible(1, 44100, 16, 1), encoded(levels, 16, false)},
        {"extensible 24-bit", extensible(1, 44100, 24, 1), encoded(levels, 24, false)},
        {"extensible float", extensible(1, 44100, 32, 3), encoded(levels, 32, true)},
        {"stereo 16-bit", fmtContents(1, 2, 44100, 16), encoded(pairs, 16, false)},
        {"stereo 24-bit at 48 kHz", fmtContents(1, 2, 48000, 24), encoded(pairs, 24, false)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::uint32_t rate = row.fmt.substr(4, 4) == le32(48000) ? 48000 : 44100;
        std::vector<int> reference;
        {
            writeFile("mono16.wav", wav16(levels, rate));
            TDDSDWaveData wave(form.ddsd, QStringLiteral("mono16.wav"));
            ASSERT_EQ(wave.buffer()->Play(0, 0, 0), DS_OK);
            reference = loopback.render(80);
        }
        writeFile("recorded.wav", riff("WAVE", chunk("fmt ", row.fmt) + chunk("data", row.data)));
        const Outcome outcome = load(QStringLiteral("recorded.wav"));
        ASSERT_TRUE(outcome.loaded) << outcome.message.toStdString();
        TDDSDWaveData wave(form.ddsd, QStringLiteral("recorded.wav"));
        ASSERT_EQ(wave.buffer()->Play(0, 0, 0), DS_OK);
        EXPECT_EQ(loopback.render(80), reference);
    }
}

TEST_F(LoadWAV, AWaveReleasesItsBufferWhenDestroyed) {
    writeFile("w.wav", wav16(kSamples));
    auto wave = std::make_unique<TDDSDWaveData>(form.ddsd, QStringLiteral("w.wav"));
    IDirectSoundBuffer* buffer = wave->buffer();
    ASSERT_EQ(buffer->AddRef(), 2u);
    wave.reset();
    EXPECT_EQ(buffer->Release(), 0u) << "the wave let its reference go";
}

TEST_F(LoadWAV, AnImageInMemoryLoadsAsTheFileWould) {
    const std::string bytes = riff("WAVE", kFmt16 + kData);
    TDDSDGenWave wave(form.ddsd, QStringLiteral("image"), bytes.data(), bytes.size(), false);
    EXPECT_NE(wave.buffer(), nullptr);
    EXPECT_EQ(wave.dataSize(), 128u);
    const std::string avi = riff("AVI ", "");
    try {
        TDDSDGenWave bad(form.ddsd, QStringLiteral("image"), avi.data(), avi.size(), false);
        ADD_FAILURE() << "no EDDSD";
    } catch (const EDDSD& e) {
        EXPECT_EQ(e.message(), QStringLiteral("imageは、WAVEファイルではありません"));
    }
}

TEST(LoadWAVFailures, LockAndUnlockFailuresAreRaisedAndNothingIsLeftBehind) {
    const InjectedFault rows[] = {
        {Op::CreateSecondary, DSERR_OUTOFMEMORY,
         "サウンドバッファの作成に失敗しました(Error Code(8007000E))"},
        {Op::Lock, DSERR_INVALIDCALL,
         "LoadWAV中に、サウンドバッファのロックが失敗しました(Error Code(88780032))"},
        {Op::Unlock, DSERR_OUTOFMEMORY,
         "LoadWAV中に、サウンドバッファのアンロックが失敗しました(Error Code(8007000E))"},
    };
    writeFile("w.wav", wav16(kSamples));
    for (const InjectedFault& row : rows) {
        SCOPED_TRACE(row.message);
        FaultyDeviceFactory faulty;
        DeviceOnWindow form(1);
        const int objectsBefore = faulty.liveObjects;
        const int filesBefore = openFileCount();
        faulty.fail(row.op, row.code);
        try {
            TDDSDWaveData wave(form.ddsd, QStringLiteral("w.wav"));
            ADD_FAILURE() << "no EDDSD";
        } catch (const EDDSD& e) {
            EXPECT_EQ(e.message(), QString::fromUtf8(row.message));
        }
        EXPECT_EQ(faulty.liveObjects, objectsBefore) << "the half-made buffer was released";
        EXPECT_EQ(openFileCount(), filesBefore);
    }
}

} // namespace
