#pragma once

#include "KwError.h"

#include <QFont>
#include <QString>
#include <QStringList>

class QPrinter;

namespace kw27 {

// A failure the print system reports: no printer to print on, a job that cannot start or
// go on to the next page, an output file that cannot be written.
class ESheetPrintError : public EKwError {
public:
    using EKwError::EKwError;
};

// Prints the paragraphs on printer as one job titled jobTitle, in font (given for the
// printer: points, not pixels). They are laid over the whole printable area, line after line,
// long ones wrapped to its width, page after page until all are placed; an empty paragraph
// takes one line.
void printSheet(const QStringList& paragraphs, const QFont& font, QPrinter& printer,
                const QString& jobTitle);

} // namespace kw27
