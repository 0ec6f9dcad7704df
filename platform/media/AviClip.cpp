#include "AviClip.h"

#include "ByteOrder.h"
#include "RiffReader.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace kw27 {

namespace {

constexpr std::uint32_t kMaxDimension = 4096;
constexpr std::uint32_t kBiRgb = 0;
constexpr std::size_t kMainHeaderSize = 56;
constexpr std::size_t kStreamHeaderSize = 56;
constexpr std::size_t kBitmapHeaderSize = 40;
constexpr int kMaxListDepth = 4;

using VideoFormat = StoredAviClip::Format;

// Reads the whole of the chunk just entered (up to limit bytes); false when it is cut short.
bool readChunk(RiffReader& reader, const RiffChunk& chunk, std::size_t limit,
               std::vector<unsigned char>& out) {
    out.resize(std::min<std::size_t>(chunk.size, limit));
    return reader.read(out.data(), out.size()) == out.size();
}

std::optional<VideoFormat> parseFormat(const std::vector<unsigned char>& strf) {
    if (strf.size() < kBitmapHeaderSize)
        return std::nullopt;
    const unsigned char* p = strf.data();
    const std::uint32_t headerSize = readLe32(p);
    const auto width = std::int32_t(readLe32(p + 4));
    const auto height = std::int32_t(readLe32(p + 8));
    const unsigned bitCount = readLe16(p + 14);
    const std::uint32_t compression = readLe32(p + 16);
    const std::uint32_t coloursUsed = readLe32(p + 32);

    if (headerSize < kBitmapHeaderSize || headerSize > strf.size() || compression != kBiRgb)
        return std::nullopt;
    if (width <= 0 || std::uint32_t(width) > kMaxDimension || height == 0 || height == INT32_MIN ||
        std::uint32_t(std::abs(height)) > kMaxDimension)
        return std::nullopt;
    if (bitCount != 8 && bitCount != 24 && bitCount != 32)
        return std::nullopt;

    VideoFormat f;
    f.width = std::uint32_t(width);
    f.height = std::uint32_t(std::abs(height));
    f.bottomUp = height > 0;
    f.bitCount = bitCount;
    f.stride = (std::uint64_t(f.width) * bitCount + 31) / 32 * 4;
    if (bitCount == 8) {
        const std::uint32_t entries = coloursUsed == 0 ? 256 : coloursUsed;
        if (entries > 256 || headerSize + std::uint64_t(entries) * 4 > strf.size())
            return std::nullopt;
        // Indices past the palette show black rather than reading beyond it.
        f.palette.assign(256, qRgb(0, 0, 0));
        for (std::uint32_t i = 0; i < entries; ++i) {
            const unsigned char* q = p + headerSize + i * 4; // blue, green, red, reserved
            f.palette[i] = qRgb(q[2], q[1], q[0]);
        }
    }
    return f;
}

QImage decodeFrame(const VideoFormat& f, const unsigned char* bits) {
    QImage image(int(f.width), int(f.height), QImage::Format_RGB32);
    for (std::uint32_t y = 0; y < f.height; ++y) {
        const std::uint32_t row = f.bottomUp ? f.height - 1 - y : y;
        const unsigned char* src = bits + row * f.stride;
        auto* dest = reinterpret_cast<QRgb*>(image.scanLine(int(y)));
        if (f.bitCount == 8) {
            for (std::uint32_t x = 0; x < f.width; ++x)
                dest[x] = f.palette[src[x]];
        } else {
            const std::uint32_t step = f.bitCount / 8; // blue, green, red[, unused]
            for (std::uint32_t x = 0; x < f.width; ++x, src += step)
                dest[x] = qRgb(src[2], src[1], src[0]);
        }
    }
    return image;
}

// Walks the frame list from its chunk headers, descending into "rec " lists, and notes where
// each frame's bits start. False when a chunk runs past the list, a frame is shorter than its
// bitmap, or the first frame is a repeat.
bool collectFrames(RiffReader& reader, std::uint64_t start, std::uint64_t size,
                   const VideoFormat& f, std::uint32_t streamIndex, int depth,
                   std::vector<std::uint64_t>& frames) {
    const char tens = char('0' + streamIndex / 10);
    const char units = char('0' + streamIndex % 10);
    const std::uint32_t uncompressedId = fourCC({tens, units, 'd', 'b', '\0'});
    const std::uint32_t compressedId = fourCC({tens, units, 'd', 'c', '\0'});
    const std::uint64_t frameBytes = f.stride * f.height;

    std::uint64_t offset = 0;
    while (size - offset >= 8) {
        unsigned char header[12]; // id, size and, for a list, its form type
        const std::size_t wanted = std::size_t(std::min<std::uint64_t>(12, size - offset));
        if (reader.readAt(start + offset, header, wanted) != wanted)
            return false;
        const std::uint32_t id = readLe32(header);
        const std::uint32_t chunkSize = readLe32(header + 4);
        const std::uint64_t contents = offset + 8;
        if (chunkSize > size - contents)
            return false;
        if (id == fourCC("LIST") && chunkSize >= 4 && readLe32(header + 8) == fourCC("rec ")) {
            if (depth >= kMaxListDepth ||
                !collectFrames(reader, start + contents + 4, chunkSize - 4, f, streamIndex,
                               depth + 1, frames))
                return false;
        } else if (id == uncompressedId || id == compressedId) {
            if (chunkSize == 0) {
                if (frames.empty())
                    return false;
                frames.push_back(frames.back());
            } else if (chunkSize < frameBytes) {
                return false;
            } else {
                frames.push_back(start + contents);
            }
        }
        // The pad byte after an odd size may be missing at the very end.
        offset = contents + std::min<std::uint64_t>(size - contents, chunkSize + (chunkSize & 1u));
    }
    return true;
}

std::optional<StoredAviClip> read(std::shared_ptr<RiffReader> source) {
    RiffReader& reader = *source;
    RiffChunk riff, hdrl, avih, movi;
    if (!reader.findRiff(fourCC("AVI "), riff) || !reader.findList(riff, fourCC("hdrl"), hdrl) ||
        !reader.findChunk(hdrl, fourCC("avih"), avih))
        return std::nullopt;
    std::vector<unsigned char> main;
    if (!readChunk(reader, avih, kMainHeaderSize, main) || main.size() < 40)
        return std::nullopt;
    reader.ascend(avih);
    std::int64_t periodUs = readLe32(main.data());

    std::optional<VideoFormat> format;
    std::uint32_t streamIndex = 0;
    RiffChunk strl;
    for (; streamIndex < 100 && reader.findList(hdrl, fourCC("strl"), strl); ++streamIndex) {
        RiffChunk strh, strf;
        std::vector<unsigned char> stream, bitmap;
        if (!reader.findChunk(strl, fourCC("strh"), strh) ||
            !readChunk(reader, strh, kStreamHeaderSize, stream) || stream.size() < 32)
            return std::nullopt;
        reader.ascend(strh);
        if (readLe32(stream.data()) == fourCC("vids")) {
            if (!reader.findChunk(strl, fourCC("strf"), strf) ||
                !readChunk(reader, strf, kBitmapHeaderSize + 1024 + 1024, bitmap))
                return std::nullopt;
            format = parseFormat(bitmap);
            if (!format)
                return std::nullopt;
            const std::uint32_t scale = readLe32(stream.data() + 20);
            const std::uint32_t rate = readLe32(stream.data() + 24);
            if (periodUs == 0 && scale != 0 && rate != 0)
                periodUs = std::int64_t(1000000.0 * scale / rate + 0.5);
            reader.ascend(strl);
            break;
        }
        reader.ascend(strl);
    }
    if (!format || periodUs <= 0)
        return std::nullopt;
    reader.ascend(hdrl);

    if (!reader.findList(riff, fourCC("movi"), movi))
        return std::nullopt;
    const std::uint64_t end = movi.dataOffset + movi.size;
    if (end > reader.fileSize() || end < reader.position())
        return std::nullopt;
    StoredAviClip clip;
    if (!collectFrames(reader, reader.position(), end - reader.position(), *format, streamIndex, 0,
                       clip.frames) ||
        clip.frames.empty())
        return std::nullopt;
    clip.format = std::move(*format);
    clip.source = std::move(source);
    clip.framePeriodUs = periodUs;
    return clip;
}

} // namespace

std::optional<StoredAviClip> readAviClip(const std::filesystem::path& path) {
    std::shared_ptr<RiffReader> reader = RiffReader::openFile(path);
    if (!reader)
        return std::nullopt;
    return read(std::move(reader));
}

std::optional<StoredAviClip> readAviClip(const void* data, std::size_t size) {
    return read(RiffReader::openMemory(data, size));
}

std::optional<AviClip> decodeAviClip(const StoredAviClip& stored) {
    const VideoFormat& f = stored.format;
    std::vector<unsigned char> bits(std::size_t(f.stride * f.height));
    AviClip clip;
    clip.frames.reserve(stored.frames.size());
    for (std::size_t i = 0; i < stored.frames.size(); ++i) {
        // A repeated frame shares the image of the one before.
        if (i > 0 && stored.frames[i] == stored.frames[i - 1]) {
            clip.frames.push_back(clip.frames.back());
            continue;
        }
        if (stored.source->readAt(stored.frames[i], bits.data(), bits.size()) != bits.size())
            return std::nullopt;
        clip.frames.push_back(decodeFrame(f, bits.data()));
    }
    clip.framePeriodUs = stored.framePeriodUs;
    clip.frameSize = QSize(int(f.width), int(f.height));
    return clip;
}

std::optional<AviClip> loadAviClip(const void* data, std::size_t size) {
    const auto stored = readAviClip(data, size);
    return stored ? decodeAviClip(*stored) : std::nullopt;
}

} // namespace kw27
