#include "WavWriter.h"

#include "RiffWriting.h"

namespace kw27::datagen {

QByteArray wavFile(const std::vector<std::int16_t>& samples, std::uint32_t samplesPerSecond) {
    using namespace riff;
    constexpr std::uint16_t pcmFormat = 1;
    constexpr std::uint16_t channels = 1;
    constexpr std::uint16_t bytesPerSample = 2;

    QByteArray out;
    out.reserve(qsizetype(44 + samples.size() * bytesPerSample));
    const qsizetype riffAt = beginList(out, "RIFF", "WAVE");

    const qsizetype fmtAt = beginChunk(out, "fmt ");
    put16(out, pcmFormat);
    put16(out, channels);
    put32(out, samplesPerSecond);
    put32(out, samplesPerSecond * channels * bytesPerSample);
    put16(out, channels * bytesPerSample);
    put16(out, 8 * bytesPerSample);
    endChunk(out, fmtAt);

    const qsizetype dataAt = beginChunk(out, "data");
    for (std::int16_t s : samples)
        put16(out, std::uint16_t(s));
    endChunk(out, dataAt);

    endChunk(out, riffAt);
    return out;
}

} // namespace kw27::datagen
