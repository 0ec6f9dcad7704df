#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

// The programs' pictures come in two sizes: "name.png", and "name@2x.png" drawn at twice the
// pixels for screens of device pixel ratio 2 (the toolkit's naming). The windows are laid
// out in fixed pixels, so either is shown at the size of the first.
namespace kw27 {

// "pipe.png" -> "pipe@2x.png" (also with a folder in front).
QString doubleSizeName(const QString& fileName);

// A picture for a label on screens of the given device pixel ratio: above 1, the double-size
// drawing where there is one, marked with ratio 2 so that it takes the room of the picture
// itself; otherwise, or without one, the picture itself. A null pixmap when neither loads.
QPixmap loadPicture(const QString& fileName, qreal devicePixelRatio);

// The same for the application's screens (their highest ratio, read at the call).
QPixmap loadPicture(const QString& fileName);

// An icon holding the picture and its twin where there is one, each painted where it suits.
// (The toolkit's own look-up adds the twin only when the screen is dense at loading time.)
QIcon loadIcon(const QString& fileName);

} // namespace kw27
