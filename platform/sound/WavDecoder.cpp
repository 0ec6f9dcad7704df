#include "WavDecoder.h"

#include "ByteOrder.h"
#include "RiffReader.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstring>
#include <new>

namespace kw27 {

namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatFloat = 3;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;
// The fields every PCM "fmt " chunk holds: tag, channels, rate, bytes/s, block align, bits.
constexpr std::size_t kPcmFormatSize = 16;
// The extensible layout names its encoding by a GUID whose first two bytes are the plain tag
// and whose other fourteen are always these.
constexpr unsigned char kSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                              0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
constexpr std::size_t kExtensionSize = 22;
// One mixer buffer is sized by a signed 32-bit byte count.
constexpr std::uint64_t kMaxSampleBytes = INT_MAX;
// What the one-sound player plays sensibly; see decodeWav.
constexpr int kSlowestRate = 1000;
constexpr int kFastestRate = 384000;
// Frames converted per read: small enough for the stack, large enough to read efficiently.
constexpr std::size_t kFramesPerBlock = 512;
constexpr std::size_t kWidestFrame = 2 * 4;

// Samples are brought to a common scale, a full-range signed 32-bit value, then rounded to
// 16 bits; two channels are summed first and halved in the same rounding.
std::int16_t narrow(std::int64_t scaled, int shift) {
    const std::int64_t rounded = (scaled + (std::int64_t(1) << (shift - 1))) >> shift;
    return std::int16_t(std::clamp<std::int64_t>(rounded, INT16_MIN, INT16_MAX));
}

std::int64_t floatScaled(const unsigned char* p) {
    const float f = std::bit_cast<float>(readLe32(p));
    if (std::isnan(f))
        return 0;
    return std::llround(std::clamp(double(f), -1.0, 1.0) * 2147483648.0);
}

template <typename Scaled>
void convertBlock(const unsigned char* raw, std::size_t frames, const SampleLayout& layout,
                  std::int16_t* to, Scaled scaled) {
    const std::size_t step = std::size_t(layout.bytesPerSample);
    if (layout.channels == 1) {
        for (std::size_t i = 0; i < frames; ++i)
            to[i] = narrow(scaled(raw + i * step), 16);
    } else {
        for (std::size_t i = 0; i < frames; ++i)
            to[i] = narrow(scaled(raw + 2 * i * step) + scaled(raw + (2 * i + 1) * step), 17);
    }
}

void convertBlock(const unsigned char* raw, std::size_t frames, const SampleLayout& layout,
                  std::int16_t* to) {
    using Encoding = SampleLayout::Encoding;
    if (layout.encoding == Encoding::Float)
        return convertBlock(raw, frames, layout, to, floatScaled);
    if (layout.encoding == Encoding::Unsigned8)
        return convertBlock(raw, frames, layout, to,
                            [](const unsigned char* p) { return std::int64_t(p[0] - 128) << 24; });
    switch (layout.bytesPerSample) {
    case 2:
        return convertBlock(raw, frames, layout, to, [](const unsigned char* p) {
            return std::int64_t(std::int16_t(readLe16(p))) << 16;
        });
    case 3:
        return convertBlock(raw, frames, layout, to,
                            [](const unsigned char* p) { return std::int64_t(readLe24s(p)) << 8; });
    default:
        return convertBlock(raw, frames, layout, to, [](const unsigned char* p) {
            return std::int64_t(std::int32_t(readLe32(p)));
        });
    }
}

WavStatus readFormat(RiffReader& reader, const RiffChunk& riff, SampleLayout& layout) {
    RiffChunk fmt;
    if (!reader.findChunk(riff, fourCC("fmt "), fmt) || fmt.size < kPcmFormatSize)
        return WavStatus::NoFormat;
    std::uint8_t raw[kFormatLayoutBytes];
    const std::size_t size = reader.read(raw, std::min<std::size_t>(fmt.size, sizeof raw));
    if (size < kPcmFormatSize)
        return WavStatus::NoFormat;
    reader.ascend(fmt);

    const auto found = sampleLayout(raw, size);
    if (!found || found->sampleRate < kSlowestRate || found->sampleRate > kFastestRate)
        return WavStatus::UnsupportedFormat;
    layout = *found;
    return WavStatus::Ok;
}

} // namespace

std::optional<SampleLayout> sampleLayout(const unsigned char* fmt, std::size_t size) {
    if (size < kPcmFormatSize)
        return std::nullopt;
    std::uint16_t tag = readLe16(fmt);
    const std::uint16_t channels = readLe16(fmt + 2);
    const std::uint32_t rate = readLe32(fmt + 4);
    const std::uint16_t blockAlign = readLe16(fmt + 12);
    const std::uint16_t bits = readLe16(fmt + 14);
    if (tag == kFormatExtensible) {
        const unsigned char* subFormat = fmt + 24;
        if (size < kFormatLayoutBytes || readLe16(fmt + 16) < kExtensionSize ||
            !std::equal(std::begin(kSubFormatTail), std::end(kSubFormatTail), subFormat + 2))
            return std::nullopt;
        // Fewer valid bits than the container holds are the container's high bits, so the
        // container is read whole.
        if (readLe16(fmt + 18) > bits)
            return std::nullopt;
        tag = readLe16(subFormat);
    }
    using Encoding = SampleLayout::Encoding;
    SampleLayout layout;
    if (tag == kFormatPcm && (bits == 8 || bits == 16 || bits == 24 || bits == 32))
        layout.encoding = bits == 8 ? Encoding::Unsigned8 : Encoding::Signed;
    else if (tag == kFormatFloat && bits == 32)
        layout.encoding = Encoding::Float;
    else
        return std::nullopt;
    // The average byte rate is only a hint for streaming players and is often wrong in
    // files written by hand, so it is not checked; the block alignment decides the layout.
    if ((channels != 1 && channels != 2) || rate == 0 || rate > std::uint32_t(INT_MAX) ||
        blockAlign != channels * bits / 8)
        return std::nullopt;
    layout.bytesPerSample = bits / 8;
    layout.channels = channels;
    layout.sampleRate = int(rate);
    layout.blockAlign = blockAlign;
    return layout;
}

std::size_t readMono16(RiffReader& reader, const SampleLayout& layout, void* out,
                       std::size_t frames) {
    // 16-bit mono, the data set's own form, is already what the mixer takes: read in place.
    if (std::endian::native == std::endian::little && layout.channels == 1 &&
        layout.encoding == SampleLayout::Encoding::Signed && layout.bytesPerSample == 2)
        return reader.read(out, frames * sizeof(std::int16_t)) / sizeof(std::int16_t);
    unsigned char raw[kFramesPerBlock * kWidestFrame];
    std::int16_t converted[kFramesPerBlock];
    auto* to = static_cast<unsigned char*>(out);
    std::size_t done = 0;
    while (done < frames) {
        const std::size_t want = std::min(frames - done, kFramesPerBlock);
        const std::size_t got = reader.read(raw, want * layout.blockAlign) / layout.blockAlign;
        convertBlock(raw, got, layout, converted);
        std::memcpy(to + done * sizeof(std::int16_t), converted, got * sizeof(std::int16_t));
        done += got;
        if (got < want)
            break;
    }
    return done;
}

WavStatus decodeWav(RiffReader& reader, PcmSound& out) {
    out = PcmSound{};
    RiffChunk riff;
    if (!reader.findRiff(fourCC("WAVE"), riff))
        return WavStatus::NotWave;
    SampleLayout layout;
    if (const WavStatus status = readFormat(reader, riff, layout); status != WavStatus::Ok)
        return status;
    RiffChunk data;
    if (!reader.findChunk(riff, fourCC("data"), data))
        return WavStatus::NoData;

    // Never trust the declared size beyond what the file holds: a cut-short file plays the
    // frames it has, and a lying header cannot make us allocate gigabytes.
    const std::uint64_t frames = reader.remaining() / layout.blockAlign;
    if (frames * sizeof(std::int16_t) > kMaxSampleBytes)
        return WavStatus::TooLarge;

    PcmSound sound;
    sound.channels = 1;
    sound.sampleRate = layout.sampleRate;
    try {
        sound.samples.resize(frames);
    } catch (const std::bad_alloc&) {
        return WavStatus::TooLarge;
    }
    // A read error part-way leaves the frames read before it.
    sound.samples.resize(readMono16(reader, layout, sound.samples.data(), frames));
    out = std::move(sound);
    return WavStatus::Ok;
}

WavStatus decodeWavFile(const std::filesystem::path& path, PcmSound& out) {
    out = PcmSound{};
    const auto reader = RiffReader::openFile(path);
    if (!reader)
        return WavStatus::Unreadable;
    return decodeWav(*reader, out);
}

} // namespace kw27
