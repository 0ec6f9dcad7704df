#include "RiffReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

using namespace kw27;
namespace fs = std::filesystem;

namespace {

using Bytes = std::string;

Bytes le32(std::uint32_t v) {
    return Bytes{char(v & 0xFF), char(v >> 8 & 0xFF), char(v >> 16 & 0xFF), char(v >> 24 & 0xFF)};
}

// A chunk with a declared size of its own choosing, for files that lie about their sizes.
Bytes rawChunk(const char* id, std::uint32_t declared, const Bytes& contents) {
    return Bytes(id, 4) + le32(declared) + contents;
}

Bytes chunk(const char* id, const Bytes& contents) {
    Bytes c = rawChunk(id, std::uint32_t(contents.size()), contents);
    if (contents.size() % 2)
        c += '\0';
    return c;
}

Bytes form(const char* id, const char* type, const Bytes& children) {
    return chunk(id, Bytes(type, 4) + children);
}

Bytes pattern(std::size_t n, int seed) {
    Bytes b(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        b[i] = char((i * 7 + std::size_t(seed)) & 0xFF);
    return b;
}

const Bytes kFmt16 = pattern(16, 1);
const Bytes kSamples = pattern(200, 2);

// The walk that WAV loading makes, reduced to what it finds and reads.
struct WavWalk {
    enum Outcome { Loaded, NoWave, NoFmt, ShortFmt, NoData } outcome = Loaded;
    Bytes fmt;
    std::uint32_t dataSize = 0;
    Bytes samples;
};

WavWalk walkWav(RiffReader& reader, std::size_t fmtCapacity = 18) {
    WavWalk w;
    RiffChunk riff, fmt, data;
    if (!reader.findRiff(fourCC("WAVE"), riff))
        return w.outcome = WavWalk::NoWave, w;
    if (!reader.findChunk(riff, fourCC("fmt "), fmt))
        return w.outcome = WavWalk::NoFmt, w;
    const std::size_t want = std::min<std::size_t>(fmt.size, fmtCapacity);
    w.fmt.resize(want);
    if (reader.read(w.fmt.data(), want) != want)
        return w.outcome = WavWalk::ShortFmt, w;
    reader.ascend(fmt);
    if (!reader.findChunk(riff, fourCC("data"), data))
        return w.outcome = WavWalk::NoData, w;
    w.dataSize = data.size;
    // Ask for more than the chunk holds (the test images are small): the reader must stop at
    // the chunk's end or the file's.
    w.samples.resize(std::min<std::size_t>(data.size, 1 << 16) + 64);
    w.samples.resize(reader.read(w.samples.data(), w.samples.size()));
    return w;
}

enum class Source { Memory, File };

void PrintTo(Source s, std::ostream* os) {
    *os << (s == Source::Memory ? "memory" : "file");
}

class RiffReaderTest : public ::testing::TestWithParam<Source> {
protected:
    std::unique_ptr<RiffReader> open(const Bytes& image) {
        if (GetParam() == Source::Memory)
            return RiffReader::openMemory(image.data(), image.size());
        const fs::path path = fs::current_path() / "image.riff";
        std::ofstream(path, std::ios::binary | std::ios::trunc) << image;
        return RiffReader::openFile(path);
    }
};

std::string sourceName(const ::testing::TestParamInfo<Source>& info) {
    return info.param == Source::Memory ? "Memory" : "File";
}

} // namespace

TEST_P(RiffReaderTest, WalksWaveFilesAsWavLoadingDoes) {
    const Bytes fmt17 = pattern(17, 3);
    const Bytes fmt18 = pattern(18, 4);
    const Bytes list = form("LIST", "INFO", chunk("INAM", "Pipe\0"));
    const Bytes fmtChunk = chunk("fmt ", kFmt16);
    const Bytes dataChunk = chunk("data", kSamples);
    const Bytes plain = form("RIFF", "WAVE", fmtChunk + dataChunk);
    const Bytes truncatedInData = plain.substr(0, plain.size() - 150);

    struct Row {
        const char* what;
        Bytes image;
        WavWalk::Outcome outcome;
        Bytes fmt;
        std::uint32_t dataSize;
        Bytes samples;
    } rows[] = {
        {"plain", plain, WavWalk::Loaded, kFmt16, 200, kSamples},
        {"LIST between fmt and data", form("RIFF", "WAVE", fmtChunk + list + dataChunk),
         WavWalk::Loaded, kFmt16, 200, kSamples},
        {"odd fmt with pad byte", form("RIFF", "WAVE", chunk("fmt ", fmt17) + dataChunk),
         WavWalk::Loaded, fmt17, 200, kSamples},
        {"18-byte fmt", form("RIFF", "WAVE", chunk("fmt ", fmt18) + dataChunk), WavWalk::Loaded,
         fmt18, 200, kSamples},
        {"chunk before fmt", form("RIFF", "WAVE", chunk("fact", "abc") + fmtChunk + dataChunk),
         WavWalk::Loaded, kFmt16, 200, kSamples},
        {"odd data chunk", form("RIFF", "WAVE", fmtChunk + chunk("data", "xyz")), WavWalk::Loaded,
         kFmt16, 3, "xyz"},
        {"truncated inside data", truncatedInData, WavWalk::Loaded, kFmt16, 200,
         kSamples.substr(0, 50)},
        {"RIFF size 0xFFFFFFFF", rawChunk("RIFF", 0xFFFFFFFF, "WAVE" + fmtChunk + dataChunk),
         WavWalk::Loaded, kFmt16, 200, kSamples},
        {"data size 0xFFFFFFFF",
         form("RIFF", "WAVE", fmtChunk + rawChunk("data", 0xFFFFFFFF, kSamples)), WavWalk::Loaded,
         kFmt16, 0xFFFFFFFF, kSamples},
        {"a second form after an AVI",
         form("RIFF", "AVI ", chunk("JUNK", "12")) + form("RIFF", "WAVE", fmtChunk + dataChunk),
         WavWalk::Loaded, kFmt16, 200, kSamples},
        {"data before fmt", form("RIFF", "WAVE", dataChunk + fmtChunk), WavWalk::NoData, kFmt16, 0,
         ""},
        {"no data", form("RIFF", "WAVE", fmtChunk + list), WavWalk::NoData, kFmt16, 0, ""},
        {"no fmt", form("RIFF", "WAVE", list + dataChunk), WavWalk::NoFmt, "", 0, ""},
        {"fmt id compared exactly", form("RIFF", "WAVE", chunk("FMT ", kFmt16) + dataChunk),
         WavWalk::NoFmt, "", 0, ""},
        {"truncated inside fmt", plain.substr(0, 12 + 8 + 10), WavWalk::ShortFmt, "", 0, ""},
        {"data outside the RIFF's declared size",
         rawChunk("RIFF", 4 + 24, "WAVE" + fmtChunk + dataChunk), WavWalk::NoData, kFmt16, 0, ""},
        {"header cut by the end of the file", plain.substr(0, 12 + 24 + 5), WavWalk::NoData, kFmt16,
         0, ""},
        {"AVI form", form("RIFF", "AVI ", fmtChunk + dataChunk), WavWalk::NoWave, "", 0, ""},
        {"RIFF too small for a form type", rawChunk("RIFF", 3, "WAVE"), WavWalk::NoWave, "", 0, ""},
        {"empty file", "", WavWalk::NoWave, "", 0, ""},
        {"garbage", pattern(300, 9), WavWalk::NoWave, "", 0, ""},
        {"huge leading chunk", rawChunk("JUNK", 0xFFFFFFFE, "") + plain, WavWalk::NoWave, "", 0,
         ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        auto reader = open(row.image);
        ASSERT_TRUE(reader);
        EXPECT_EQ(reader->fileSize(), row.image.size());
        const WavWalk w = walkWav(*reader);
        EXPECT_EQ(w.outcome, row.outcome);
        if (row.outcome == WavWalk::ShortFmt)
            continue;
        EXPECT_EQ(w.fmt, row.fmt);
        EXPECT_EQ(w.dataSize, row.dataSize);
        EXPECT_EQ(w.samples, row.samples);
    }
}

TEST_P(RiffReaderTest, ReadsStopAtTheChunkAndAscendSkipsThePadByte) {
    const Bytes fmt17 = pattern(17, 3);
    const Bytes image = form("RIFF", "WAVE", chunk("fmt ", fmt17) + chunk("data", kSamples));
    auto reader = open(image);
    ASSERT_TRUE(reader);
    RiffChunk riff, fmt, data;
    ASSERT_TRUE(reader->findRiff(fourCC("WAVE"), riff));
    EXPECT_EQ(riff.formType, fourCC("WAVE"));
    EXPECT_EQ(riff.dataOffset, 8u);
    EXPECT_EQ(reader->position(), 12u);
    ASSERT_TRUE(reader->findChunk(riff, fourCC("fmt "), fmt));
    EXPECT_EQ(fmt.size, 17u);
    EXPECT_EQ(fmt.dataOffset, 20u);

    Bytes buf(64, '\x55');
    EXPECT_EQ(reader->read(buf.data(), 10), 10u);
    EXPECT_EQ(reader->read(buf.data() + 10, 54), 7u); // not the pad byte, not the next header
    EXPECT_EQ(buf.substr(0, 17), fmt17);
    EXPECT_EQ(buf[17], '\x55');
    EXPECT_EQ(reader->read(buf.data(), 1), 0u);

    reader->ascend(fmt);
    EXPECT_EQ(reader->position(), 20u + 17u + 1u);
    ASSERT_TRUE(reader->findChunk(riff, fourCC("data"), data));
    EXPECT_EQ(data.dataOffset, 46u);

    // A failed search leaves the position where it was.
    reader->ascend(data);
    const std::uint64_t end = reader->position();
    RiffChunk none;
    EXPECT_FALSE(reader->findChunk(riff, fourCC("fmt "), none));
    EXPECT_EQ(reader->position(), end);

    // Searching for the form again starts from the beginning of the file.
    ASSERT_TRUE(reader->findRiff(fourCC("WAVE"), riff));
    EXPECT_TRUE(reader->findChunk(riff, fourCC("fmt "), fmt));

    reader->close();
    EXPECT_EQ(reader->read(buf.data(), 4), 0u);
    EXPECT_FALSE(reader->findRiff(fourCC("WAVE"), riff));
}

// An uncompressed clip as the clip player walks it: header list, stream list, frames.
TEST_P(RiffReaderTest, WalksNestedListsOfAnAviClip) {
    const Bytes avih = pattern(56, 5);
    const Bytes strh = pattern(56, 6);
    const Bytes strf = pattern(41, 7); // odd, padded
    const Bytes frames[] = {pattern(30, 10), pattern(31, 11), pattern(30, 12)};
    const Bytes hdrl =
        form("LIST", "hdrl",
             chunk("avih", avih) + form("LIST", "strl", chunk("strh", strh) + chunk("strf", strf)));
    const Bytes movi = form("LIST", "movi",
                            chunk("00db", frames[0]) + chunk("JUNK", "pad") +
                                chunk("00db", frames[1]) + chunk("00db", frames[2]));
    const Bytes image =
        form("RIFF", "AVI ",
             hdrl + chunk("JUNK", Bytes(7, '\0')) + movi + chunk("idx1", pattern(16, 13)));
    auto reader = open(image);
    ASSERT_TRUE(reader);

    RiffChunk riff, hdrlChunk, c, strl, moviChunk;
    EXPECT_FALSE(reader->findRiff(fourCC("WAVE"), riff));
    ASSERT_TRUE(reader->findRiff(fourCC("AVI "), riff));
    ASSERT_TRUE(reader->findList(riff, fourCC("hdrl"), hdrlChunk));
    EXPECT_EQ(hdrlChunk.id, fourCC("LIST"));
    EXPECT_EQ(hdrlChunk.formType, fourCC("hdrl"));
    ASSERT_TRUE(reader->findChunk(hdrlChunk, fourCC("avih"), c));
    Bytes buf(100, '\0');
    EXPECT_EQ(reader->read(buf.data(), buf.size()), avih.size());
    EXPECT_EQ(buf.substr(0, avih.size()), avih);
    reader->ascend(c);

    ASSERT_TRUE(reader->findList(hdrlChunk, fourCC("strl"), strl));
    // The stream format lies in the nested list; the frames' list is not inside hdrl.
    RiffChunk strf_;
    ASSERT_TRUE(reader->findChunk(strl, fourCC("strf"), strf_));
    EXPECT_EQ(reader->read(buf.data(), buf.size()), strf.size());
    EXPECT_EQ(buf.substr(0, strf.size()), strf);
    reader->ascend(strf_);
    // Back in the stream list, reading stops at its end.
    EXPECT_EQ(reader->read(buf.data(), buf.size()), 0u);
    reader->ascend(strl);
    EXPECT_FALSE(reader->findList(hdrlChunk, fourCC("movi"), moviChunk));
    reader->ascend(hdrlChunk);

    ASSERT_TRUE(reader->findList(riff, fourCC("movi"), moviChunk));
    std::vector<Bytes> seen;
    RiffChunk frame;
    while (reader->findChunk(moviChunk, fourCC("00db"), frame)) {
        Bytes f(frame.size + 10, '\0');
        f.resize(reader->read(f.data(), f.size()));
        seen.push_back(f);
        reader->ascend(frame);
    }
    ASSERT_EQ(seen.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(seen[i], frames[i]);
    // The index after the list is still reachable from the form.
    reader->ascend(moviChunk);
    EXPECT_TRUE(reader->findChunk(riff, fourCC("idx1"), c));
}

// A child that claims more than its parent holds is read only up to the parent's end.
TEST_P(RiffReaderTest, ChildClaimingMoreThanItsParentIsCutAtTheParent) {
    const Bytes inner = rawChunk("INAM", 1000, "name"); // claims 1000, parent holds 4
    const Bytes image = form("RIFF", "WAVE", form("LIST", "INFO", inner) + chunk("tail", "TTTT"));
    auto reader = open(image);
    ASSERT_TRUE(reader);
    RiffChunk riff, list, c;
    ASSERT_TRUE(reader->findRiff(fourCC("WAVE"), riff));
    ASSERT_TRUE(reader->findList(riff, fourCC("INFO"), list));
    ASSERT_TRUE(reader->findChunk(list, fourCC("INAM"), c));
    EXPECT_EQ(c.size, 1000u);
    Bytes buf(64, '\0');
    EXPECT_EQ(reader->read(buf.data(), buf.size()), 4u);
    EXPECT_EQ(buf.substr(0, 4), "name");
}

INSTANTIATE_TEST_SUITE_P(Sources, RiffReaderTest, ::testing::Values(Source::Memory, Source::File),
                         sourceName);

TEST(RiffReaderOpenTest, RefusesWhatIsNotAReadableFile) {
    EXPECT_EQ(RiffReader::openFile(fs::current_path() / "no such file.wav"), nullptr);
    fs::create_directories("folder.wav");
    EXPECT_EQ(RiffReader::openFile(fs::current_path() / "folder.wav"), nullptr);
    auto empty = RiffReader::openMemory(nullptr, 0);
    ASSERT_TRUE(empty);
    RiffChunk riff;
    EXPECT_FALSE(empty->findRiff(fourCC("WAVE"), riff));
}
