#pragma once

#include <QByteArray>
#include <cstdint>
#include <vector>

namespace kw27::datagen {

// A complete WAV file: RIFF "WAVE" with a 16-byte PCM "fmt " chunk (16-bit, one channel)
// followed by the "data" chunk.
QByteArray wavFile(const std::vector<std::int16_t>& samples, std::uint32_t samplesPerSecond);

} // namespace kw27::datagen
