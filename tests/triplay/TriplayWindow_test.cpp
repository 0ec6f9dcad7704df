#include "Total.h"
#include "TriplayFixture.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <utility>
#include <vector>

using namespace triplaytest;

// Failures show texts as text rather than as UTF-16 units.
static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

TEST(TriplayWindow, LaidOutWithTheCatalogueInEachChooserAndNothingChosen) {
    makeSoundFolder();
    Started started;
    triplay::TForm1& form = *started.form;
    triplay::Ui::TForm1& ui = started.ui();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("パイプを3本まとめて鳴らす"));
    EXPECT_EQ(form.size(), QSize(508, 354));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_FALSE(form.windowFlags() &
                 (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(form.font().pixelSize(), 12);
    EXPECT_EQ(form.DDSD1->ChannelCount(), 21);
    EXPECT_TRUE(started.boxes.boxes.empty());

    for (QComboBox* chooser : {ui.ComboBox1, ui.ComboBox2, ui.ComboBox3}) {
        SCOPED_TRACE(chooser->objectName().toStdString());
        QStringList items;
        for (int i = 0; i < chooser->count(); ++i)
            items << chooser->itemText(i);
        EXPECT_EQ(items, kw27::pipeLabels());
        EXPECT_EQ(chooser->currentIndex(), -1);
        EXPECT_FALSE(chooser->isEditable());
        EXPECT_EQ(chooser->toolTip(),
                  QStringLiteral("右側の下向き三角を押す\nとパイプが選択できます。"));
    }
    EXPECT_EQ(ui.ComboBox2->accessibleName(), QStringLiteral("パイプ2"));
    for (QLabel* label : {ui.Label2, ui.Label10, ui.Label11})
        EXPECT_TRUE(label->text().isEmpty()) << label->objectName().toStdString();

    // Panel2 lays its labels out from inside its sunken edge.
    const QPoint client = ui.Panel2->clientRect().topLeft();
    EXPECT_EQ(client, QPoint(2, 2));
    EXPECT_EQ(ui.Label1->pos() - client, QPoint(24, 24));
    EXPECT_EQ(ui.Label2->pos() - client, QPoint(32, 88));
    EXPECT_EQ(ui.Label3->pos() - client, QPoint(96, 88));
    EXPECT_EQ(ui.Label11->pos() - client, QPoint(24, 160));

    QList<QWidget*> tabOrder{ui.ComboBox1};
    for (QWidget* w = ui.ComboBox1->nextInFocusChain(); w != ui.ComboBox1;
         w = w->nextInFocusChain())
        if (w->focusPolicy() & Qt::TabFocus)
            tabOrder << w;
    EXPECT_EQ(tabOrder, (QList<QWidget*>{ui.ComboBox1, ui.ComboBox2, ui.ComboBox3, ui.CuteButton1,
                                         ui.CuteButton2}));
    EXPECT_EQ(QFontInfo(ui.Label4->font()).family(), QStringLiteral("IPAGothic"));
}

// The window draws its texts in their own face, without looking up other faces for glyphs it
// lacks: a character missing from the face would show as an empty box.
TEST(TriplayWindow, EveryTextItShowsIsInItsOwnFace) {
    makeSoundFolder();
    Started started;
    triplay::Ui::TForm1& ui = started.ui();
    choose(ui.ComboBox1, 11); // 25cm, レ, ミ: 59.1 cm, with the warning
    choose(ui.ComboBox2, 13);
    choose(ui.ComboBox3, 14);
    ASSERT_FALSE(ui.Label10->text().isEmpty());
    started.pressPlay();

    std::vector<std::pair<QFont, QString>> texts;
    for (const QLabel* label : started.form->findChildren<QLabel*>())
        texts.emplace_back(label->font(), label->text());
    for (const QComboBox* chooser : {ui.ComboBox1, ui.ComboBox2, ui.ComboBox3})
        for (int i = 0; i < chooser->count(); ++i)
            texts.emplace_back(chooser->font(), chooser->itemText(i));
    texts.emplace_back(ui.CuteButton1->font(), ui.CuteButton1->caption());
    texts.emplace_back(ui.CuteButton1->font(), QStringLiteral("まとめて鳴らす"));
    texts.emplace_back(ui.CuteButton2->font(), ui.CuteButton2->caption());
    for (const auto& [font, text] : texts) {
        const QFontMetrics metrics(font);
        for (const char32_t c : text.toUcs4())
            EXPECT_TRUE(QChar::isSpace(c) || metrics.inFontUcs4(c))
                << text.toStdString() << " U+" << std::hex << int(c);
    }
}

// The edge cases of the material check, as the handler adds and judges them.
TEST(TriplayTotal, ExactDecimalTotalJudgedAgainstTheMaterial) {
    struct Row {
        std::array<int, 3> positions;
        const char* text;
        bool warned;
    };
    const Row rows[] = {
        {{-1, -1, -1}, "0", false},    {{-1, 11, -1}, "25", false}, // 25cm alone
        {{6, 6, 5}, "59", false},      // 20 + 20 + 19: exactly the material
        {{11, 13, 14}, "59.1", true},  // 25 + レ 17.6 + ミ 16.5
        {{11, 12, 16}, "58.9", false}, // 25 + ド 18.6 + ソ 15.3
        {{12, 13, 14}, "52.7", false}, // not 52.699999...
        {{11, 11, 11}, "75", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const kw27::Currency total = triplay::pipeTotal(triplay::Length, row.positions);
        EXPECT_EQ(total.text(QLocale::c()), QString::fromLatin1(row.text));
        const triplay::TotalLook look = triplay::totalLook(total);
        EXPECT_EQ(look.colour, row.warned ? clRed : clBlue);
        EXPECT_EQ(look.points, row.warned ? 20 : 16);
        EXPECT_EQ(look.line1, row.warned ? QStringLiteral("材料不足のため") : QString());
        EXPECT_EQ(look.line2, row.warned ? QStringLiteral("製作できません") : QString());
    }
}

TEST(TriplayWindow, ChoosingShowsTheTotalAndAWarningThatGoesAgainBelowTheMaterial) {
    makeSoundFolder();
    Started started;
    triplay::Ui::TForm1& ui = started.ui();
    struct Step {
        QComboBox* chooser;
        int position;
        const char* total;
        bool warned;
    };
    const Step steps[] = {
        {ui.ComboBox2, 11, "25", false},   {ui.ComboBox1, 13, "42.6", false},
        {ui.ComboBox3, 14, "59.1", true},  {ui.ComboBox3, 12, "61.2", true},
        {ui.ComboBox1, 16, "58.9", false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.total);
        choose(step.chooser, step.position);
        EXPECT_EQ(
            ui.Label2->text(),
            QString::fromLatin1(step.total).replace(QLatin1Char('.'), QLocale().decimalPoint()));
        EXPECT_EQ(ui.Label2->palette().color(QPalette::WindowText),
                  step.warned ? QColor(255, 0, 0) : QColor(0, 0, 255));
        EXPECT_EQ(ui.Label2->font().pixelSize(), step.warned ? 27 : 21); // 20 or 16 points
        EXPECT_TRUE(ui.Label2->font().bold());
        EXPECT_EQ(ui.Label10->text(), step.warned ? QStringLiteral("材料不足のため") : QString());
        EXPECT_EQ(ui.Label11->text(), step.warned ? QStringLiteral("製作できません") : QString());
        EXPECT_GE(ui.Label2->width(),
                  ui.Label2->fontMetrics().horizontalAdvance(ui.Label2->text()));
        EXPECT_GE(ui.Label10->width(),
                  ui.Label10->fontMetrics().horizontalAdvance(ui.Label10->text()));
    }
    EXPECT_TRUE(triplay::ReadyToPlay) << "choosing does not touch the toggle";
}

TEST(TriplayWindow, ToggleCaptionsAndStateEvenWithNoPipeChosen) {
    makeSoundFolder();
    ddsdtest::LoopbackScope loopback;
    Started started;
    started.form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(started.form.get()));
    TCuteButton* toggle = started.ui().CuteButton1;
    EXPECT_EQ(toggle->caption(), QStringLiteral("まとめて鳴らす"));
    loopback.render(64);

    started.pressPlay();
    EXPECT_EQ(toggle->caption(), QStringLiteral("止める"));
    EXPECT_FALSE(triplay::ReadyToPlay);
    EXPECT_EQ(loopback.render(256), std::vector<int>(256, 0)) << "channel 0 is silent";

    started.pressPlay();
    EXPECT_EQ(toggle->caption(), QStringLiteral("まとめて鳴らす"));
    EXPECT_TRUE(triplay::ReadyToPlay);
    EXPECT_TRUE(started.boxes.boxes.empty());

    QTest::mouseClick(started.ui().CuteButton2, Qt::LeftButton);
    EXPECT_FALSE(started.form->isVisible());
}

TEST(TriplayWindow, AMissingSoundIsReportedOnceAndNoPipeSounds) {
    makeSoundFolder(12); // "Data\Data1\C.wav"
    ddsdtest::LoopbackScope loopback;
    Started started;
    ASSERT_EQ(started.boxes.boxes.size(), 1u);
    EXPECT_EQ(started.boxes.boxes[0].caption, QStringLiteral("警告"));
    EXPECT_EQ(started.boxes.boxes[0].text, QStringLiteral("Waveファイルが見つかりません。"));
    EXPECT_EQ(started.boxes.boxes[0].icon, kw27::MessageIcon::Warning);
    for (int p = 0; p < kw27::PipeCount; ++p)
        EXPECT_EQ(started.form->Wave(p) != nullptr, p < 12) << p;
    for (int k = 0; k < 21; ++k)
        EXPECT_EQ(started.form->DDSD1->Channel(k)->buffer(), nullptr) << k;

    started.form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(started.form.get()));
    choose(started.ui().ComboBox1, 0);
    choose(started.ui().ComboBox2, 11);
    started.pressPlay();
    EXPECT_EQ(started.ui().CuteButton1->caption(), QStringLiteral("止める"));
    EXPECT_EQ(loopback.render(256), std::vector<int>(256, 0));
    EXPECT_EQ(started.ui().Label2->text(), QStringLiteral("39"));
    EXPECT_EQ(started.boxes.boxes.size(), 1u);
}

TEST(TriplayWindow, WithoutASoundDeviceNothingIsSaidAndTheWindowWorks) {
    makeSoundFolder(12); // not even read without a device
    ddsdtest::NoDeviceScope noDevice;
    Started started;
    EXPECT_FALSE(started.form->DDSD1->initialized());
    EXPECT_TRUE(started.boxes.boxes.empty());
    for (int p = 0; p < kw27::PipeCount; ++p)
        EXPECT_EQ(started.form->Wave(p)->buffer(), nullptr) << p;

    started.form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(started.form.get()));
    choose(started.ui().ComboBox3, 11);
    EXPECT_EQ(started.ui().Label2->text(), QStringLiteral("25"));
    started.pressPlay();
    EXPECT_EQ(started.ui().CuteButton1->caption(), QStringLiteral("止める"));
    started.pressPlay();
    EXPECT_EQ(started.ui().CuteButton1->caption(), QStringLiteral("まとめて鳴らす"));
    EXPECT_TRUE(started.boxes.boxes.empty());
}

// Only a sound that cannot be loaded gets the window's warning; a device failure while the
// device opens ends the program, and one while the sounds are given to the channels is a
// general error with the window made all the same.
TEST(TriplayWindow, DeviceFailuresEachReachTheirOwnReport) {
    struct Row {
        ddsdtest::Op op;
        const char* text;       // nullptr: the window is not made
        kw27::MessageIcon icon; // of the one box shown
    };
    const Row rows[] = {
        {ddsdtest::Op::Cooperate, nullptr, {}},
        {ddsdtest::Op::CreateSecondary, "Waveファイルが見つかりません。",
         kw27::MessageIcon::Warning},
        {ddsdtest::Op::Duplicate,
         "setWaveData サウンドバッファの複製に失敗しました(Error Code(80004005))",
         kw27::MessageIcon::Stop},
    };
    makeSoundFolder();
    for (const Row& row : rows) {
        SCOPED_TRACE(int(row.op));
        ddsdtest::FaultyDeviceFactory device;
        device.fail(row.op, kw27::ds::DSERR_GENERIC);
        kw27::test::RecordingMessageSink boxes;
        triplay::ReadyToPlay = true;
        if (!row.text) {
            try {
                triplay::TForm1 form;
                form.FinishLoading();
                ADD_FAILURE() << "the sounds were loaded";
            } catch (const EDDSD& error) {
                EXPECT_EQ(error.message(),
                          QStringLiteral(
                              "DirectSoundの協調レベルの設定に失敗しました(Error Code(80004005))"));
            }
            EXPECT_TRUE(boxes.boxes.empty());
            EXPECT_EQ(device.liveObjects, 0);
            continue;
        }
        auto form = std::make_unique<triplay::TForm1>();
        form->FinishLoading();
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].text, QString::fromUtf8(row.text));
        EXPECT_EQ(boxes.boxes[0].icon, row.icon);
        choose(form->ui->ComboBox1, 2);
        EXPECT_EQ(form->ui->Label2->text(), QStringLiteral("16"));
        form.reset();
        EXPECT_EQ(device.liveObjects, 0);
    }
}
