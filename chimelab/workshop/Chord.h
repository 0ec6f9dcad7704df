#pragma once

#include <QString>
#include <array>

namespace kw27::workshop {

enum class ChordKind { Major, Minor, Diminished, Augmented, Sus2, Sus4, None };

struct Chord {
    ChordKind kind = ChordKind::None;
    int rootPitchClass = 0; // 0 = C ... 11 = B; meaningless for None
};

// The chord three notes make (MIDI numbers, in any order and octave). Three different pitch
// classes are needed. Where the same notes can be read two ways (sus2 on C is sus4 on G, an
// augmented triad has three roots), the reading whose root is the lowest note wins.
Chord chordOf(const std::array<int, 3>& midi);

// "ド(C)の長三和音", "ソ(G)のsus4", or "和音になっていません".
QString chordText(const Chord& chord);

} // namespace kw27::workshop
