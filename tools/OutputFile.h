#pragma once

#include <QByteArray>
#include <QString>

namespace kw27::tools {

// Writes a generated file whole, making its folders first; a std::runtime_error naming the
// file when it cannot.
void writeOutputFile(const QString& path, const QByteArray& bytes);

} // namespace kw27::tools
