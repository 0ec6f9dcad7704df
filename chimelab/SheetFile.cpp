#include "SheetFile.h"

#include <QSaveFile>

namespace kw27 {

void writeSheetFile(const QString& path, const QByteArray& document) {
    QSaveFile file(path);
    // Writing in place would be the only way into a folder that takes no new files, and
    // would destroy the earlier file on the way; refuse instead.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        throw ESheetSaveError(file.errorString());
    if (file.write(document) != document.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw ESheetSaveError(reason);
    }
    if (!file.commit())
        throw ESheetSaveError(file.errorString());
}

} // namespace kw27
