// Opens arbitrary bytes as an animation clip. Whatever it is given, the decoder must either
// refuse it or give frames of the size its header states, never reading outside the input.

#include "AviClip.h"

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto clip = kw27::loadAviClip(data, size);
    if (!clip)
        return 0;
    if (clip->frames.empty() || clip->framePeriodUs <= 0)
        __builtin_trap();
    for (const QImage& frame : clip->frames)
        if (frame.size() != clip->frameSize)
            __builtin_trap();
    return 0;
}
