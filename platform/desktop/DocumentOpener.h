#pragma once

#include <QString>
#include <QUrl>
#include <functional>

namespace kw27 {

// Opens a document with the viewer that the desktop associates with its type, and returns
// once the viewer has been started (at most about two seconds): the viewer runs by itself. False
// when the file is not there or no viewer could be started. The file is looked at first because the
// desktop's opener reports success for a file that does not exist, leaving the viewer to complain,
// or nobody.
bool openDocument(const QString& fileName);

// What openDocument hands an existing file to: the desktop's opener (xdg-open, whose exit
// status says whether a viewer started; QDesktopServices::openUrl where there is none) unless
// a test has installed a recorder. Returns the one installed before; an empty function restores the
// desktop's.
using UrlOpener = std::function<bool(const QUrl&)>;
UrlOpener setUrlOpener(UrlOpener opener);

} // namespace kw27
