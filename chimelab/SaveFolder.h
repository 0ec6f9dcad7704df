#pragma once

#include <QString>

namespace kw27 {

// The folder the save dialogs start in: the start directory where the user may create files
// there; otherwise, as for a program installed where pupils may not write, the user's
// documents folder, or the home folder when there is none. An empty start directory stays
// empty: the dialogs then open where the platform chooses.
QString saveFolder(const QString& startDir);

} // namespace kw27
