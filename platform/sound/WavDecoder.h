#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace kw27 {

class RiffReader;

// Decoded PCM sound: signed 16-bit samples whatever the file held, so that every sound
// reaches the mixer in one form. Stereo files are mixed down to one channel: a recording
// then sounds exactly as loud as a mono one of the same level, on any output. Samples keep
// their level: 8-bit values are widened exactly ((u - 128) * 256); wider and float samples
// are rounded to the nearest 16-bit value.
struct PcmSound {
    int channels = 0;
    int sampleRate = 0;
    std::vector<std::int16_t> samples;

    std::size_t frames() const { return channels > 0 ? samples.size() / channels : 0; }
};

// Why a file is not a playable sound. Every value but Ok leaves the output sound empty.
enum class WavStatus {
    Ok,
    Unreadable,        // cannot be opened
    NotWave,           // no RIFF form "WAVE"
    NoFormat,          // no "fmt " chunk, or one too short to hold the PCM fields
    UnsupportedFormat, // not a sample layout below, or a rate no mixer plays sensibly
    NoData,            // no "data" chunk after the "fmt " chunk
    TooLarge,          // more samples than one mixer buffer can take
};

// How a data chunk's samples are laid out, for the layouts that recorders write: integer
// PCM of 8 (unsigned), 16, 24 or 32 bits and 32-bit float, each plain or in the extensible
// layout, one or two channels.
struct SampleLayout {
    enum class Encoding { Unsigned8, Signed, Float };
    Encoding encoding = Encoding::Signed;
    int bytesPerSample = 0;
    int channels = 0;
    int sampleRate = 0;
    std::size_t blockAlign = 0;
};

// The most of a "fmt " chunk that says how its samples are laid out (the extensible layout).
constexpr std::size_t kFormatLayoutBytes = 40;

// The layout the first size bytes of a "fmt " chunk describe, or none when its samples are
// not of a layout above or its fields contradict each other. The rate is only checked to be
// positive: each player judges what it can play.
std::optional<SampleLayout> sampleLayout(const unsigned char* fmt, std::size_t size);

// Reads up to frames whole frames from the reader's position and writes them to out as
// 16-bit mono samples (native byte order; out needs no alignment). Returns the frames
// written; fewer when the file or the chunk ends first.
std::size_t readMono16(RiffReader& reader, const SampleLayout& layout, void* out,
                       std::size_t frames);

// Reads a WAV: the "fmt " chunk, then a later "data" chunk within the RIFF form "WAVE".
// A data chunk that the file cuts short yields the whole frames that are there; a trailing
// partial frame is dropped. Rates outside 1 kHz to 384 kHz are refused: so slow a sound
// would hold a synchronous player for hours, and beyond that the mixer cannot resample well.
WavStatus decodeWav(RiffReader& reader, PcmSound& out);
WavStatus decodeWavFile(const std::filesystem::path& path, PcmSound& out);

} // namespace kw27
