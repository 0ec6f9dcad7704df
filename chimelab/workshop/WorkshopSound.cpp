#include "WorkshopSound.h"

#include "PipeSound.h"

namespace kw27::workshop {

std::vector<std::int16_t> workshopSound(int lengthTenthsMm) {
    return pipe::synthesize(pipe::SoundSpec{pipe::SoundKind::Ring, lengthTenthsMm / 100.0,
                                            std::uint32_t(lengthTenthsMm), pipe::strikeAtMiddle});
}

} // namespace kw27::workshop
