#include "SongSounds.h"

#include "NoteTable.h"
#include "SoundTable.h"

namespace chimelab {

QStringList songSoundNames(const QStringList& lines) {
    QStringList names;
    names.reserve(lines.size());
    for (const QString& line : lines)
        names.append(soundPath(kw27::noteSoundIndex(line)));
    return names;
}

} // namespace chimelab
