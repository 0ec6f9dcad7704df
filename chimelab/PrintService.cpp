#include "PrintService.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <utility>

namespace kw27 {

namespace {
PrinterCheck g_standIn = nullptr;
}

bool printerInstalled() {
    return g_standIn ? g_standIn() : !QPrinterInfo::availablePrinterNames().isEmpty();
}

PrinterCheck setPrinterCheck(PrinterCheck check) {
    return std::exchange(g_standIn, check);
}

QPrintDialog* makePrintDialog(std::unique_ptr<QPrinter>& printer, QWidget* window,
                              const QString& name) {
    printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    auto* dialog = new QPrintDialog(printer.get(), window);
    dialog->setObjectName(name);
    return dialog;
}

} // namespace kw27
