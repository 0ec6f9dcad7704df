#include "SheetBuilder.h"
#include "SheetFont.h"
#include "SheetPrinter.h"
#include "SheetSamples.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>

namespace {

QFont sheetFont() {
    QFont font(QStringLiteral("ＭＳ ゴシック"));
    font.setPixelSize(19);
    return kw27::printFontOf(font);
}

QString runTool(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The printed text with all white space taken out (PDF text extraction guesses spaces and
// line ends from glyph positions; the characters and their order are what the printout fixes).
const QRegularExpression kSpace(QStringLiteral("\\s"),
                                QRegularExpression::UseUnicodePropertiesOption);

QString printedText(const QString& pdf) {
    return runTool(QStringLiteral("pdftotext"),
                   {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")})
        .remove(kSpace);
}

QString withoutSpace(const QStringList& lines) {
    return lines.join(QString()).remove(kSpace);
}

QString pdfInfo(const QString& pdf, const QString& field) {
    const QString info = runTool(QStringLiteral("pdfinfo"), {pdf});
    const auto match = QRegularExpression(QStringLiteral("^%1:\\s*(.*)$").arg(field),
                                          QRegularExpression::MultilineOption)
                           .match(info);
    return match.hasMatch() ? match.captured(1).trimmed() : QString();
}

QString printToPdf(const QStringList& paragraphs, const QString& name) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    const QString path = kw27::test::makeFolder(QStringLiteral("print")) + u'/' + name;
    printer.setOutputFileName(path);
    kw27::printSheet(paragraphs, sheetFont(), printer, QStringLiteral("仕様書"));
    return path;
}

kw27::SheetFields filledPage() {
    return kw27::test::sampleSheet(kw27::test::SheetSample::OverMaterial);
}

} // namespace

TEST(SheetPrint, PdfHoldsTheSheetsLinesInOrderUnderTheJobTitle) {
    const QStringList sheet = kw27::buildSheet(filledPage());
    const QString pdf = printToPdf(sheet, QStringLiteral("sheet.pdf"));
    EXPECT_EQ(printedText(pdf).toStdString(), withoutSpace(sheet).toStdString());
    EXPECT_EQ(pdfInfo(pdf, QStringLiteral("Title")), QStringLiteral("仕様書"));
    EXPECT_EQ(pdfInfo(pdf, QStringLiteral("Pages")), QStringLiteral("1"));
}

TEST(SheetPrint, LongTextGoesOnOverFurtherPagesAndLongLinesWrapWithNothingLost) {
    kw27::SheetFields f = filledPage();
    QStringList memo;
    for (int i = 1; i <= 120; ++i)
        memo += QStringLiteral("メモ%1行目").arg(i);
    memo += QString(300, QChar(u'長')) + QStringLiteral("終");
    f.memo = memo.join(u'\n');
    const QStringList sheet = kw27::buildSheet(f);
    const QString pdf = printToPdf(sheet, QStringLiteral("long.pdf"));

    EXPECT_EQ(printedText(pdf).toStdString(), withoutSpace(sheet).toStdString());
    const int pages = pdfInfo(pdf, QStringLiteral("Pages")).toInt();
    // 140 lines of 14 points and a 300-character line do not fit on one A4 page, nor need 5.
    EXPECT_GE(pages, 3);
    EXPECT_LE(pages, 4);
}

TEST(SheetPrint, BlankLinesTakeTheirPlaceOnThePage) {
    // Ninety blank lines between two words push the second onto the next page.
    QStringList lines{QStringLiteral("上")};
    for (int i = 0; i < 90; ++i)
        lines += QString();
    lines += QStringLiteral("下");
    const QString pdf = printToPdf(lines, QStringLiteral("blank.pdf"));
    EXPECT_EQ(pdfInfo(pdf, QStringLiteral("Pages")), QStringLiteral("2"));
    EXPECT_EQ(printedText(pdf), QStringLiteral("上下"));
}

TEST(SheetPrint, OutputThatCannotBeWrittenIsAPrintError) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QStringLiteral("missing-folder/sheet.pdf"));
    EXPECT_THROW(
        kw27::printSheet({QStringLiteral("x")}, sheetFont(), printer, QStringLiteral("仕様書")),
        kw27::ESheetPrintError);
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("missing-folder")));
}
