#include "NoteTable.h"

#include "Cp932.h"

namespace kw27 {

int noteSoundIndexOfBytes(std::string_view cp932Line) {
    for (const Note& note : kNotes)
        if (note.cp932Name == cp932Line)
            return note.soundEntry;
    return kRestSoundEntry;
}

int noteSoundIndex(const QString& line) {
    // Text without a code page 932 form cannot be any note's name.
    const std::optional<std::string> bytes = cp932::encode(line);
    return bytes ? noteSoundIndexOfBytes(*bytes) : kRestSoundEntry;
}

} // namespace kw27
