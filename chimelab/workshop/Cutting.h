#pragma once

#include <array>

// Cutting three pipes from one tube: each cut eats the saw's width.
namespace kw27::workshop {

// The tube the pupils get, in tenths of a millimetre (all sums here are exact).
inline constexpr int tubeTenthsMm = 5900;

struct Cutting {
    int piecesTenthsMm = 0; // the three lengths together
    int cutsTenthsMm = 0;   // the three cuts together
    int usedTenthsMm = 0;   // both
    int leftTenthsMm = 0;   // what remains of the tube; negative when it is too short
    bool fits() const { return leftTenthsMm >= 0; }
};

// Pieces cut one after another from one end, each followed by a cut of kerf.
Cutting cutting(const std::array<int, 3>& piecesTenthsMm, int kerfTenthsMm);

} // namespace kw27::workshop
