#include "AviClip.h"
#include "AviTestClip.h"
#include "RiffReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using kw27::loadAviClip;
using kw27::test::AviLayout;
using kw27::test::makeAvi;

namespace {

std::optional<kw27::AviClip> load(const std::vector<unsigned char>& bytes) {
    return loadAviClip(bytes.data(), bytes.size());
}

// Compares every pixel of every frame with what the clip recorded.
void expectFramesAsRecorded(const AviLayout& layout, const kw27::AviClip& clip) {
    ASSERT_EQ(clip.frameSize, QSize(layout.width, layout.height));
    ASSERT_EQ(int(clip.frames.size()), layout.frames);
    for (int f = 0; f < layout.frames; ++f) {
        const int recorded = f == layout.emptyFrameAt ? f - 1 : f;
        const QImage& image = clip.frames[std::size_t(f)];
        ASSERT_EQ(image.size(), clip.frameSize);
        int wrong = 0;
        for (int y = 0; y < layout.height; ++y)
            for (int x = 0; x < layout.width; ++x)
                if (image.pixel(x, y) != kw27::test::expectedPixel(layout, recorded, x, y))
                    ++wrong;
        EXPECT_EQ(wrong, 0) << "frame " << f;
    }
}

std::size_t findId(const std::vector<unsigned char>& bytes, const char* id) {
    const auto it = std::search(bytes.begin(), bytes.end(), id, id + 4);
    return std::size_t(it - bytes.begin());
}

}  // namespace

TEST(AviClip, DecodesEveryLayoutItMustRead) {
    struct Row {
        const char* name;
        AviLayout layout;
    };
    auto with = [](auto change) {
        AviLayout l;
        change(l);
        return l;
    };
    const Row rows[] = {
        {"24-bit bottom-up, odd width", AviLayout{}},
        {"24-bit top-down", with([](AviLayout& l) { l.topDown = true; })},
        {"8-bit palette", with([](AviLayout& l) { l.bitCount = 8; })},
        {"8-bit short palette", with([](AviLayout& l) {
             l.bitCount = 8;
             l.paletteEntries = 100;
         })},
        {"8-bit top-down", with([](AviLayout& l) {
             l.bitCount = 8;
             l.topDown = true;
         })},
        {"32-bit", with([](AviLayout& l) { l.bitCount = 32; })},
        {"rec lists", with([](AviLayout& l) { l.recLists = true; })},
        {"dc frame ids", with([](AviLayout& l) { l.compressedIds = true; })},
        {"audio stream first", with([](AviLayout& l) { l.audioStreamFirst = true; })},
        {"audio first inside rec lists", with([](AviLayout& l) {
             l.audioStreamFirst = true;
             l.recLists = true;
         })},
        {"no index, filler chunk", with([](AviLayout& l) {
             l.index = false;
             l.junk = true;
         })},
        {"one frame", with([](AviLayout& l) { l.frames = 1; })},
        {"tiny frames", with([](AviLayout& l) {
             l.width = 3;
             l.height = 3;
             l.bitCount = 24;
         })},
        {"repeated frame", with([](AviLayout& l) { l.emptyFrameAt = 2; })},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto clip = load(makeAvi(row.layout));
        ASSERT_TRUE(clip.has_value());
        expectFramesAsRecorded(row.layout, *clip);
    }
}

TEST(AviClip, FramePeriodComesFromTheMainHeaderOrElseTheStreamRate) {
    AviLayout mainHeader;
    mainHeader.periodUs = 40000;
    EXPECT_EQ(load(makeAvi(mainHeader))->framePeriodUs, 40000);

    AviLayout streamRate;
    streamRate.streamScale = 1;
    streamRate.streamRate = 15;
    EXPECT_EQ(load(makeAvi(streamRate))->framePeriodUs, 66667);

    AviLayout none;
    none.periodUs = 0;
    EXPECT_FALSE(load(makeAvi(none)).has_value());
}

TEST(AviClip, RefusesWhatIsNotAnUncompressedClip) {
    struct Row {
        const char* name;
        std::vector<unsigned char> bytes;
    };
    auto patched = [](AviLayout layout, const char* id, const char* replacement) {
        auto bytes = makeAvi(layout);
        const std::size_t at = findId(bytes, id);
        std::memcpy(bytes.data() + at, replacement, 4);
        return bytes;
    };
    AviLayout compressed;
    compressed.compression = kw27::fourCC("MJPG");
    AviLayout sixteenBit;
    sixteenBit.bitCount = 16;
    AviLayout firstFrameEmpty;
    firstFrameEmpty.emptyFrameAt = 0;
    AviLayout noFrames;
    noFrames.frames = 0;
    AviLayout hugePalette;
    hugePalette.bitCount = 8;
    auto hugePaletteBytes = makeAvi(hugePalette);
    // colours used = 257: more than an 8-bit frame can index.
    hugePaletteBytes[findId(hugePaletteBytes, "strf") + 8 + 32] = 1;
    hugePaletteBytes[findId(hugePaletteBytes, "strf") + 8 + 33] = 1;

    const std::string text = "This is a plain text file, not a clip.\n";
    const Row rows[] = {
        {"empty", {}},
        {"text", std::vector<unsigned char>(text.begin(), text.end())},
        {"WAVE form", patched(AviLayout{}, "AVI ", "WAVE")},
        {"no main header", patched(AviLayout{}, "avih", "xxxx")},
        {"no video stream", patched(AviLayout{}, "vids", "txts")},
        {"no frame list", patched(AviLayout{}, "movi", "xxxx")},
        {"compressed frames", makeAvi(compressed)},
        {"16-bit frames", makeAvi(sixteenBit)},
        {"first frame empty", makeAvi(firstFrameEmpty)},
        {"no frames", makeAvi(noFrames)},
        {"palette larger than 256", hugePaletteBytes},
    };
    for (const Row& row : rows)
        EXPECT_FALSE(load(row.bytes).has_value()) << row.name;
}

TEST(AviClip, AClipCutShortAnywhereBeforeItsLastFrameEndsIsRefused) {
    for (const AviLayout& layout : {AviLayout{}, [] {
             AviLayout l;
             l.recLists = true;
             l.bitCount = 8;
             return l;
         }()}) {
        const auto bytes = makeAvi(layout);
        const std::size_t framesEnd = findId(bytes, "idx1");
        ASSERT_LT(framesEnd, bytes.size());
        for (std::size_t cut = 0; cut < framesEnd; cut += 7) {
            const std::vector<unsigned char> shortened(bytes.begin(),
                                                       bytes.begin() + std::ptrdiff_t(cut));
            EXPECT_FALSE(load(shortened).has_value()) << "cut at " << cut;
        }
        // Only the index is lost: every frame is still there.
        const std::vector<unsigned char> withoutIndex(bytes.begin(),
                                                      bytes.begin() + std::ptrdiff_t(framesEnd));
        EXPECT_TRUE(load(withoutIndex).has_value());
    }
}

TEST(AviClip, AFrameShorterThanItsBitmapIsRefused) {
    auto bytes = makeAvi(AviLayout{});
    // The first frame chunk declares one padded row of 65 pixels (196 bytes), not a bitmap.
    const std::size_t frame = findId(bytes, "00db");
    const unsigned char oneRow[4] = {196, 0, 0, 0};
    std::memcpy(bytes.data() + frame + 4, oneRow, 4);
    EXPECT_FALSE(load(bytes).has_value());
}

TEST(AviClip, AMissingFileIsNotAClip) {
    EXPECT_FALSE(loadAviClip(std::filesystem::path("no-such-folder/no-such.avi")).has_value());
}
