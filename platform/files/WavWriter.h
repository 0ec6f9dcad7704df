#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace kw27 {

// A complete WAV file that every player reads: RIFF "WAVE" with a 16-byte PCM "fmt " chunk
// (16-bit, one channel) followed by the "data" chunk. A title, when not empty, follows the
// samples as the INFO list's name ("LIST" "INFO" "INAM", UTF-8, ending in a zero byte), where
// readers that know nothing of it never look. A file that would not fit (wavFileFits) throws
// std::length_error.
QByteArray wavFile(const std::vector<std::int16_t>& samples, std::uint32_t samplesPerSecond,
                   const QString& title = {});

// Whether so many samples and the title fit one WAV file, whose RIFF size field counts 32 bits
// (some 13 hours at 44.1 kHz), so that a caller can tell before it makes the samples.
bool wavFileFits(std::size_t samples, const QString& title);

} // namespace kw27
