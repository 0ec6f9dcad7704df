#include "Lengths.h"

namespace chimelab {

const kw27::LengthTable Length;

} // namespace chimelab
