#pragma once

#include <cstdint>
#include <vector>

// Recorded-sound stand-ins synthesised from the pipe model: the same struck pipe, cut to the
// lengths the pages need.
namespace kw27::pipe {

enum class SoundKind {
    Ring,    // struck, rings on and dies away: the pipe-length and pitch pages
    Note,    // struck and damped after about half a second: one note of a tune
    Loop,    // a steady ring whose end joins its start: the simulator repeats it endlessly
    Silence, // the rest of a tune, as long as a note
};

inline constexpr double ringSeconds = 1.8;
inline constexpr double noteSeconds = 0.5;
// Two seconds: every partial is placed on a whole number of cycles in this span.
inline constexpr int loopSamples = 88200;

// Every sound is scaled to this peak, so that three pipes sounding at once cannot clip.
inline constexpr double peakDbfs = -11.0;

// Where the pipe is struck, as a fraction of its length from one end. At the end every mode
// moves alike, so every partial keeps its full strength: the data set's pipes are struck there.
// At the middle the second mode does not move, and its partial (2.756 × f) stays silent.
inline constexpr double strikeAtEnd = 0.0;
inline constexpr double strikeAtMiddle = 0.5;

struct SoundSpec {
    SoundKind kind = SoundKind::Ring;
    double lengthCm = 0.0;       // unused for Silence
    std::uint32_t noiseSeed = 1; // seeds the strike transient
    double strikePoint = strikeAtEnd;
};

int sampleCount(SoundKind kind);

// 16-bit mono samples at sampleRate.
std::vector<std::int16_t> synthesize(const SoundSpec& sound);

} // namespace kw27::pipe
