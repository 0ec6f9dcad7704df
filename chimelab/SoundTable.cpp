#include "SoundTable.h"

#include "WavPlayer.h"

#include <array>
#include <stdexcept>
#include <string>

namespace chimelab {

namespace {

constexpr std::array<const char*, SoundCount> sounds{{
    "data\\data2\\14cm.wav",
    "data\\data2\\15cm.wav",
    "data\\data2\\16cm.wav",
    "data\\data2\\17cm.wav",
    "data\\data2\\18cm.wav",
    "data\\data2\\19cm.wav",
    "data\\data2\\20cm.wav",
    "data\\data2\\21cm.wav",
    "data\\data2\\22cm.wav",
    "data\\data2\\23cm.wav",
    "data\\data2\\24cm.wav",
    "data\\data2\\25cm.wav",

    "data\\C.wav",
    "data\\D.wav",
    "data\\E.wav",
    "data\\F.wav",
    "data\\G.wav",
    "data\\A.wav",
    "data\\B.wav",
    "data\\C2.wav",

    "data\\data2\\C.wav",
    "data\\data2\\D.wav",
    "data\\data2\\E.wav",
    "data\\data2\\F.wav",
    "data\\data2\\G.wav",
    "data\\data2\\A.wav",
    "data\\data2\\B.wav",
    "data\\data2\\C2.wav",

    "data\\data2\\C#.wav",
    "data\\data2\\D#.wav",
    "data\\data2\\F#.wav",
    "data\\data2\\G#.wav",
    "data\\data2\\A#.wav",

    "data\\data2\\yasumi.wav",
}};

} // namespace

std::uint8_t playMode = 0;

QString soundPath(int entry) {
    if (entry < 1 || entry > SoundCount)
        throw std::out_of_range("sound table entry " + std::to_string(entry));
    return QString::fromLatin1(sounds[std::size_t(entry - 1)]);
}

void playEntry(int entry, std::uint8_t mode) {
    kw27::sndPlaySound(soundPath(entry), mode == 1 ? kw27::SND_SYNC : kw27::SND_ASYNC);
}

} // namespace chimelab
