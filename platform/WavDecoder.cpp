#include "WavDecoder.h"

#include "ByteOrder.h"
#include "RiffReader.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>
#include <new>

namespace kw27 {

namespace {

constexpr std::uint16_t kFormatPcm = 1;
// The fields every PCM "fmt " chunk holds: tag, channels, rate, bytes/s, block align, bits.
constexpr std::size_t kPcmFormatSize = 16;
// One mixer buffer is sized by a signed 32-bit byte count.
constexpr std::uint64_t kMaxSampleBytes = INT_MAX;

struct Format {
    int channels = 0;
    int bits = 0;
    int sampleRate = 0;
    std::size_t blockAlign = 0;
};

WavStatus readFormat(RiffReader& reader, const RiffChunk& riff, Format& format) {
    RiffChunk fmt;
    if (!reader.findChunk(riff, fourCC("fmt "), fmt) || fmt.size < kPcmFormatSize)
        return WavStatus::NoFormat;
    std::uint8_t raw[kPcmFormatSize];
    if (reader.read(raw, sizeof raw) != sizeof raw)
        return WavStatus::NoFormat;
    reader.ascend(fmt);

    const std::uint16_t tag = readLe16(raw);
    const std::uint16_t channels = readLe16(raw + 2);
    const std::uint32_t rate = readLe32(raw + 4);
    const std::uint16_t blockAlign = readLe16(raw + 12);
    const std::uint16_t bits = readLe16(raw + 14);
    // The average byte rate is only a hint for streaming players and is often wrong in
    // files written by hand, so it is not checked; the block alignment decides the layout.
    if (tag != kFormatPcm || (channels != 1 && channels != 2) || (bits != 8 && bits != 16) ||
        rate == 0 || rate > std::uint32_t(INT_MAX) || blockAlign != channels * bits / 8)
        return WavStatus::UnsupportedFormat;
    format = {channels, bits, int(rate), blockAlign};
    return WavStatus::Ok;
}

void widen8(const std::vector<std::uint8_t>& bytes, std::vector<std::int16_t>& samples) {
    samples.resize(bytes.size());
    std::transform(bytes.begin(), bytes.end(), samples.begin(),
                   [](std::uint8_t u) { return std::int16_t((int(u) - 128) * 256); });
}

// Reads count 16-bit little-endian samples; on a little-endian host they land in place.
void read16(RiffReader& reader, std::size_t count, std::vector<std::int16_t>& samples) {
    samples.resize(count);
    samples.resize(reader.read(samples.data(), count * 2) / 2);
    if constexpr (std::endian::native != std::endian::little) {
        for (auto& s : samples) {
            std::uint8_t b[2];
            std::memcpy(b, &s, 2);
            s = std::int16_t(readLe16(b));
        }
    }
}

}  // namespace

WavStatus decodeWav(RiffReader& reader, PcmSound& out) {
    out = PcmSound{};
    RiffChunk riff;
    if (!reader.findRiff(fourCC("WAVE"), riff))
        return WavStatus::NotWave;
    Format format;
    if (const WavStatus status = readFormat(reader, riff, format); status != WavStatus::Ok)
        return status;
    RiffChunk data;
    if (!reader.findChunk(riff, fourCC("data"), data))
        return WavStatus::NoData;

    // Never trust the declared size beyond what the file holds: a cut-short file plays the
    // frames it has, and a lying header cannot make us allocate gigabytes.
    const std::uint64_t fileSize = reader.fileSize();
    const std::uint64_t inFile = data.dataOffset < fileSize ? fileSize - data.dataOffset : 0;
    const std::uint64_t present = std::min<std::uint64_t>(data.size, inFile);
    const std::uint64_t frames = present / format.blockAlign;
    const std::uint64_t sampleCount = frames * std::uint64_t(format.channels);
    if (sampleCount * sizeof(std::int16_t) > kMaxSampleBytes)
        return WavStatus::TooLarge;

    PcmSound sound;
    sound.channels = format.channels;
    sound.sampleRate = format.sampleRate;
    try {
        if (format.bits == 8) {
            std::vector<std::uint8_t> bytes(sampleCount);
            bytes.resize(reader.read(bytes.data(), bytes.size()));
            widen8(bytes, sound.samples);
        } else {
            read16(reader, sampleCount, sound.samples);
        }
    } catch (const std::bad_alloc&) {
        return WavStatus::TooLarge;
    }
    // A read error part-way leaves whole frames only.
    sound.samples.resize(sound.samples.size() - sound.samples.size() % format.channels);
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

}  // namespace kw27
