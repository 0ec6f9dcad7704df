#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QString>

namespace kw27 {

// Text in a bold font as a picture for a label, emboldened by hand where the face has no bold
// of its own. The toolkit emboldens such a face itself only below 64 pixels: larger characters
// are drawn as outlines, which it leaves regular. By hand, the outlines are widened by a
// twenty-fourth of the character height, as the toolkit widens the smaller ones. The picture
// is as large as the text drawn normally would be, at the given device pixel ratio.
QPixmap boldTextPicture(const QString& text, const QFont& font, const QColor& colour,
                        qreal devicePixelRatio);

} // namespace kw27
