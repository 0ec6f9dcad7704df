#include "SaveFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace kw27 {

namespace {

bool takesNewFiles(const QString& folder) {
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

} // namespace

QString saveFolder(const QString& startDir) {
    if (startDir.isEmpty() || takesNewFiles(startDir))
        return startDir;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && takesNewFiles(documents))
        return QDir::toNativeSeparators(documents);
    return QDir::toNativeSeparators(QDir::homePath());
}

} // namespace kw27
