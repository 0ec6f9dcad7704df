#pragma once

#include <cstdint>
#include <vector>

namespace kw27::workshop {

// The pipe of that length as the workshop plays it: the data set's generator, struck at the
// middle so that the harsh 2.756 × partial stays silent. 16-bit mono at pipe::sampleRate.
std::vector<std::int16_t> workshopSound(int lengthTenthsMm);

} // namespace kw27::workshop
