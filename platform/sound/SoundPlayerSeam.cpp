#include "WavPlayer.h"

namespace kw27 {

namespace {
SoundPlayer* g_installed = nullptr;
}

SoundPlayer* setSoundPlayer(SoundPlayer* player) {
    SoundPlayer* previous = g_installed;
    g_installed = player;
    return previous;
}

SoundPlayer* installedSoundPlayer() {
    return g_installed;
}

} // namespace kw27
