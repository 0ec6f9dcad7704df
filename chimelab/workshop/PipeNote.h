#pragma once

#include <QString>

// Which note a pipe sounds and how far it is from it, in the names the programs use.
namespace kw27::workshop {

// Within this many cents either way a pipe counts as in tune.
inline constexpr int inTuneCents = 10;

struct NoteReading {
    int midi = 0;       // the nearest equal-tempered note (A4 = 440 Hz is 69)
    QString name;       // "ド", "ド#", "レ" ... "シ"
    QString letterName; // "C7", "C#7" ...
    int cents = 0;      // from that note, rounded to a whole cent: -50 to +50
    bool inTune() const { return cents >= -inTuneCents && cents <= inTuneCents; }
};

// The nearest note to hz (greater than 0).
NoteReading readNote(double hz);

// The frequency of an equal-tempered note.
double noteHz(int midi);

// The programs' name of a pitch class, 0 = C ("ド") to 11 = B ("シ"), and its letter ("C#").
QString pitchClassName(int pitchClass);
QString pitchClassLetter(int pitchClass);

// Signed whole cents as shown: "+15", "−24" (a minus sign, not a hyphen), "0".
QString centsText(int cents);

} // namespace kw27::workshop
