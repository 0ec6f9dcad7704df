#pragma once

#include "KwError.h"

#include <QByteArray>
#include <QString>

namespace kw27 {

// The sheet file could not be written: it cannot be created or opened for writing, or the
// writing did not complete.
class ESheetSaveError : public EKwError {
public:
    using EKwError::EKwError;
};

// Writes document to path, replacing a file of that name without a question. The bytes go to
// a temporary file in the same folder that takes the name only once it is complete, so a
// failed save leaves an earlier file as it was and leaves no partial file behind.
void writeSheetFile(const QString& path, const QByteArray& document);

} // namespace kw27
