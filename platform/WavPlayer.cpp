#include "WavPlayer.h"

#include "AudioOutput.h"
#include "OpenAlWavPlayer.h"

#include <utility>

namespace kw27 {

namespace {

SoundPlayer* installedPlayer = nullptr;

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

}  // namespace

bool sndPlaySound(const QString& name, unsigned flags) {
    SoundPlayer& player = installedPlayer ? *installedPlayer : defaultPlayer();
    return player.play(name, flags);
}

SoundPlayer* setSoundPlayer(SoundPlayer* player) {
    return std::exchange(installedPlayer, player);
}

}  // namespace kw27
