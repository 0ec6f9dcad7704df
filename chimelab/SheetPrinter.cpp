#include "SheetPrinter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>

namespace kw27 {

namespace {

void failUnlessPrinting(const QPrinter& printer, const char* step) {
    if (printer.printerState() == QPrinter::Error || printer.printerState() == QPrinter::Aborted)
        throw ESheetPrintError(QStringLiteral("printer error while %1").arg(QLatin1String(step)));
}

} // namespace

void printSheet(const QStringList& paragraphs, const QFont& font, QPrinter& printer,
                const QString& jobTitle) {
    if (!printer.isValid())
        throw ESheetPrintError(QStringLiteral("no printer to print on"));
    printer.setDocName(jobTitle);
    QPainter painter;
    if (!painter.begin(&printer))
        throw ESheetPrintError(QStringLiteral("the print job could not start"));

    // Metrics in the printer's own resolution, so the layout is the one that is printed.
    const QFont printed(font, &printer);
    const QFontMetricsF metrics(printed, &printer);
    const qreal pageWidth = printer.width();
    const qreal pageHeight = printer.height();
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);

    qreal y = 0;
    for (const QString& paragraph : paragraphs) {
        QTextLayout layout(paragraph, printed, &printer);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(pageWidth);
            line.setPosition(QPointF(0, 0));
        }
        layout.endLayout();

        // An empty paragraph still makes one line, as a blank line in an editor does.
        const int lineCount = std::max(layout.lineCount(), 1);
        for (int i = 0; i < lineCount; ++i) {
            const QTextLine line = i < layout.lineCount() ? layout.lineAt(i) : QTextLine();
            const qreal height = std::max(line.isValid() ? line.height() : 0.0, metrics.height()) +
                                 metrics.leading();
            if (y > 0 && y + height > pageHeight) {
                if (!printer.newPage())
                    throw ESheetPrintError(QStringLiteral("the next page could not start"));
                failUnlessPrinting(printer, "starting a page");
                y = 0;
            }
            if (line.isValid())
                line.draw(&painter, QPointF(0, y));
            y += height;
        }
    }
    failUnlessPrinting(printer, "printing");
    if (!painter.end())
        throw ESheetPrintError(QStringLiteral("the print job could not be finished"));
    failUnlessPrinting(printer, "finishing the job");
}

} // namespace kw27
