#pragma once

#include <QtGlobal>
#include <qnamespace.h>

namespace kw27 {

// The state of the mouse buttons and keys at this moment, as the window system knows it. The
// toolkit's own record lags behind the events it has been sent: a button pressed outside the
// program and held as the pointer comes in is missing there until the next move, and a key's
// repeated release may come before the press that shows the key is still down. Without a
// window system to ask (offscreen), the toolkit's record; no key counts as held.

Qt::MouseButtons mouseButtonsHeld();

// keyCode is the window system's code for the key (QKeyEvent::nativeScanCode()).
bool keyHeld(quint32 keyCode);

} // namespace kw27
