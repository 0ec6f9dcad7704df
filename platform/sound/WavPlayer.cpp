#include "WavPlayer.h"

#include "AudioOutput.h"
#include "OpenAlWavPlayer.h"

namespace kw27 {

namespace {

// Built on the first play that reaches it and torn down at exit: the player goes first, then
// the device it played on.
struct DefaultPlayer {
    SystemAudioOutput output;
    OpenAlWavPlayer player{output};
};

SoundPlayer& defaultPlayer() {
    static DefaultPlayer instance;
    return instance.player;
}

} // namespace

bool sndPlaySound(const QString& name, unsigned flags) {
    SoundPlayer* installed = installedSoundPlayer();
    return (installed ? *installed : defaultPlayer()).play(name, flags);
}

} // namespace kw27
