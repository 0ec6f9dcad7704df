#include "Unit1.h"

#include "Cp932Input.h"
#include "Fonts.h"
#include "Glyph.h"
#include "KwApplication.h"
#include "Lengths.h"
#include "Look.h"
#include "MessageBoxes.h"
#include "PrintService.h"
#include "RtfWriter.h"
#include "SaveFolder.h"
#include "SheetBuilder.h"
#include "SheetFile.h"
#include "SheetFont.h"
#include "SheetPrinter.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace chimelab {

namespace {

// Empties the holder and puts the sheet into it as built from the page as it is now, one
// paragraph per line, as plain text whatever the pupil typed.
void fillHolder(const Ui::SheetPage& page) {
    const kw27::SheetFields fields{
        page.Edit5->text(),
        page.Edit2->text(),
        page.Edit3->text(),
        page.Edit4->text(),
        page.ComboBox1->currentText(),
        page.ComboBox2->currentText(),
        page.ComboBox3->currentText(),
        page.Label27->text(),
        page.Memo2->toPlainText(),
    };
    const QStringList lines = kw27::buildSheet(fields);
    page.RichEdit1->clear();
    QTextCursor cursor(page.RichEdit1->document());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            cursor.insertBlock();
        cursor.insertText(lines[i]);
    }
}

// The holder's paragraphs, which are what is printed or saved.
QStringList holderParagraphs(const QTextEdit& holder) {
    QStringList paragraphs;
    for (QTextBlock block = holder.document()->begin(); block.isValid(); block = block.next())
        paragraphs += block.text();
    return paragraphs;
}

} // namespace

void TForm1::setUpSheetPage() {
    const QString gothic = QStringLiteral("ＭＳ ゴシック");
    struct LabelLook {
        QLabel* label;
        int pixels;
        bool bold;
        TColor colour;
    };
    const LabelLook labels[] = {
        {sheetPage.Label17, 16, false, clWindowText}, {sheetPage.Label21, 16, false, clWindowText},
        {sheetPage.Label16, 16, false, clWindowText}, {sheetPage.Label22, 16, false, clWindowText},
        {sheetPage.Label23, 16, false, clWindowText}, {sheetPage.Label18, 16, true, clBlue},
        {sheetPage.Label19, 16, true, clBlue},        {sheetPage.Label20, 16, true, clBlue},
        {sheetPage.Label24, 16, false, clWindowText}, {sheetPage.Label25, 16, false, clWindowText},
        {sheetPage.Label27, 19, true, clRed},         {sheetPage.Label26, 16, false, clWindowText},
    };
    for (const LabelLook& look : labels) {
        look.label->setFont(kw27::pixelFont(gothic, look.pixels, look.bold));
        kw27::setTextColour(look.label, look.colour);
        look.label->adjustSize();
    }

    // The main window's boxes hold only what code page 932 can write.
    for (QLineEdit* box : {sheetPage.Edit5, sheetPage.Edit2, sheetPage.Edit3, sheetPage.Edit4})
        box->setValidator(new kw27::Cp932Validator(box));

    for (QComboBox* chooser : {sheetPage.ComboBox1, sheetPage.ComboBox2, sheetPage.ComboBox3}) {
        chooser->addItems(kw27::pipeLabels());
        chooser->setCurrentIndex(kw27::NoPipe);
        // A pick by the pupil, not a change made by the program.
        kw27::connectHandler(chooser, &QComboBox::activated, this, &TForm1::ComboBox1Change);
    }

    struct ButtonLook {
        QToolButton* button;
        const char* picture;
        QSize size;
    };
    const ButtonLook buttons[] = {
        {sheetPage.BitBtn7, ":/assets/printer.png", QSize(44, 39)},
        {sheetPage.BitBtn8, ":/assets/floppy.png", QSize(43, 43)},
    };
    for (const ButtonLook& look : buttons) {
        look.button->setFont(kw27::pixelFont(gothic, 16, true));
        kw27::setTextColour(look.button, clNavy, QPalette::ButtonText);
        look.button->setIcon(kw27::glyphIcon(QString::fromLatin1(look.picture), 1));
        look.button->setIconSize(look.size);
    }
    kw27::connectHandler(sheetPage.BitBtn7, &QToolButton::clicked, this, &TForm1::BitBtn7Click);
    kw27::connectHandler(sheetPage.BitBtn8, &QToolButton::clicked, this, &TForm1::BitBtn8Click);

    sheetPage.RichEdit1->setFont(kw27::pixelFont(gothic, 19));
}

void TForm1::ComboBox1Change(QObject*) {
    const kw27::Currency total = chimelab::Length.ofPosition(sheetPage.ComboBox1->currentIndex()) +
                                 chimelab::Length.ofPosition(sheetPage.ComboBox2->currentIndex()) +
                                 chimelab::Length.ofPosition(sheetPage.ComboBox3->currentIndex());
    kw27::setTextColour(sheetPage.Label27, total > kw27::Currency::fromWhole(59) ? clRed : clBlue);
    sheetPage.Label27->setText(total.text());
    sheetPage.Label27->adjustSize();
}

void TForm1::BitBtn7Click(QObject*) {
    fillHolder(sheetPage);
    QPrintDialog* dialog = PrinterSetupDialog1();
    // The sheet is printed whole: no page range to choose.
    dialog->setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize |
                       QAbstractPrintDialog::PrintCollateCopies);
    try {
        // Without a printer the set-up dialog would offer nothing but a PDF file.
        if (!kw27::printerInstalled())
            throw kw27::ESheetPrintError(QStringLiteral("no printer is installed"));
        if (dialog->exec() != QDialog::Accepted)
            return;
        kw27::printSheet(holderParagraphs(*sheetPage.RichEdit1),
                         kw27::printFontOf(sheetPage.RichEdit1->font()), *dialog->printer(),
                         QStringLiteral("仕様書"));
    } catch (const kw27::ESheetPrintError&) {
        kw27::showWarning(this, QStringLiteral("印刷が出来ません｡プリンタを確認してください｡"));
    }
}

void TForm1::BitBtn8Click(QObject*) {
    QFileDialog* dialog = SaveDialog1();
    // Set on every press: the song page shows the same dialog with its own values, and the
    // name offered is always the sheet's, never the one last chosen.
    dialog->setNameFilter(QStringLiteral("仕様書ファイル (*.rtf)"));
    if (!StartDir.isEmpty())
        dialog->setDirectory(kw27::saveFolder(StartDir));
    dialog->selectFile(QStringLiteral("仕様書"));
    dialog->setDefaultSuffix(QStringLiteral("rtf"));
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    fillHolder(sheetPage);
    try {
        if (dialog->exec() != QDialog::Accepted)
            return;
        const QTextEdit& holder = *sheetPage.RichEdit1;
        kw27::writeSheetFile(
            dialog->selectedFiles().value(0),
            kw27::rtfDocument(holderParagraphs(holder), kw27::rtfFontOf(holder.font())));
    } catch (const kw27::ESheetSaveError&) {
        kw27::showWarning(this, QStringLiteral("ファイルが保存できません｡"));
    }
}

} // namespace chimelab
