#pragma once

namespace kw27 {

// Whether the print service has a printer to print on: there is none when the service is not
// installed or cannot be reached, or when it has no print queue.
bool printerInstalled();

// Stands in for the print service: printerInstalled() gives check's answer while it is set,
// and asks the service again once it is set back to nullptr. Returns the one set before.
using PrinterCheck = bool (*)();
PrinterCheck setPrinterCheck(PrinterCheck check);

} // namespace kw27
