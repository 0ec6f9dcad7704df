#include "WavFixture.h"

#include <fstream>
#include <stdexcept>

namespace kw27::test {

std::string le16(std::uint16_t v) {
    return {char(v & 0xFF), char(v >> 8)};
}

std::string le32(std::uint32_t v) {
    return {char(v & 0xFF), char(v >> 8 & 0xFF), char(v >> 16 & 0xFF), char(v >> 24)};
}

std::string chunk(const char (&id)[5], const std::string& contents,
                  std::optional<std::uint32_t> declaredSize) {
    std::string bytes(id, 4);
    bytes += le32(declaredSize.value_or(std::uint32_t(contents.size())));
    bytes += contents;
    if (contents.size() % 2)
        bytes += '\0';
    return bytes;
}

std::string riff(const char (&form)[5], const std::string& chunks) {
    return chunk("RIFF", std::string(form, 4) + chunks);
}

std::string fmtChunk(std::uint16_t channels, std::uint16_t bits, std::uint32_t rate,
                     std::uint16_t tag, std::optional<std::uint16_t> blockAlign,
                     const std::string& extra) {
    const std::uint16_t align = blockAlign.value_or(std::uint16_t(channels * bits / 8));
    return chunk("fmt ", le16(tag) + le16(channels) + le32(rate) + le32(rate * align) +
                             le16(align) + le16(bits) + extra);
}

std::string pcm16(const std::vector<std::int16_t>& samples) {
    std::string bytes;
    for (std::int16_t s : samples)
        bytes += le16(std::uint16_t(s));
    return bytes;
}

std::string pcm8(const std::vector<std::uint8_t>& samples) {
    return std::string(samples.begin(), samples.end());
}

std::string wav16(int channels, int rate, const std::vector<std::int16_t>& samples) {
    return riff("WAVE", fmtChunk(std::uint16_t(channels), 16, std::uint32_t(rate)) +
                            chunk("data", pcm16(samples)));
}

std::string wav8(int channels, int rate, const std::vector<std::uint8_t>& samples) {
    return riff("WAVE", fmtChunk(std::uint16_t(channels), 8, std::uint32_t(rate)) +
                            chunk("data", pcm8(samples)));
}

namespace {
std::uint32_t next(std::uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return state >> 16;
}
} // namespace

std::vector<std::int16_t> noise16(std::size_t count, std::uint32_t seed) {
    std::vector<std::int16_t> samples(count);
    for (auto& s : samples)
        s = std::int16_t(std::uint16_t(next(seed)));
    if (count && samples[0] == 0)
        samples[0] = 1;
    return samples;
}

std::vector<std::uint8_t> noise8(std::size_t count, std::uint32_t seed) {
    std::vector<std::uint8_t> samples(count);
    for (auto& s : samples)
        s = std::uint8_t(next(seed));
    if (count && samples[0] == 128)
        samples[0] = 129;
    return samples;
}

std::vector<std::int16_t> mixDown(const std::vector<std::int16_t>& stereo) {
    std::vector<std::int16_t> mono;
    for (std::size_t i = 0; i + 1 < stereo.size(); i += 2)
        mono.push_back(std::int16_t((stereo[i] + stereo[i + 1] + 65537) / 2 - 32768));
    return mono;
}

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

} // namespace kw27::test
