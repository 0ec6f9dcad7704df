#pragma once

#include "RtfWriter.h"

#include <QFont>

namespace kw27 {

// The holder's font is given in pixels at 96 dots per inch, as the page layout gives it. A
// printed or saved sheet needs points, which the rich-text control keeps as whole points,
// rounded half away from zero: 19 pixels are 14.25 points, kept as 14.
int wholePointSize(const QFont& font);

// The font of a saved sheet: the holder's family (with its Latin name where it has a known
// one) at its whole point size.
RtfFont rtfFontOf(const QFont& font);

// The font a sheet is printed in: the holder's family, weight and style at its whole point
// size, so that the printout matches the saved document.
QFont printFontOf(const QFont& font);

} // namespace kw27
