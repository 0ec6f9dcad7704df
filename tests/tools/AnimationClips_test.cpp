// The pitch page's clips: uncompressed AVI files that the clip player can read.
#include "AviWriter.h"
#include "RiffReader.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QString>
#include <cstring>
#include <string>
#include <vector>

namespace {

using kw27::fourCC;
using kw27::RiffChunk;
using kw27::RiffReader;

std::uint16_t le16(const unsigned char* p) {
    return std::uint16_t(p[0] | p[1] << 8);
}
std::uint32_t le32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

struct Clip {
    unsigned char avih[56] = {};
    unsigned char strh[56] = {};
    unsigned char strf[40] = {};
    std::uint32_t strfSize = 0;
    std::vector<std::vector<unsigned char>> frames;
    std::vector<std::uint64_t> frameHeaderOffsets; // where each '00db' chunk header is
    std::uint64_t moviFormOffset = 0;
    std::vector<unsigned char> index;
};

// Walks the file as a clip player does; every step that fails fails the test.
Clip readClip(const QString& path) {
    Clip clip;
    auto reader = RiffReader::openFile(path.toStdString());
    RiffChunk riff, hdrl, avih, strl, strh, strf, movi, idx1;
    if (!reader || !reader->findRiff(fourCC("AVI "), riff)) {
        ADD_FAILURE() << "no RIFF AVI form in " << path.toStdString();
        return clip;
    }
    if (!reader->findList(riff, fourCC("hdrl"), hdrl) ||
        !reader->findChunk(hdrl, fourCC("avih"), avih) || reader->read(clip.avih, 56) != 56) {
        ADD_FAILURE() << "no main header";
        return clip;
    }
    reader->ascend(avih);
    if (!reader->findList(hdrl, fourCC("strl"), strl) ||
        !reader->findChunk(strl, fourCC("strh"), strh) || reader->read(clip.strh, 56) != 56) {
        ADD_FAILURE() << "no stream header";
        return clip;
    }
    reader->ascend(strh);
    if (!reader->findChunk(strl, fourCC("strf"), strf) || reader->read(clip.strf, 40) != 40) {
        ADD_FAILURE() << "no stream format";
        return clip;
    }
    clip.strfSize = strf.size;
    reader->ascend(strf);
    reader->ascend(strl);
    reader->ascend(hdrl);
    if (!reader->findList(riff, fourCC("movi"), movi)) {
        ADD_FAILURE() << "no movi list";
        return clip;
    }
    clip.moviFormOffset = movi.dataOffset;
    RiffChunk frame;
    while (reader->findChunk(movi, fourCC("00db"), frame)) {
        clip.frameHeaderOffsets.push_back(frame.dataOffset - 8);
        std::vector<unsigned char> bytes(frame.size);
        if (reader->read(bytes.data(), bytes.size()) != bytes.size())
            ADD_FAILURE() << "frame " << clip.frames.size() << " is cut short";
        clip.frames.push_back(std::move(bytes));
        reader->ascend(frame);
    }
    reader->ascend(movi);
    if (!reader->findChunk(riff, fourCC("idx1"), idx1)) {
        ADD_FAILURE() << "no index";
        return clip;
    }
    clip.index.resize(idx1.size);
    reader->read(clip.index.data(), clip.index.size());
    return clip;
}

struct ClipRow {
    const char* file;
};

class AnimationClip : public ::testing::TestWithParam<ClipRow> {
protected:
    void SetUp() override {
        const QString path =
            QDir(QString::fromUtf8(KW27_DATA_DIR))
                .filePath(QStringLiteral("Data2/") + QString::fromUtf8(GetParam().file));
        clip = readClip(path);
        ASSERT_FALSE(clip.frames.empty());
    }
    Clip clip;
};

TEST_P(AnimationClip, HeadersDescribeA65By48ClipOfAboutOneSecond) {
    const std::uint32_t microsPerFrame = le32(clip.avih);
    const std::uint32_t totalFrames = le32(clip.avih + 16);
    EXPECT_EQ(le32(clip.avih + 32), 65u);
    EXPECT_EQ(le32(clip.avih + 36), 48u);
    EXPECT_EQ(le32(clip.avih + 24), 1u) << "one stream";
    EXPECT_EQ(totalFrames, clip.frames.size());
    EXPECT_NEAR(1e6 / microsPerFrame, 15.0, 1.5);
    EXPECT_NEAR(totalFrames * microsPerFrame / 1e6, 1.0, 0.2);

    EXPECT_EQ(std::memcmp(clip.strh, "vids", 4), 0);
    const double rate = double(le32(clip.strh + 24)) / le32(clip.strh + 20);
    EXPECT_NEAR(rate, 1e6 / microsPerFrame, 0.1) << "stream rate disagrees with the main header";
    EXPECT_EQ(le32(clip.strh + 32), totalFrames);
}

TEST_P(AnimationClip, FramesAreUncompressedDibs) {
    ASSERT_GE(clip.strfSize, 40u);
    EXPECT_EQ(le32(clip.strf), 40u);
    EXPECT_EQ(le32(clip.strf + 4), 65u);
    EXPECT_EQ(std::int32_t(le32(clip.strf + 8)), 48);
    EXPECT_EQ(le16(clip.strf + 12), 1);
    const int bits = le16(clip.strf + 14);
    EXPECT_TRUE(bits == 24 || bits == 8) << bits;
    EXPECT_EQ(le32(clip.strf + 16), 0u) << "BI_RGB";
    const std::size_t stride = ((65 * bits / 8 + 3) / 4) * 4;
    for (const auto& f : clip.frames)
        EXPECT_EQ(f.size(), stride * 48);
}

TEST_P(AnimationClip, IndexPointsAtEveryFrame) {
    ASSERT_EQ(clip.index.size(), 16 * clip.frames.size());
    for (std::size_t i = 0; i < clip.frames.size(); ++i) {
        const unsigned char* entry = clip.index.data() + 16 * i;
        EXPECT_EQ(std::memcmp(entry, "00db", 4), 0);
        EXPECT_EQ(le32(entry + 4) & 0x10u, 0x10u) << "key frame";
        // Offsets count from the movi list's form type.
        EXPECT_EQ(clip.moviFormOffset + le32(entry + 8), clip.frameHeaderOffsets[i]);
        EXPECT_EQ(le32(entry + 12), clip.frames[i].size());
    }
}

TEST_P(AnimationClip, PipeMovesAfterTheFirstFrame) {
    // The first frame is the pipe at rest; the strike and the ringing change the picture.
    std::size_t changed = 0;
    for (std::size_t i = 1; i < clip.frames.size(); ++i)
        changed += clip.frames[i] != clip.frames[0] ? 1 : 0;
    EXPECT_GE(changed, clip.frames.size() / 2);
}

const ClipRow clipRows[] = {{"ド.avi"}, {"re.avi"}, {"ミ.avi"}, {"ファ.avi"},
                            {"ソ.avi"}, {"ra.avi"}, {"シ.avi"}, {"ド2.avi"}};

INSTANTIATE_TEST_SUITE_P(DataFolder, AnimationClip, ::testing::ValuesIn(clipRows),
                         [](const ::testing::TestParamInfo<ClipRow>& info) {
                             return "clip" + std::to_string(info.index);
                         });

TEST(AnimationClips, EachShowsItsOwnNote) {
    // Labels and pipe lengths differ, so no two first frames are alike.
    std::vector<std::vector<unsigned char>> firstFrames;
    for (const ClipRow& row : clipRows) {
        const Clip clip =
            readClip(QDir(QString::fromUtf8(KW27_DATA_DIR))
                         .filePath(QStringLiteral("Data2/") + QString::fromUtf8(row.file)));
        ASSERT_FALSE(clip.frames.empty()) << row.file;
        for (const auto& other : firstFrames)
            EXPECT_NE(clip.frames[0], other) << row.file;
        firstFrames.push_back(clip.frames[0]);
    }
}

} // namespace

namespace {

TEST(AviWriter, RefusesClipsItCannotWrite) {
    const QImage small(65, 48, QImage::Format_RGB32);
    const QImage other(64, 48, QImage::Format_RGB32);
    EXPECT_THROW(kw27::datagen::aviFile({}, 15), std::invalid_argument);
    EXPECT_THROW(kw27::datagen::aviFile({small}, 0), std::invalid_argument);
    EXPECT_THROW(kw27::datagen::aviFile({small, other}, 15), std::invalid_argument);
}

TEST(AviWriter, RowsRunBottomUpInBlueGreenRedOrderWithPadding) {
    // A 3 × 2 frame: top row red, bottom row blue; rows of 9 bytes padded to 12.
    QImage frame(3, 2, QImage::Format_RGB32);
    for (int x = 0; x < 3; ++x) {
        frame.setPixel(x, 0, qRgb(255, 0, 0));
        frame.setPixel(x, 1, qRgb(0, 0, 255));
    }
    const QByteArray file = kw27::datagen::aviFile({frame}, 15);
    const qsizetype at = file.indexOf("00db");
    ASSERT_GE(at, 0);
    const QByteArray pixels = file.mid(at + 8, 24);
    const QByteArray bottomBlue("\xFF\x00\x00\xFF\x00\x00\xFF\x00\x00\x00\x00\x00", 12);
    const QByteArray topRed("\x00\x00\xFF\x00\x00\xFF\x00\x00\xFF\x00\x00\x00", 12);
    EXPECT_EQ(pixels, bottomBlue + topRed);
}

} // namespace
