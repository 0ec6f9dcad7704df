#pragma once

#include <QImage>

// One function per picture; Assets.cpp maps the file names to them.
namespace kw27::assets {

QImage drawIcon();
QImage drawIconAt(int pixels);
QImage drawDoor();
QImage drawLogo();
QImage drawPipe();
QImage drawClef();
QImage drawUndo();
QImage drawClear();
QImage drawSave();
QImage drawLoad();
QImage drawPrinter();
QImage drawFloppy();
QImage drawChime();
QImage drawLamp();

}  // namespace kw27::assets
