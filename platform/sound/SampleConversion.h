#pragma once

#include "WavDecoder.h"

#include <cstdint>
#include <vector>

namespace kw27 {

// Brings a decoded sound to one channel at targetRate, for whatever must lay sounds of
// different recordings on one time line (an exported tune, the sounds' timing). Two channels
// are mixed down as the decoder mixes them (each frame's mean, a half rounded up). A sound
// already at targetRate keeps its samples exactly; any other rate goes through libsamplerate's
// band-limited sinc converter, so pitch and length are kept: the result has
// frames * targetRate / sampleRate frames, rounded to the nearest. Levels are kept; a
// resampled peak beyond full scale is clipped. Rates must lie between 1 Hz and the decoder's
// 384 kHz (a factor of at most 256 between them); others throw std::invalid_argument. A result
// of more than one mixer buffer (2 GiB) throws std::length_error.
std::vector<std::int16_t> monoAtRate(const PcmSound& sound, int targetRate);

// The number of frames a sound of frames frames at fromRate has at toRate.
std::size_t framesAtRate(std::size_t frames, int fromRate, int toRate);

} // namespace kw27
