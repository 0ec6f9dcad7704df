// The pipe workshop window: opened from its menu, fields taken as typed and checked when
// editing ends, readouts, the three pipes heard, and the plan printed or saved.
#include "ChimelabFixture.h"
#include "PipeWorkshopWindow.h"
#include "PrintService.h"
#include "QStringPrinting.h"
#include "WorkshopSound.h"
#include "workshop/PlanSample.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QInputMethodEvent>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

using namespace chimelab;

namespace {

// Answers a dialog from inside its own event loop once it shows.
class DialogAnswer {
public:
    explicit DialogAnswer(std::function<void()> answer) {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, answer);
        timer_.start(0);
    }

private:
    QTimer timer_;
};

// A workshop whose sounds go to a loopback output the test can read.
class Workshop : public ::testing::Test {
protected:
    Workshop()
        : window(doMiSoPlan(), QDir::currentPath(), nullptr, [this] {
              auto out = std::make_unique<kw27::LoopbackAudioOutput>(44100, 1);
              output = out.get();
              return out;
          }) {
        QCursor::setPos(0, 0);
    }
    // Shown and active, so that focus moves with Tab and editing ends as it does on a desktop.
    void showActive() {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    void type(QLineEdit* field, const QString& text) {
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
    }
    kw27::test::RecordingMessageSink boxes;
    kw27::LoopbackAudioOutput* output = nullptr;
    PipeWorkshopWindow window;
};

TEST(WorkshopMenu, BetweenFileAndHelpWithThePipeWorkshopFirst) {
    test::StartedWindow started;
    const QList<QAction*> menus = started.form->ui->MainMenu1->actions();
    ASSERT_EQ(menus.size(), 3);
    EXPECT_EQ(menus[0]->text(), QStringLiteral("ファイル"));
    EXPECT_EQ(menus[1]->text(), QStringLiteral("工作(&K)"));
    EXPECT_EQ(menus[2]->text(), QStringLiteral("ヘルプ"));
    EXPECT_EQ(started.form->ui->Workshop1->actions().value(0), started.form->ui->PipeWorkshop1);
    EXPECT_EQ(started.form->ui->PipeWorkshop1->text(), QStringLiteral("パイプ工房(&P)..."));
}

TEST(WorkshopMenu, OpensTheWorkshopModallyWithTheSheetsPipes) {
    test::StartedWindow started;
    TForm1& form = *started.form;
    form.show();
    form.sheetPage.ComboBox1->setCurrentIndex(11); // 25cm
    form.sheetPage.ComboBox3->setCurrentIndex(16); // ソ (15.3cm)
    form.sheetPage.Edit4->setText(QStringLiteral("山田"));
    QString title, first, second, third;
    bool modal = false, fixed = false, focused = false;
    DialogAnswer answer([&] {
        auto* w = qobject_cast<PipeWorkshopWindow*>(QApplication::activeModalWidget());
        ASSERT_NE(w, nullptr);
        title = w->windowTitle();
        modal = w->isModal();
        fixed = w->minimumSize() == w->maximumSize();
        focused = w->focusWidget() == w->ui.lengthEdit1;
        first = w->ui.lengthEdit1->text();
        second = w->ui.lengthEdit2->text();
        third = w->ui.lengthEdit3->text();
        w->ui.closeButton->click();
    });
    form.ui->PipeWorkshop1->trigger();
    EXPECT_EQ(title, QStringLiteral("パイプ工房"));
    EXPECT_TRUE(modal);
    EXPECT_TRUE(fixed);
    EXPECT_TRUE(focused);
    // The chosen pipes, and ミ where nothing is chosen.
    EXPECT_EQ(first, QStringLiteral("25.0"));
    EXPECT_EQ(second, QStringLiteral("16.5"));
    EXPECT_EQ(third, QStringLiteral("15.3"));
}

TEST(WorkshopStart, ChosenPipesOrDoMiSo) {
    const struct {
        std::array<int, 3> positions;
        std::array<int, 3> lengths;
    } rows[] = {
        {{-1, -1, -1}, {1860, 1650, 1530}},
        {{0, 11, 19}, {1400, 2500, 1310}},
        {{12, -1, 13}, {1860, 1650, 1760}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(workshopStartLengths(row.positions), row.lengths);
}

TEST_F(Workshop, TabOrderButtonsAndTheirTexts) {
    showActive();
    EXPECT_EQ(QApplication::focusWidget(), window.ui.lengthEdit1);
    const QWidget* order[] = {
        window.ui.lengthEdit1, window.ui.lengthEdit2,   window.ui.lengthEdit3,
        window.ui.kerfEdit,    window.ui.playButton1,   window.ui.playButton2,
        window.ui.playButton3, window.ui.playAllButton, window.ui.stopButton,
        window.ui.printButton, window.ui.saveButton,    window.ui.closeButton};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        QWidget* next = order[i]->nextInFocusChain();
        while (next->focusPolicy() == Qt::NoFocus)
            next = next->nextInFocusChain();
        EXPECT_EQ(next, order[i + 1]) << i;
    }
    const std::pair<QPushButton*, const char*> texts[] = {
        {window.ui.playButton1, "1本目を鳴らす(&1)"},
        {window.ui.playButton2, "2本目を鳴らす(&2)"},
        {window.ui.playButton3, "3本目を鳴らす(&3)"},
        {window.ui.playAllButton, "3本まとめて鳴らす(&A)"},
        {window.ui.stopButton, "止める(&T)"},
        {window.ui.printButton, "工作図を印刷(&P)..."},
        {window.ui.saveButton, "工作図を保存(&S)..."},
        {window.ui.closeButton, "閉じる(&C)"}};
    for (const auto& [button, text] : texts)
        EXPECT_EQ(button->text(), QString::fromUtf8(text));
    EXPECT_EQ(window.ui.kerfEdit->text(), QStringLiteral("2"));
}

TEST_F(Workshop, ReadoutsFollowTheTypingAndACompleteLengthIsTaken) {
    window.show();
    EXPECT_EQ(window.ui.noteLabel1->text(), QStringLiteral("ド (C7)"));
    EXPECT_EQ(window.ui.centsLabel3->text(), QStringLiteral("−24 セント"));
    EXPECT_EQ(window.ui.holeLabel1->text(), QStringLiteral("41.7 mm"));
    EXPECT_EQ(window.ui.fileLabel3->text(), QStringLiteral("1.0 mm"));
    EXPECT_EQ(window.ui.chordLabel->text(), QStringLiteral("和音：ド(C)の長三和音"));
    EXPECT_EQ(window.ui.leftLabel->text(), QStringLiteral("残り 80.0 mm"));
    EXPECT_TRUE(window.ui.leftLabel->isVisible());
    EXPECT_FALSE(window.ui.shortageLabel1->isVisible());

    window.ui.lengthEdit1->setFocus();
    window.ui.lengthEdit1->selectAll();
    QTest::keyClicks(window.ui.lengthEdit1, QStringLiteral("1"));
    // "1" is on its way to a length: kept in the field, nothing taken yet.
    EXPECT_EQ(window.ui.lengthEdit1->text(), QStringLiteral("1"));
    EXPECT_EQ(window.lengths()[0], 1860);
    QTest::keyClicks(window.ui.lengthEdit1, QStringLiteral("7.0"));
    EXPECT_EQ(window.lengths()[0], 1700);
    EXPECT_EQ(window.ui.hzLabel1->text(), QStringLiteral("2506 Hz"));
    EXPECT_EQ(window.ui.noteLabel1->text(), QStringLiteral("レ# (D#7)"));
    EXPECT_EQ(window.ui.centsLabel1->text(), QStringLiteral("+11 セント"));
    EXPECT_EQ(window.ui.chordLabel->text(), QStringLiteral("和音：和音になっていません"));
}

TEST_F(Workshop, ALengthOutOfRangeOrNotANumberIsRefusedWhenEditingEnds) {
    showActive();
    // Typed after 16.5; the field goes back to the last length it took, which may be one it
    // passed on the way ("27" of "27.1").
    const std::pair<const char*, const char*> rows[] = {
        {"9.9", "16.5"}, {"27.1", "27.0"}, {"abc", "16.5"}, {"17.05", "17.0"}, {"", "16.5"}};
    for (const auto& [bad, back] : rows) {
        SCOPED_TRACE(bad);
        type(window.ui.lengthEdit2, QStringLiteral("16.5"));
        QTest::keyClick(window.ui.lengthEdit2, Qt::Key_Tab);
        ASSERT_TRUE(window.ui.hintLabel->text().isEmpty());
        type(window.ui.lengthEdit2, QString::fromUtf8(bad));
        QTest::keyClick(window.ui.lengthEdit2, Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), window.ui.lengthEdit3);
        EXPECT_EQ(window.ui.lengthEdit2->text(), QString::fromUtf8(back));
        EXPECT_EQ(window.lengths()[1], int(std::lround(QString::fromUtf8(back).toDouble() * 100)));
        EXPECT_FALSE(window.ui.hintLabel->text().isEmpty());
    }
    // Full-width digits, as a Japanese input method commits them.
    type(window.ui.lengthEdit2, QString());
    QInputMethodEvent committed;
    committed.setCommitString(QStringLiteral("２０"));
    QApplication::sendEvent(window.ui.lengthEdit2, &committed);
    EXPECT_EQ(window.lengths()[1], 2000);
    QTest::keyClick(window.ui.lengthEdit2, Qt::Key_Tab);
    EXPECT_EQ(window.ui.lengthEdit2->text(), QStringLiteral("20.0"));
    EXPECT_TRUE(window.ui.hintLabel->text().isEmpty());

    type(window.ui.kerfEdit, QStringLiteral("6"));
    QTest::keyClick(window.ui.kerfEdit, Qt::Key_Tab);
    EXPECT_EQ(window.kerf(), 20);
    EXPECT_EQ(window.ui.kerfEdit->text(), QStringLiteral("2"));
    type(window.ui.kerfEdit, QStringLiteral("1.5"));
    QTest::keyClick(window.ui.kerfEdit, Qt::Key_Tab);
    EXPECT_EQ(window.kerf(), 15);
}

TEST_F(Workshop, TheSawsCutsCanMakeTheSheetsFiftyNineCentimetresTooLittle) {
    window.show();
    type(window.ui.lengthEdit1, QStringLiteral("20.0"));
    type(window.ui.lengthEdit2, QStringLiteral("20.0"));
    type(window.ui.lengthEdit3, QStringLiteral("19.0"));
    EXPECT_TRUE(window.ui.shortageLabel1->isVisible());
    EXPECT_TRUE(window.ui.shortageLabel2->isVisible());
    EXPECT_EQ(window.ui.shortageLabel1->text(), QStringLiteral("材料不足のため"));
    EXPECT_EQ(window.ui.shortageLabel2->text(), QStringLiteral("製作できません"));
    EXPECT_FALSE(window.ui.leftLabel->isVisible());
    type(window.ui.kerfEdit, QStringLiteral("0"));
    EXPECT_FALSE(window.ui.shortageLabel1->isVisible());
    EXPECT_EQ(window.ui.leftLabel->text(), QStringLiteral("残り 0.0 mm"));
}

TEST_F(Workshop, EachPipeAndAllThreeSoundAsGenerated) {
    window.show();
    type(window.ui.lengthEdit1, QStringLiteral("17.0"));
    window.ui.playButton1->click();
    ASSERT_NE(output, nullptr);
    const auto one = kw27::workshop::workshopSound(1700);
    output->render(one.size() + 500);
    for (std::size_t i = 0; i < one.size(); i += 7)
        ASSERT_EQ(output->rendered()[i], float(one[i]) / 32768.0f) << i;

    output->discardRendered();
    window.ui.playAllButton->click();
    const auto two = kw27::workshop::workshopSound(1650);
    const auto three = kw27::workshop::workshopSound(1530);
    output->render(2000);
    // All three from the very first frame on.
    for (std::size_t i = 0; i < 2000; ++i)
        ASSERT_NEAR(output->rendered()[i], (one[i] + two[i] + three[i]) / 32768.0f, 1e-6) << i;

    window.ui.stopButton->click();
    output->render(std::size_t(output->periodFrames()) * 3);
    EXPECT_FALSE(window.player()->isPlaying());
    EXPECT_EQ(output->rendered().back(), 0.0f);
}

TEST_F(Workshop, SavesThePlanAsAPdfWithNoBoxAfter) {
    window.show();
    QString offered;
    const QString path = QDir::current().filePath(QStringLiteral("plan.pdf"));
    DialogAnswer answer([&] {
        offered = window.saveDialog()->selectedFiles().value(0);
        window.saveDialog()->selectFile(path);
        static_cast<QDialog*>(window.saveDialog())->accept();
    });
    window.ui.saveButton->click();
    EXPECT_EQ(QFileInfo(offered).fileName(), QStringLiteral("工作図.pdf"));
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().startsWith("%PDF-"));
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(Workshop, APlanThatCannotBeSavedGetsTheSheetsSaveMessage) {
    window.show();
    DialogAnswer answer([&] {
        window.saveDialog()->selectFile(QStringLiteral("/proc/no-such-folder/plan.pdf"));
        static_cast<QDialog*>(window.saveDialog())->accept();
    });
    window.ui.saveButton->click();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, QStringLiteral("警告"));
    EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("ファイルが保存できません｡"));
}

TEST_F(Workshop, PrintingWithoutAPrinterGetsTheSheetsPrinterMessage) {
    window.show();
    const kw27::PrinterCheck before = kw27::setPrinterCheck([] { return false; });
    window.ui.printButton->click();
    kw27::setPrinterCheck(before);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("印刷が出来ません｡プリンタを確認してください｡"));
}

} // namespace
