#pragma once

#include "PipeCatalogue.h"

namespace chimelab {

// Chimelab's own length table, filled before any window exists and released at program end.
extern const kw27::LengthTable Length;

} // namespace chimelab
