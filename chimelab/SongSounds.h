#pragma once

#include <QStringList>

namespace chimelab {

// The sound files that 再 生 plays for the song's lines, in order: each line's note (a line
// that is no note's name plays the rest), then that entry's file in the sound table.
QStringList songSoundNames(const QStringList& lines);

} // namespace chimelab
