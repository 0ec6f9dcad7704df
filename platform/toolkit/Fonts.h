#pragma once

#include <QFont>
#include <QString>

namespace kw27 {

// "ＭＳ ゴシック" -> IPAGothic, "ＭＳ Ｐゴシック" -> IPAPGothic; once per process, so that code
// and forms keep the names they are given.
void installFontSubstitutions();

// A font by name and character height in pixels, as the layouts give them.
QFont pixelFont(const QString& family, int pixelHeight, bool bold = false, bool italic = false);

} // namespace kw27
