#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

namespace kw27 {

// A picture button's glyph: a strip of equal square-ish images side by side, the first for the
// normal look and the second, when there is one, for the disabled look. As the toolkit's
// picture buttons do, the colour of each image's bottom-left pixel is drawn transparent.
// From a file, the icon also holds the double-size strip beside it ("name@2x.png") where there
// is one, for screens of device pixel ratio 2; its logical size is the first strip's.
QIcon glyphIcon(const QImage& strip, int count);
QIcon glyphIcon(const QString& fileName, int count);

// One image of the strip with its bottom-left colour made transparent.
QImage glyphImage(const QImage& strip, int count, int index);

} // namespace kw27
