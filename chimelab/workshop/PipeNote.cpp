#include "PipeNote.h"

#include <array>
#include <cmath>

namespace kw27::workshop {
namespace {

const std::array<QString, 12> names = {
    QStringLiteral("ド"),  QStringLiteral("ド#"),  QStringLiteral("レ"),    QStringLiteral("レ#"),
    QStringLiteral("ミ"),  QStringLiteral("ファ"), QStringLiteral("ファ#"), QStringLiteral("ソ"),
    QStringLiteral("ソ#"), QStringLiteral("ラ"),   QStringLiteral("ラ#"),   QStringLiteral("シ"),
};
const std::array<const char*, 12> letters = {"C",  "C#", "D",  "D#", "E",  "F",
                                             "F#", "G",  "G#", "A",  "A#", "B"};

int wrap12(int n) {
    return ((n % 12) + 12) % 12;
}

} // namespace

double noteHz(int midi) {
    return 440.0 * std::exp2((midi - 69) / 12.0);
}

QString pitchClassName(int pitchClass) {
    return names[std::size_t(wrap12(pitchClass))];
}

QString pitchClassLetter(int pitchClass) {
    return QString::fromLatin1(letters[std::size_t(wrap12(pitchClass))]);
}

NoteReading readNote(double hz) {
    const double semitones = 69.0 + 12.0 * std::log2(hz / 440.0);
    NoteReading r;
    r.midi = int(std::lround(semitones));
    r.cents = int(std::lround((semitones - r.midi) * 100.0));
    r.name = pitchClassName(r.midi);
    // MIDI 60 is C4: the octave number changes at each C.
    const int octave = (r.midi - wrap12(r.midi)) / 12 - 1;
    r.letterName = pitchClassLetter(r.midi) + QString::number(octave);
    return r;
}

QString centsText(int cents) {
    if (cents > 0)
        return QStringLiteral("+%1").arg(cents);
    if (cents < 0)
        return QStringLiteral("−%1").arg(-cents);
    return QStringLiteral("0");
}

} // namespace kw27::workshop
