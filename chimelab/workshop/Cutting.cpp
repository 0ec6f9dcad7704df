#include "Cutting.h"

namespace kw27::workshop {

Cutting cutting(const std::array<int, 3>& piecesTenthsMm, int kerfTenthsMm) {
    Cutting c;
    for (int piece : piecesTenthsMm)
        c.piecesTenthsMm += piece;
    c.cutsTenthsMm = 3 * kerfTenthsMm;
    c.usedTenthsMm = c.piecesTenthsMm + c.cutsTenthsMm;
    c.leftTenthsMm = tubeTenthsMm - c.usedTenthsMm;
    return c;
}

} // namespace kw27::workshop
