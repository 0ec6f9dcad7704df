#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace kw27 {

class RiffReader;

// Decoded PCM sound: interleaved signed 16-bit samples whatever the file held, so that the
// player hands every sound to the mixer in one form. 8-bit samples are widened exactly
// ((u - 128) * 256), which the mixer turns into the same level the 8-bit value stood for.
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
    UnsupportedFormat, // not PCM, not 8/16 bit, not 1/2 channels, or inconsistent fields
    NoData,            // no "data" chunk after the "fmt " chunk
    TooLarge,          // more samples than one mixer buffer can take
};

// Reads a PCM WAV: the "fmt " chunk, then a later "data" chunk within the RIFF form "WAVE".
// A data chunk that the file cuts short yields the whole frames that are there; a trailing
// partial frame is dropped.
WavStatus decodeWav(RiffReader& reader, PcmSound& out);
WavStatus decodeWavFile(const std::filesystem::path& path, PcmSound& out);

}  // namespace kw27
