#pragma once

#include <QImage>
#include <QSize>
#include <cstdint>
#include <filesystem>
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

// Nothing when the file is missing, is not such a clip, or is cut short (a frame or the frame
// list running past the end of the file).
std::optional<AviClip> loadAviClip(const std::filesystem::path& path);
std::optional<AviClip> loadAviClip(const void* data, std::size_t size);

} // namespace kw27
