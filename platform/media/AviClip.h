#pragma once

#include <QImage>
#include <QSize>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace kw27 {

// The frames of an uncompressed AVI clip, decoded once so that playing needs no file access:
// RIFF "AVI ", the main header's frame period (or the video stream's rate), a video stream of
// 24-, 32- or 8-bit (palette) device-independent bitmaps stored bottom-up or top-down, and
// the frames in "movi", directly or inside "rec " lists. A zero-size frame repeats the frame
// before it. The index at the end is not needed.
struct AviClip {
    std::vector<QImage> frames;
    std::int64_t framePeriodUs = 0;
    QSize frameSize;
};

class RiffReader;

// A clip whose layout has been read and checked, its frames left in the file (kept open):
// learning whether a clip opens costs a few small reads, and the frames are read and decoded
// later.
struct StoredAviClip {
    struct Format {
        std::uint32_t width = 0;
        std::uint32_t height = 0;
        bool bottomUp = true;
        unsigned bitCount = 0;
        std::vector<QRgb> palette; // 256 entries for 8-bit frames
        std::uint64_t stride = 0;
    };
    Format format;
    std::shared_ptr<RiffReader> source;
    std::vector<std::uint64_t> frames; // where each frame's bits start; a repeat repeats it
    std::int64_t framePeriodUs = 0;
};

// Nothing when the file is missing, is not such a clip, or is cut short (a frame or the frame
// list running past the end of the file).
std::optional<StoredAviClip> readAviClip(const std::filesystem::path& path);
std::optional<StoredAviClip> readAviClip(const void* data, std::size_t size);
// Nothing when the file no longer holds the frames it held when it was read.
std::optional<AviClip> decodeAviClip(const StoredAviClip& stored);

// Both steps at once, from memory.
std::optional<AviClip> loadAviClip(const void* data, std::size_t size);

} // namespace kw27
