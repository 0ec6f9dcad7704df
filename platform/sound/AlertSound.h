#pragma once

#include "WavDecoder.h"

namespace kw27 {

// The short default alert that stands in for a file that cannot be played: a soft 880 Hz
// tone of 0.15 s, mono 44.1 kHz, faded in and out so that it does not click. Played by the
// one-sound player and written where an exported tune has such a file, so both sound alike.
PcmSound makeAlertSound();

} // namespace kw27
