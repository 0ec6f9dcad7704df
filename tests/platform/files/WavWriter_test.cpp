#include "WavWriter.h"

#include "RiffReader.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

using namespace kw27;

namespace {

std::string bytesOf(const QByteArray& a) {
    return std::string(a.constData(), std::size_t(a.size()));
}

// The canonical 44-byte header that the simplest readers assume, byte for byte.
TEST(WavWriter, WithoutATitleTheFileIsTheCanonicalMonoPcmLayout) {
    const std::string bytes = bytesOf(wavFile({1, -2, 0x1234, -32768}, 44100));
    const std::string expected = std::string("RIFF") + std::string("\x2C\0\0\0", 4) + "WAVE" +
                                 "fmt " + std::string("\x10\0\0\0\x01\0\x01\0", 8) +
                                 std::string("\x44\xAC\0\0\x88\x58\x01\0\x02\0\x10\0", 12) +
                                 "data" + std::string("\x08\0\0\0", 4) +
                                 std::string("\x01\0\xFE\xFF\x34\x12\0\x80", 8);
    EXPECT_EQ(bytes, expected);
}

struct TitleCase {
    const char* name;
    QString title;
};

// The title lands in LIST/INFO/INAM as UTF-8 with a closing zero byte; an odd length gets its
// pad byte, so the RIFF size still counts every byte of the file.
TEST(WavWriter, ATitleIsTheInfoNameAfterTheSamples) {
    const TitleCase cases[] = {
        {"even with its zero", QStringLiteral("Export")},
        {"odd with its zero", QStringLiteral("Expor")},
        {"Japanese", QStringLiteral("かえるの歌 ド#")},
    };
    const std::vector<std::int16_t> samples{7, -7, 300};
    for (const TitleCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray file = wavFile(samples, 44100, c.title);
        const auto reader = RiffReader::openMemory(file.constData(), std::size_t(file.size()));
        RiffChunk riff, data, list, name;
        ASSERT_TRUE(reader->findRiff(fourCC("WAVE"), riff));
        EXPECT_EQ(std::uint64_t(riff.size) + 8, std::uint64_t(file.size()));
        ASSERT_TRUE(reader->findChunk(riff, fourCC("data"), data));
        EXPECT_EQ(data.size, 6u);
        EXPECT_EQ(data.dataOffset, 44u);
        reader->ascend(data);
        ASSERT_TRUE(reader->findList(riff, fourCC("INFO"), list));
        ASSERT_TRUE(reader->findChunk(list, fourCC("INAM"), name));
        std::string text(name.size, '\0');
        ASSERT_EQ(reader->read(text.data(), text.size()), text.size());
        const QByteArray utf8 = c.title.toUtf8();
        EXPECT_EQ(text, std::string(utf8.constData(), std::size_t(utf8.size())) + '\0');
        EXPECT_EQ(file.size() % 2, 0);
    }
    EXPECT_EQ(wavFile(samples, 44100, QString()).size(), 44 + 6);
}

// The RIFF size counts what follows its own field: 36 + 2n bytes without a title.
TEST(WavWriter, FilesBeyondWhatTheRiffSizeCountsAreRefusedBeforeAnySampleIsMade) {
    struct Row {
        std::size_t samples;
        QString title;
        bool fits;
    };
    const std::size_t most = (0xFFFF'FFFFu - 36) / 2; // no title, the pad room kept
    const Row rows[] = {
        {0, QString(), true},
        {most - 20, QString(), true},
        {most - 20, QStringLiteral("Export"), true},
        {most + 1, QString(), false},
        {most - 20, QString(40, QChar(u'曲')), false},
        {std::size_t(1) << 31, QString(), false},
        {std::size_t(1) << 33, QString(), false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(wavFileFits(row.samples, row.title), row.fits) << row.samples;
}

} // namespace
