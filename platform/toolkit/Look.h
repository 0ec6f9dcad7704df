#pragma once

#include "TColor.h"

#include <QPalette>
#include <QWidget>

class QStyle;

namespace kw27 {

// The windows' own look: "ＭＳ Ｐゴシック" 12 pixels on button face. Set before a window's
// controls are made, so that they are laid out once, in this font.
void setWindowLook(QWidget* window);

// A control's text colour, as the layouts give it (WindowText for labels, ButtonText for
// buttons).
void setTextColour(QWidget* widget, TColor colour, QPalette::ColorRole role = QPalette::WindowText);

// A control's background colour, for controls that fill their own background.
void setBackgroundColour(QWidget* widget, TColor colour);

// The setters of a control's look store a value and repaint only when it changes.
template <class T> void storeAndRepaint(QWidget& control, T& field, T value) {
    if (field == value)
        return;
    field = value;
    control.update();
}

// Moves a window to the middle of the screen's available area, at its present size.
void centreOnScreen(QWidget* window);

// The classic desktop style (etched frames, a group's caption on its frame's top line), for
// the controls whose look the layouts were drawn for; one for the whole program.
QStyle* classicStyle();

} // namespace kw27
