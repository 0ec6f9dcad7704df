#include "SheetFile.h"

#include "WholeFile.h"

namespace kw27 {

void writeSheetFile(const QString& path, const QByteArray& document) {
    const WholeFileWrite written = writeWholeFile(path, document);
    if (written.outcome != WholeFileWrite::Written)
        throw ESheetSaveError(written.reason);
}

} // namespace kw27
