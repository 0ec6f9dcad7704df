#include "WavWriter.h"

#include "RiffWriting.h"

#include <stdexcept>

namespace kw27 {

namespace {

constexpr std::uint16_t bytesPerSample = 2;
// The headers beside the samples and the title: RIFF, "fmt ", "data", LIST, INAM, the title's
// zero byte and its pad byte.
constexpr std::uint64_t kHeaderBytes = 12 + 24 + 8 + 12 + 8 + 2;

std::uint64_t riffContentBytes(std::size_t samples, qsizetype titleBytes) {
    return kHeaderBytes - 8 + std::uint64_t(samples) * bytesPerSample + std::uint64_t(titleBytes);
}

} // namespace

bool wavFileFits(std::size_t samples, const QString& title) {
    return samples <= 0xFFFF'FFFFu &&
           riffContentBytes(samples, title.toUtf8().size()) <= 0xFFFF'FFFFu;
}

QByteArray wavFile(const std::vector<std::int16_t>& samples, std::uint32_t samplesPerSecond,
                   const QString& title) {
    using namespace riff;
    constexpr std::uint16_t pcmFormat = 1;
    constexpr std::uint16_t channels = 1;

    if (!wavFileFits(samples.size(), title))
        throw std::length_error("too long for a WAV file");
    const QByteArray name = title.toUtf8();

    QByteArray out;
    out.reserve(qsizetype(riffContentBytes(samples.size(), name.size()) + 8));
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

    if (!name.isEmpty()) {
        const qsizetype listAt = beginList(out, "LIST", "INFO");
        const qsizetype nameAt = beginChunk(out, "INAM");
        out.append(name);
        out.append('\0');
        endChunk(out, nameAt);
        endChunk(out, listAt);
    }

    endChunk(out, riffAt);
    return out;
}

} // namespace kw27
