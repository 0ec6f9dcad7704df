#include "ChimelabFixture.h"
#include "PipeCatalogue.h"
#include "PrintService.h"
#include "SheetBuilder.h"
#include "SheetRtfReader.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace chimelab::test;

namespace {

// Picks catalogue position p as the pupil does with the keyboard: top of the list, then down.
void choose(QComboBox* chooser, int p) {
    QTest::keyClick(chooser, Qt::Key_Home);
    for (int i = 0; i < p; ++i)
        QTest::keyClick(chooser, Qt::Key_Down);
    ASSERT_EQ(chooser->currentIndex(), p);
}

// Answers dialog from inside its own event loop, once the press under test has shown it.
class DialogAnswer {
public:
    DialogAnswer(QDialog* dialog, std::function<void()> answer) {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, [this, dialog, answer] {
            shown = dialog->isVisible();
            answer();
        });
        timer_.start(0);
    }
    bool shown = false;

private:
    QTimer timer_;
};

// Types text into the dialog's box of that name, as the pupil would.
void typeInto(QDialog* dialog, const char* box, const QString& text) {
    auto* edit = dialog->findChild<QLineEdit*>(QString::fromLatin1(box));
    ASSERT_NE(edit, nullptr) << box;
    edit->setText(text);
}

// Sends the print to a PDF file, the last entry of the print dialog's printer list.
void printToFile(QDialog* dialog, const QString& path) {
    auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
    ASSERT_NE(printers, nullptr);
    printers->setCurrentIndex(printers->count() - 1);
    typeInto(dialog, "filename", path);
}

// The print service with or without a printer, for the object's lifetime.
class StandInPrintService {
public:
    explicit StandInPrintService(bool printer)
        : previous_(kw27::setPrinterCheck(printer ? +[] { return true; } : +[] { return false; })) {
    }
    ~StandInPrintService() { kw27::setPrinterCheck(previous_); }
    StandInPrintService(const StandInPrintService&) = delete;
    StandInPrintService& operator=(const StandInPrintService&) = delete;

private:
    kw27::PrinterCheck previous_;
};

void fillPage(chimelab::Ui::SheetPage& page) {
    page.Edit5->setText(QStringLiteral("2001年 4月 10日"));
    page.Edit2->setText(QStringLiteral("北　中学校"));
    page.Edit3->setText(QStringLiteral("　2学年　3組"));
    page.Edit4->setText(QStringLiteral("鈴木 一郎"));
    choose(page.ComboBox1, 11);
    choose(page.ComboBox2, 6);
    choose(page.ComboBox3, 17);
    page.Memo2->setPlainText(QStringLiteral("材料は59cmまで｡\n\n短いパイプで作り直す"));
}

// The sheet of the filled page, one paragraph a line.
QString filledSheet() {
    return kw27::buildSheet({QStringLiteral("2001年 4月 10日"), QStringLiteral("北　中学校"),
                             QStringLiteral("　2学年　3組"), QStringLiteral("鈴木 一郎"),
                             QStringLiteral("25cm"), QStringLiteral("20cm"),
                             QStringLiteral("ラ (14.3cm)"), QStringLiteral("59.3"),
                             QStringLiteral("材料は59cmまで｡\n\n短いパイプで作り直す")})
        .join(u'\n');
}

QString savedSheet(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("(cannot read %1)").arg(path);
    const kw27::test::RtfRead read = kw27::test::readRtf(file.readAll(), true);
    return read.valid ? read.paragraphs.join(u'\n') : read.error;
}

// Text without white space: PDF text extraction guesses spaces and line ends.
QString withoutSpace(QString text) {
    static const QRegularExpression space(QStringLiteral("\\s"),
                                          QRegularExpression::UseUnicodePropertiesOption);
    return text.remove(space);
}

QString printedText(const QString& pdf) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QStringLiteral("(pdftotext failed)");
    return withoutSpace(QString::fromUtf8(process.readAllStandardOutput()));
}

void expectOneWarning(const kw27::test::RecordingMessageSink& sink, const char* text) {
    ASSERT_EQ(sink.boxes.size(), 1u);
    EXPECT_EQ(sink.boxes[0].caption, QStringLiteral("警告"));
    EXPECT_EQ(sink.boxes[0].text.toStdString(), text);
    EXPECT_EQ(sink.boxes[0].icon, kw27::MessageIcon::Warning);
}

} // namespace

TEST(SheetPage, TotalIsExactInShortestFormRedOnlyAbove59AndCountsAPipeOncePerChooser) {
    struct Row {
        int p1, p2, p3; // catalogue positions; -1 leaves the chooser alone
        const char* text;
        QColor colour;
    };
    const QColor blue(0, 0, 255), red(255, 0, 0);
    const Row rows[] = {
        {-1, -1, -1, "", red},      // as the page starts
        {11, -1, -1, "25", blue},   // 25cm alone
        {6, 6, 5, "59", blue},      // 20 + 20 + 19: the limit itself
        {11, 6, 17, "59.3", red},   // 25 + 20 + ラ 14.3
        {12, 13, 14, "52.7", blue}, // ド + レ + ミ, exactly one decimal
        {11, 11, 11, "75", red},    // 25cm in all three
        {-1, 19, 19, "26.2", blue}, // ド上 twice, the first chooser empty
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        StartedWindow started;
        started.form->show();
        chimelab::Ui::SheetPage& page = started.form->sheetPage;
        QComboBox* choosers[] = {page.ComboBox1, page.ComboBox2, page.ComboBox3};
        const int positions[] = {row.p1, row.p2, row.p3};
        for (int i = 0; i < 3; ++i) {
            QStringList items;
            for (int k = 0; k < choosers[i]->count(); ++k)
                items += choosers[i]->itemText(k);
            EXPECT_EQ(items, kw27::pipeLabels());
            EXPECT_FALSE(choosers[i]->isEditable());
            if (positions[i] >= 0)
                choose(choosers[i], positions[i]);
            else
                EXPECT_EQ(choosers[i]->currentIndex(), -1);
        }
        EXPECT_EQ(page.Label27->text().toStdString(), row.text);
        EXPECT_EQ(page.Label27->palette().color(QPalette::WindowText), row.colour);
        EXPECT_GE(page.Label27->width(),
                  page.Label27->fontMetrics().horizontalAdvance(page.Label27->text()));
    }
}

TEST(SheetPage, TabGoesThroughTheButtonsThenTheChoosersBoxesMemoAndDate) {
    StartedWindow started;
    chimelab::TForm1& form = *started.form;
    form.ui->PageControl1->setCurrentWidget(form.ui->TabSheet4);
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    const chimelab::Ui::SheetPage& page = form.sheetPage;
    const QWidget* order[] = {page.BitBtn7,   page.BitBtn8, page.ComboBox1, page.ComboBox2,
                              page.ComboBox3, page.Edit2,   page.Edit3,     page.Edit4,
                              page.Memo2,     page.Edit5};
    page.RichEdit1->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), page.RichEdit1);
    for (const QWidget* next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
    }
}

TEST(SheetPage, SaveOffersTheSheetsNameInTheStartFolderAndWritesTheSheetAsRtf) {
    StartedWindow started;
    chimelab::TForm1& form = *started.form;
    form.show();
    fillPage(form.sheetPage);
    const QString folder = kw27::test::makeFolder(QStringLiteral("sheets"));
    QFileDialog* dialog = form.SaveDialog1();

    // Name typed, file written: "rtf" goes only on a name without an extension.
    const struct {
        const char* typed;
        const char* written;
    } rows[] = {{"仕様書", "仕様書.rtf"}, {"chime.txt", "chime.txt"}, {"山田", "山田.rtf"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        QStringList offered;
        QString title, shownFolder, filter;
        DialogAnswer answer(dialog, [&] {
            offered = dialog->selectedFiles();
            title = dialog->windowTitle();
            shownFolder = dialog->directory().absolutePath();
            filter = dialog->selectedNameFilter();
            dialog->setDirectory(folder);
            typeInto(dialog, "fileNameEdit", QString::fromUtf8(row.typed));
            static_cast<QDialog*>(dialog)->accept(); // Save, as the button does
        });
        QTest::mouseClick(form.sheetPage.BitBtn8, Qt::LeftButton);
        ASSERT_TRUE(answer.shown);
        EXPECT_EQ(offered,
                  QStringList{QDir::current().absoluteFilePath(QStringLiteral("仕様書.rtf"))});
        EXPECT_EQ(title, QStringLiteral("ファイルを保存"));
        EXPECT_EQ(shownFolder, QDir::currentPath());
        EXPECT_EQ(filter, QStringLiteral("仕様書ファイル (*.rtf)"));
        EXPECT_EQ(savedSheet(folder + u'/' + QString::fromUtf8(row.written)).toStdString(),
                  filledSheet().toStdString());
    }
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 3);
    EXPECT_TRUE(started.boxes.boxes.empty());
}

TEST(SheetPage, SaveThatCannotCreateTheFileWarnsAndWritesNothingAndACancelledOneDoesNothing) {
    StartedWindow started;
    chimelab::TForm1& form = *started.form;
    form.show();
    QFileDialog* dialog = form.SaveDialog1();

    const QString readOnly = kw27::test::makeFolder(QStringLiteral("readonly"));
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ExeOwner);
    // Permissions do not hold back the superuser; that row then proves nothing and is left out.
    QFile probe(readOnly + QStringLiteral("/probe"));
    const bool permissionsHold = !probe.open(QIODevice::WriteOnly);
    probe.remove();
    const struct {
        QString folder;
        bool applies;
        bool removeOnceChosen; // a stick pulled out while the dialog is open
    } rows[] = {{readOnly, permissionsHold, false},
                {kw27::test::makeFolder(QStringLiteral("vanishing")), true, true}};
    for (const auto& row : rows) {
        if (!row.applies)
            continue;
        SCOPED_TRACE(row.folder.toStdString());
        started.boxes.boxes.clear();
        DialogAnswer answer(dialog, [&] {
            dialog->setDirectory(row.folder);
            if (row.removeOnceChosen)
                QDir(row.folder).removeRecursively();
            static_cast<QDialog*>(dialog)->accept();
        });
        QTest::mouseClick(form.sheetPage.BitBtn8, Qt::LeftButton);
        ASSERT_TRUE(answer.shown);
        expectOneWarning(started.boxes, "ファイルが保存できません｡");
        EXPECT_TRUE(QDir(row.folder).isEmpty());
    }
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    started.boxes.boxes.clear();
    DialogAnswer cancel(dialog, [&] { dialog->reject(); });
    QTest::mouseClick(form.sheetPage.BitBtn8, Qt::LeftButton);
    ASSERT_TRUE(cancel.shown);
    EXPECT_TRUE(started.boxes.boxes.empty());
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("仕様書.rtf")));
}

TEST(SheetPage, PrintCancelledPrintsNothingPrintedTwiceGivesTwoIdenticalSheetsFailedWarns) {
    const StandInPrintService service(true);
    StartedWindow started;
    chimelab::TForm1& form = *started.form;
    form.show();
    fillPage(form.sheetPage);
    QPrintDialog* dialog = form.PrinterSetupDialog1();
    const QString folder = kw27::test::makeFolder(QStringLiteral("printed"));
    auto press = [&](const QString& pdf, bool confirm) {
        DialogAnswer answer(dialog, [&] {
            printToFile(dialog, pdf);
            // Accepted as it stands: the dialog's own check of the file would ask first.
            confirm ? dialog->accept() : dialog->reject();
        });
        QTest::mouseClick(form.sheetPage.BitBtn7, Qt::LeftButton);
        EXPECT_TRUE(answer.shown);
    };

    press(folder + QStringLiteral("/cancelled.pdf"), false);
    EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("/cancelled.pdf")));
    for (const char* name : {"/first.pdf", "/second.pdf"}) {
        SCOPED_TRACE(name);
        press(folder + QString::fromLatin1(name), true);
        EXPECT_EQ(dialog->printer()->docName(), QStringLiteral("仕様書"));
        EXPECT_EQ(printedText(folder + QString::fromLatin1(name)).toStdString(),
                  withoutSpace(filledSheet()).toStdString());
    }
    EXPECT_TRUE(started.boxes.boxes.empty());

    press(folder + QStringLiteral("/missing-folder/sheet.pdf"), true);
    expectOneWarning(started.boxes, "印刷が出来ません｡プリンタを確認してください｡");
}

TEST(SheetPage, PrintWithNoPrinterInstalledWarnsWithoutOfferingAFile) {
    const StandInPrintService service(false);
    StartedWindow started;
    chimelab::TForm1& form = *started.form;
    form.show();
    QPrintDialog* dialog = form.PrinterSetupDialog1();
    DialogAnswer answer(dialog, [&] { dialog->accept(); });
    QTest::mouseClick(form.sheetPage.BitBtn7, Qt::LeftButton);
    EXPECT_FALSE(answer.shown);
    expectOneWarning(started.boxes, "印刷が出来ません｡プリンタを確認してください｡");
}
