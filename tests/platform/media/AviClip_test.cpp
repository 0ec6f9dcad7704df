#include "AviClip.h"
#include "AviTestClip.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

using kw27::test::AviLayout;
using kw27::test::makeAvi;

namespace {

std::optional<kw27::AviClip> load(const std::vector<unsigned char>& bytes) {
    return kw27::loadAviClip(bytes.data(), bytes.size());
}

AviLayout with(const std::function<void(AviLayout&)>& change) {
    AviLayout layout;
    change(layout);
    return layout;
}

std::size_t findId(const std::vector<unsigned char>& bytes, const char* id) {
    return std::size_t(std::search(bytes.begin(), bytes.end(), id, id + 4) - bytes.begin());
}

} // namespace

TEST(AviClip, DecodesEveryFrameOfEveryLayoutAsRecorded) {
    const std::pair<const char*, AviLayout> rows[] = {
        {"24-bit bottom-up, padded rows", AviLayout{}},
        {"24-bit top-down", with([](AviLayout& l) { l.topDown = true; })},
        {"32-bit", with([](AviLayout& l) { l.bitCount = 32; })},
        {"8-bit", with([](AviLayout& l) { l.bitCount = 8; })},
        {"8-bit top-down, short palette",
         with([](AviLayout& l) { l.bitCount = 8, l.topDown = true, l.paletteEntries = 100; })},
        {"rec lists, dc ids", with([](AviLayout& l) { l.recLists = l.compressedIds = true; })},
        {"audio stream first", with([](AviLayout& l) { l.audioStreamFirst = l.recLists = true; })},
        {"no index, one frame", with([](AviLayout& l) { l.index = false, l.frames = 1; })},
        {"a zero-size frame repeats the one before",
         with([](AviLayout& l) { l.emptyFrameAt = 2; })},
    };
    for (const auto& [name, layout] : rows) {
        SCOPED_TRACE(name);
        const auto clip = load(makeAvi(layout));
        ASSERT_TRUE(clip.has_value());
        ASSERT_EQ(clip->frameSize, QSize(layout.width, layout.height));
        ASSERT_EQ(int(clip->frames.size()), layout.frames);
        for (int f = 0; f < layout.frames; ++f) {
            const int recorded = f == layout.emptyFrameAt ? f - 1 : f;
            int wrong = 0;
            for (int y = 0; y < layout.height; ++y)
                for (int x = 0; x < layout.width; ++x)
                    wrong += clip->frames[std::size_t(f)].pixel(x, y) !=
                             kw27::test::expectedPixel(layout, recorded, x, y);
            EXPECT_EQ(wrong, 0) << "frame " << f;
        }
    }
}

TEST(AviClip, FramePeriodComesFromTheMainHeaderOrElseTheStreamRate) {
    EXPECT_EQ(load(makeAvi(with([](AviLayout& l) { l.periodUs = 40000; })))->framePeriodUs, 40000);
    EXPECT_EQ(load(makeAvi(with([](AviLayout& l) { l.periodUs = 0; })))->framePeriodUs, 66667);
}

TEST(AviClip, RefusesWhatIsNotAnUncompressedClip) {
    auto patched = [](const char* id, const char* replacement) {
        auto bytes = makeAvi(AviLayout{});
        std::memcpy(bytes.data() + findId(bytes, id), replacement, 4);
        return bytes;
    };
    auto hugePalette = makeAvi(with([](AviLayout& l) { l.bitCount = 8; }));
    hugePalette[findId(hugePalette, "strf") + 8 + 32] = 1; // colours used: 257
    const std::string text = "This is a plain text file, not a clip.\n";
    const std::pair<const char*, std::vector<unsigned char>> rows[] = {
        {"empty", {}},
        {"text", std::vector<unsigned char>(text.begin(), text.end())},
        {"WAVE form", patched("AVI ", "WAVE")},
        {"no main header", patched("avih", "xxxx")},
        {"no video stream", patched("vids", "txts")},
        {"no frame list", patched("movi", "xxxx")},
        {"compressed", makeAvi(with([](AviLayout& l) { l.compression = 0x47504A4D; }))},
        {"16-bit", makeAvi(with([](AviLayout& l) { l.bitCount = 16; }))},
        {"first frame empty", makeAvi(with([](AviLayout& l) { l.emptyFrameAt = 0; }))},
        {"no frames", makeAvi(with([](AviLayout& l) { l.frames = 0; }))},
        {"palette over 256", hugePalette},
    };
    for (const auto& [name, bytes] : rows)
        EXPECT_FALSE(load(bytes).has_value()) << name;
    EXPECT_FALSE(kw27::readAviClip(std::filesystem::path("nowhere/no.avi")).has_value());
}

TEST(AviClip, AClipCutShortBeforeItsLastFrameEndsOrWithAShortFrameIsRefused) {
    for (const AviLayout& layout :
         {AviLayout{}, with([](AviLayout& l) { l.recLists = true, l.bitCount = 8; })}) {
        const auto bytes = makeAvi(layout);
        const std::size_t framesEnd = findId(bytes, "idx1");
        ASSERT_LT(framesEnd, bytes.size());
        for (std::size_t cut = 0; cut < framesEnd; cut += 7)
            EXPECT_FALSE(load({bytes.begin(), bytes.begin() + std::ptrdiff_t(cut)}).has_value())
                << "cut at " << cut;
        // Only the index is lost: every frame is still there.
        EXPECT_TRUE(load({bytes.begin(), bytes.begin() + std::ptrdiff_t(framesEnd)}).has_value());
    }
    // A frame chunk that declares one padded row of 65 pixels (196 bytes), not a bitmap.
    auto bytes = makeAvi(AviLayout{});
    const unsigned char oneRow[4] = {196, 0, 0, 0};
    std::memcpy(bytes.data() + findId(bytes, "00db") + 4, oneRow, 4);
    EXPECT_FALSE(load(bytes).has_value());
}
