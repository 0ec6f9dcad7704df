#include "TColor.h"

#include <array>

namespace {

// The classic Windows scheme ("Windows Standard"), indexed by system colour number.
constexpr std::array<QRgb, 31> kClassicSystemColors = {
    0xFFC0C0C0, // 0 scroll bar
    0xFF008080, // 1 background (desktop)
    0xFF000080, // 2 active caption
    0xFF808080, // 3 inactive caption
    0xFFC0C0C0, // 4 menu
    0xFFFFFFFF, // 5 window
    0xFF000000, // 6 window frame
    0xFF000000, // 7 menu text
    0xFF000000, // 8 window text
    0xFFFFFFFF, // 9 caption text
    0xFFC0C0C0, // 10 active border
    0xFFC0C0C0, // 11 inactive border
    0xFF808080, // 12 application workspace
    0xFF000080, // 13 highlight
    0xFFFFFFFF, // 14 highlight text
    0xFFC0C0C0, // 15 button face
    0xFF808080, // 16 button shadow
    0xFF808080, // 17 grey text
    0xFF000000, // 18 button text
    0xFFC0C0C0, // 19 inactive caption text
    0xFFFFFFFF, // 20 button highlight
    0xFF000000, // 21 3-D dark shadow
    0xFFDFDFDF, // 22 3-D light
    0xFF000000, // 23 info text
    0xFFFFFFE1, // 24 info background
    0xFFB5B5B5, // 25 (unused)
    0xFF0000FF, // 26 hot light
    0xFF1084D0, // 27 gradient active caption
    0xFFB5B5B5, // 28 gradient inactive caption
    0xFF000080, // 29 menu highlight
    0xFFC0C0C0, // 30 menu bar
};

} // namespace

QColor colorToRgb(TColor color) {
    if (color & clSystemColor) {
        const unsigned index = color & 0xFFu;
        if (index < kClassicSystemColors.size())
            return QColor::fromRgb(kClassicSystemColors[index]);
        return QColor(Qt::black);
    }
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}
