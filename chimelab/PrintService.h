#pragma once

#include <QString>

#include <memory>

class QPrintDialog;
class QPrinter;
class QWidget;

namespace kw27 {

// Whether the print service has a printer to print on: there is none when the service is not
// installed or cannot be reached, or when it has no print queue.
bool printerInstalled();

// Stands in for the print service: printerInstalled() gives check's answer while it is set,
// and asks the service again once it is set back to nullptr. Returns the one set before.
using PrinterCheck = bool (*)();
PrinterCheck setPrinterCheck(PrinterCheck check);

// The print dialog of a window, made once: printer is made for it, in the printer's own
// resolution (pages are laid out in it, not the screen's).
QPrintDialog* makePrintDialog(std::unique_ptr<QPrinter>& printer, QWidget* window,
                              const QString& name);

} // namespace kw27
