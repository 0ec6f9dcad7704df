#include "ChimelabFixture.h"
#include "PipeCatalogue.h"
#include "QStringPrinting.h"
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

const QString kPrintWarning = QStringLiteral("印刷が出来ません｡プリンタを確認してください｡");
const QString kSaveWarning = QStringLiteral("ファイルが保存できません｡");

// Picks catalogue position p in chooser as the pupil does with the keyboard: to the top of
// the list, then down.
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

// The filled page of these tests and the sheet it gives.
void fillPage(Ui::SheetPage& page) {
    page.Edit5->setText(QStringLiteral("2001年 4月 10日"));
    page.Edit2->setText(QStringLiteral("北　中学校"));
    page.Edit3->setText(QStringLiteral("　2学年　3組"));
    page.Edit4->setText(QStringLiteral("鈴木 一郎"));
    choose(page.ComboBox1, 11); // 25cm
    choose(page.ComboBox2, 6);  // 20cm
    choose(page.ComboBox3, 17); // ラ (14.3cm)
    page.Memo2->setPlainText(QStringLiteral("材料は59cmまで｡\n\n短いパイプで作り直す"));
}

const QStringList& filledSheet() {
    static const QStringList lines{
        QString(),
        QStringLiteral("2001年 4月 10日"),
        QString(),
        QStringLiteral("北　中学校"),
        QString(),
        QStringLiteral("　2学年　3組"),
        QString(),
        QStringLiteral("鈴木 一郎"),
        QString(),
        QString(),
        QStringLiteral("パイプ1　25cm"),
        QString(),
        QStringLiteral("パイプ2　20cm"),
        QString(),
        QStringLiteral("パイプ3　ラ (14.3cm)"),
        QString(),
        QStringLiteral("選択したパイプの長さの合計は59.3cmです"),
        QString(),
        QString(),
        QStringLiteral("材料は59cmまで｡"),
        QString(),
        QStringLiteral("短いパイプで作り直す"),
    };
    return lines;
}

QStringList rtfParagraphs(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("(cannot read %1)").arg(path)};
    const kw27::test::RtfRead read = kw27::test::readRtf(file.readAll(), true);
    return read.valid ? read.paragraphs : QStringList{read.error};
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

} // namespace

TEST(SheetPage, ChoosersListTheCatalogueTakeNoTypingAndStartWithNothingChosen) {
    StartedWindow started;
    const Ui::SheetPage& page = started.form->sheetPage;
    for (QComboBox* chooser : {page.ComboBox1, page.ComboBox2, page.ComboBox3}) {
        QStringList items;
        for (int i = 0; i < chooser->count(); ++i)
            items += chooser->itemText(i);
        EXPECT_EQ(items, kw27::pipeLabels());
        EXPECT_FALSE(chooser->isEditable());
        EXPECT_EQ(chooser->currentIndex(), -1);
    }
    EXPECT_TRUE(page.Label27->text().isEmpty());
    EXPECT_EQ(page.Label27->palette().color(QPalette::WindowText), QColor(255, 0, 0));
}

TEST(SheetPage, TotalIsExactInShortestFormRedOnlyAbove59AndCountsAPipeOncePerChooser) {
    struct Row {
        int p1, p2, p3; // catalogue positions; -1 leaves the chooser alone
        const char* text;
        QColor colour;
    };
    const QColor blue(0, 0, 255), red(255, 0, 0);
    const Row rows[] = {
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
        Ui::SheetPage& page = started.form->sheetPage;
        const int positions[] = {row.p1, row.p2, row.p3};
        QComboBox* choosers[] = {page.ComboBox1, page.ComboBox2, page.ComboBox3};
        for (int i = 0; i < 3; ++i)
            if (positions[i] >= 0)
                choose(choosers[i], positions[i]);
        EXPECT_EQ(page.Label27->text(), QString::fromUtf8(row.text));
        EXPECT_EQ(page.Label27->palette().color(QPalette::WindowText), row.colour);
        EXPECT_GE(page.Label27->width(),
                  page.Label27->fontMetrics().horizontalAdvance(page.Label27->text()));
    }
}

TEST(SheetPage, TabGoesThroughTheButtonsThenTheChoosersBoxesMemoAndDate) {
    StartedWindow started;
    TForm1& form = *started.form;
    form.ui->PageControl1->setCurrentWidget(form.ui->TabSheet4);
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    const Ui::SheetPage& page = form.sheetPage;
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
    TForm1& form = *started.form;
    form.show();
    fillPage(form.sheetPage);
    const QString folder = kw27::test::makeFolder(QStringLiteral("sheets"));
    QFileDialog* dialog = form.SaveDialog1();

    // name typed -> file written; "rtf" only goes on a name without an extension.
    const struct {
        const char* typed;
        const char* written;
    } rows[] = {{"仕様書", "仕様書.rtf"}, {"chime.txt", "chime.txt"}, {"山田", "山田.rtf"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        QStringList offered;
        QString title, folderShown, filter;
        DialogAnswer answer(dialog, [&] {
            offered = dialog->selectedFiles();
            title = dialog->windowTitle();
            folderShown = dialog->directory().absolutePath();
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
        EXPECT_EQ(folderShown, QDir::currentPath());
        EXPECT_EQ(filter, QStringLiteral("仕様書ファイル (*.rtf)"));
        EXPECT_EQ(
            rtfParagraphs(folder + u'/' + QString::fromUtf8(row.written)).join(u'\n').toStdString(),
            filledSheet().join(u'\n').toStdString());
    }
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 3);
    EXPECT_TRUE(started.boxes.boxes.empty());
}

TEST(SheetPage, SaveThatCannotCreateTheFileWarnsAndWritesNothingAndACancelledOneDoesNothing) {
    StartedWindow started;
    TForm1& form = *started.form;
    form.show();
    QFileDialog* dialog = form.SaveDialog1();

    const QString readOnly = kw27::test::makeFolder(QStringLiteral("readonly"));
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ExeOwner);
    // Permissions do not hold back the superuser; that row then proves nothing and is left out.
    QFile probe(readOnly + QStringLiteral("/probe"));
    const bool permissionsHold = !probe.open(QIODevice::WriteOnly);
    probe.remove();
    const QString vanishing = kw27::test::makeFolder(QStringLiteral("vanishing"));
    const struct {
        QString folder;
        bool applies;
        bool removeOnceChosen; // a stick pulled out while the dialog is open
    } rows[] = {{readOnly, permissionsHold, false}, {vanishing, true, true}};

    for (const auto& row : rows) {
        if (!row.applies)
            continue;
        SCOPED_TRACE(row.folder.toStdString());
        started.boxes.boxes.clear();
        DialogAnswer answer(dialog, [&] {
            dialog->setDirectory(row.folder);
            if (row.removeOnceChosen)
                QDir(row.folder).removeRecursively();
            static_cast<QDialog*>(dialog)->accept(); // Save, as the button does
        });
        QTest::mouseClick(form.sheetPage.BitBtn8, Qt::LeftButton);
        ASSERT_TRUE(answer.shown);
        ASSERT_EQ(started.boxes.boxes.size(), 1u);
        EXPECT_EQ(started.boxes.boxes[0].caption, QStringLiteral("警告"));
        EXPECT_EQ(started.boxes.boxes[0].text, kSaveWarning);
        EXPECT_EQ(started.boxes.boxes[0].icon, kw27::MessageIcon::Warning);
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

TEST(SheetPage, PrintingTwiceGivesTwoIdenticalSheetsUnderTheJobTitle) {
    StartedWindow started;
    TForm1& form = *started.form;
    form.show();
    fillPage(form.sheetPage);
    QPrintDialog* dialog = form.PrinterSetupDialog1();
    QPrinter* printer = dialog->printer();
    const QString folder = kw27::test::makeFolder(QStringLiteral("printed"));
    for (const QString& name : {QStringLiteral("first.pdf"), QStringLiteral("second.pdf")}) {
        SCOPED_TRACE(name.toStdString());
        DialogAnswer answer(dialog, [&] {
            printToFile(dialog, folder + u'/' + name);
            dialog->accept();
        });
        QTest::mouseClick(form.sheetPage.BitBtn7, Qt::LeftButton);
        ASSERT_TRUE(answer.shown);
        EXPECT_EQ(printer->docName(), QStringLiteral("仕様書"));
        EXPECT_EQ(printedText(folder + u'/' + name).toStdString(),
                  withoutSpace(filledSheet().join(QString())).toStdString());
    }
    EXPECT_TRUE(started.boxes.boxes.empty());
}

TEST(SheetPage, CancelledPrintPrintsNothingAndAFailedOneWarns) {
    StartedWindow started;
    TForm1& form = *started.form;
    form.show();
    QPrintDialog* dialog = form.PrinterSetupDialog1();
    const QString folder = kw27::test::makeFolder(QStringLiteral("printed"));
    {
        DialogAnswer answer(dialog, [&] {
            printToFile(dialog, folder + QStringLiteral("/sheet.pdf"));
            dialog->reject();
        });
        QTest::mouseClick(form.sheetPage.BitBtn7, Qt::LeftButton);
        ASSERT_TRUE(answer.shown);
    }
    EXPECT_TRUE(started.boxes.boxes.empty());
    EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("/sheet.pdf")));

    {
        // Accepted as it stands: the dialog's own check of the file would ask first.
        DialogAnswer answer(dialog, [&] {
            printToFile(dialog, folder + QStringLiteral("/missing-folder/sheet.pdf"));
            dialog->accept();
        });
        QTest::mouseClick(form.sheetPage.BitBtn7, Qt::LeftButton);
        ASSERT_TRUE(answer.shown);
    }
    ASSERT_EQ(started.boxes.boxes.size(), 1u);
    EXPECT_EQ(started.boxes.boxes[0].caption, QStringLiteral("警告"));
    EXPECT_EQ(started.boxes.boxes[0].text, kPrintWarning);
}
