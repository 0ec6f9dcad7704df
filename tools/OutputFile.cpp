#include "OutputFile.h"

#include "WholeFile.h"

#include <QDir>
#include <QFileInfo>
#include <stdexcept>
#include <string>

namespace kw27::tools {

void writeOutputFile(const QString& path, const QByteArray& bytes) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        throw std::runtime_error("cannot create the folder of " + path.toStdString());
    const WholeFileWrite written = writeWholeFile(path, bytes);
    if (written.outcome != WholeFileWrite::Written)
        throw std::runtime_error("cannot write " + path.toStdString() + ": " +
                                 written.reason.toStdString());
}

} // namespace kw27::tools
