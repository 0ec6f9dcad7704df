#include "Chord.h"

#include "PipeNote.h"

#include <algorithm>
#include <array>

namespace kw27::workshop {
namespace {

struct Shape {
    ChordKind kind;
    int third; // semitones above the root of the other two notes, lower first
    int fifth;
};

// Tried in this order for each root.
constexpr Shape shapes[] = {
    {ChordKind::Major, 4, 7},     {ChordKind::Minor, 3, 7}, {ChordKind::Diminished, 3, 6},
    {ChordKind::Augmented, 4, 8}, {ChordKind::Sus2, 2, 7},  {ChordKind::Sus4, 5, 7},
};

int pitchClass(int midi) {
    return ((midi % 12) + 12) % 12;
}

} // namespace

Chord chordOf(const std::array<int, 3>& midi) {
    std::array<int, 3> low = midi;
    std::sort(low.begin(), low.end());
    const int a = pitchClass(low[0]), b = pitchClass(low[1]), c = pitchClass(low[2]);
    if (a == b || b == c || a == c)
        return {};
    // Roots tried from the lowest note up.
    for (std::size_t r = 0; r < 3; ++r) {
        const int root = low[r];
        std::array<int, 2> above = {pitchClass(low[(r + 1) % 3] - root),
                                    pitchClass(low[(r + 2) % 3] - root)};
        std::sort(above.begin(), above.end());
        for (const Shape& s : shapes)
            if (above[0] == s.third && above[1] == s.fifth)
                return {s.kind, pitchClass(root)};
    }
    return {};
}

QString chordText(const Chord& chord) {
    if (chord.kind == ChordKind::None)
        return QStringLiteral("和音になっていません");
    // In the order of ChordKind.
    static const std::array<QString, 6> kinds = {
        QStringLiteral("長三和音"), QStringLiteral("短三和音"), QStringLiteral("減三和音"),
        QStringLiteral("増三和音"), QStringLiteral("sus2"),     QStringLiteral("sus4")};
    return QStringLiteral("%1(%2)の%3")
        .arg(pitchClassName(chord.rootPitchClass), pitchClassLetter(chord.rootPitchClass),
             kinds[std::size_t(chord.kind)]);
}

} // namespace kw27::workshop
