#pragma once

#include "PipeNote.h"

#include <QString>
#include <optional>

// What the workshop tells about one pipe of a given length.
namespace kw27::workshop {

struct PipeFacts {
    int lengthTenthsMm = 0;
    double hz = 0.0;
    NoteReading note;
    double holeMm = 0.0;   // the hanging hole, from either end
    double strikeMm = 0.0; // where to strike it: the middle
    // How much to file off to bring a flat pipe up to its note; 0 when it is not flat.
    double fileOffMm = 0.0;
};

PipeFacts pipeFacts(int lengthTenthsMm);

// The pipe lengths a pupil may type, in centimetres with one decimal: small enough that the
// plan shows every pipe at full size on A4, large enough to drill and hang.
inline constexpr int shortestPipeTenthsMm = 1000;
inline constexpr int longestPipeTenthsMm = 2700;
inline constexpr int widestKerfTenthsMm = 50;

// A length typed in centimetres ("17", "17.0", full-width digits too) in tenths of a
// millimetre; nothing when it is not a number with at most one decimal, or out of range.
std::optional<int> parsePipeLength(const QString& text);
// A saw width typed in millimetres, 0 to 5 with at most one decimal, in tenths of a millimetre.
std::optional<int> parseKerf(const QString& text);

// Tenths of a millimetre in millimetres with one decimal ("186.0"), or in centimetres ("18.6").
QString mmText(int tenthsMm);
QString cmText(int tenthsMm);
// A measure in millimetres with one decimal ("41.7").
QString measureText(double mm);

} // namespace kw27::workshop
