#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// Hand-made WAV files for the decoder and player tests: chunks are assembled byte by byte so
// that a test can also write what a careless or broken program would.
namespace kw27::test {

// A chunk: id, little-endian size (the real one unless declaredSize says otherwise), the
// contents, and the pad byte after an odd size.
std::string chunk(const char (&id)[5], const std::string& contents,
                  std::optional<std::uint32_t> declaredSize = {});
// A RIFF chunk of the given form type around chunks.
std::string riff(const char (&form)[5], const std::string& chunks);

// A "fmt " chunk; blockAlign is the consistent value unless given, extra follows the PCM fields.
std::string fmtChunk(std::uint16_t channels = 1, std::uint16_t bits = 16,
                     std::uint32_t rate = 44100, std::uint16_t tag = 1,
                     std::optional<std::uint16_t> blockAlign = {}, const std::string& extra = {});

std::string le16(std::uint16_t v);
std::string le32(std::uint32_t v);
std::string pcm16(const std::vector<std::int16_t>& samples);
std::string pcm8(const std::vector<std::uint8_t>& samples);

// Complete PCM files: RIFF "WAVE" with "fmt " and "data".
std::string wav16(int channels, int rate, const std::vector<std::int16_t>& samples);
std::string wav8(int channels, int rate, const std::vector<std::uint8_t>& samples);

// Reproducible noise over the whole sample range; the first sample is never zero, so the
// start of a sound shows in a mix.
std::vector<std::int16_t> noise16(std::size_t count, std::uint32_t seed);
std::vector<std::uint8_t> noise8(std::size_t count, std::uint32_t seed);

// The mono sound a decoder makes of interleaved stereo samples: each frame's mean, a half
// rounded up.
std::vector<std::int16_t> mixDown(const std::vector<std::int16_t>& stereo);

void writeFile(const std::filesystem::path& path, const std::string& bytes);

} // namespace kw27::test
