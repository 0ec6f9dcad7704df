#pragma once

#include <array>
#include <cstddef>

// A chime pipe rings as a free-free bar: its partials lie at fixed ratios to the fundamental,
// and the fundamental falls with the square of the length. The material constant is chosen
// so that the 18.6 cm pipe, the lesson's low do, sounds C7.
namespace kw27::pipe {

inline constexpr double sampleRate = 44100.0;

inline constexpr std::array<double, 4> partialRatios = {1.0, 2.756, 5.404, 8.933};

inline constexpr double referenceLengthCm = 18.6;
inline constexpr double referenceHz = 2093.0;

// K in f = K / L², with L in centimetres.
inline constexpr double pipeConstant = referenceHz * referenceLengthCm * referenceLengthCm;

double pipeFrequency(double lengthCm);

// The length that sounds a given frequency.
double lengthForFrequency(double hz);

// The pipe cut to sound one equal-tempered semitone above a pipe of the given length.
double sharpLength(double lengthCm);

// How far the pipe moves in mode k (0 for the fundamental, as partialRatios) at a point a
// fraction x (0 to 1) of its length from one end, relative to the end itself, which every
// mode moves by the same amount. Striking at x excites mode k in proportion to this; a cord
// tied where it is 0 does not damp mode k.
double modeShape(std::size_t k, double x);

// Where the fundamental does not move, as a fraction of the length from the nearer end (about
// 0.224): the place for the hanging hole.
double fundamentalNodeFraction();

} // namespace kw27::pipe
