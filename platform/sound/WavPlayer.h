#pragma once

#include <QString>

namespace kw27 {

// The one-sound WAV player (the stand-in for sndPlaySoundA).
// SND_SYNC: returns when the sound has ended; SND_ASYNC: returns at once and the sound plays
// on. A new play cuts off a sound that is still playing. A missing or unplayable file sounds a
// short built-in alert instead and returns false. Without a sound device every call returns at
// once in silence. The name is a data path as the programs spell it (see resolveDataPath).
constexpr unsigned SND_SYNC = 0;
constexpr unsigned SND_ASYNC = 1;

bool sndPlaySound(const QString& name, unsigned flags);

// What sndPlaySound hands the call to. The programs use the OpenAL player; tests install a
// recorder to see which sounds were asked for, in which mode.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual bool play(const QString& name, unsigned flags) = 0;
};

// Installs player (not owned) as the target of sndPlaySound; nullptr restores the default
// OpenAL player. Returns the one installed before.
SoundPlayer* setSoundPlayer(SoundPlayer* player);
// The player installed with setSoundPlayer, or nullptr when the default one is in use.
SoundPlayer* installedSoundPlayer();

} // namespace kw27
