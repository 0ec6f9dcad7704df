#pragma once

#include <QString>
#include <cstdint>

namespace chimelab {

// Chimelab's numbered sound files, 1-based:
//   1-12  the pipes of 14-25 cm (pipe-length page), entry k is the pipe of 13 + k cm
//   13-20 the eight scale pipes (pitch page)
//   21-28 the notes C to high C, 29-33 the sharps, 34 the rest (composition)
constexpr int SoundCount = 34;

QString soundPath(int entry);

// One byte, zero at start, set by a page handler just before it plays: 1 plays synchronously,
// any other value asynchronously.
extern std::uint8_t playMode;

// Plays a sound-table entry through the one-sound WAV player: flag 0 (return when the sound
// has ended) for mode 1, flag 1 (return at once, cutting off an earlier sound) otherwise.
// A missing file is not reported; the player sounds its alert instead.
void playEntry(int entry, std::uint8_t mode);

} // namespace chimelab
