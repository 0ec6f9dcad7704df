#pragma once

#include <QImage>

// One function per picture, drawn at scale pixels per unit; Assets.cpp maps the file names
// to them.
namespace kw27::assets {

QImage drawIcon(int scale);
// The program icon at any size from 16 pixels, for the desktop's icon theme.
QImage drawIconAt(int pixels);
QImage drawDoor(int scale);
QImage drawLogo(int scale);
QImage drawPipe(int scale);
QImage drawClef(int scale);
QImage drawUndo(int scale);
QImage drawClear(int scale);
QImage drawSave(int scale);
QImage drawLoad(int scale);
QImage drawPrinter(int scale);
QImage drawFloppy(int scale);
QImage drawChime(int scale);
QImage drawLamp(int scale);

} // namespace kw27::assets
