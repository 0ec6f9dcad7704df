#include "ChimelabFixture.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTest>
#include <QTimer>

using namespace chimelab::test;

TEST(MainWindow, TitleClientAreaAndFixedSize) {
    StartedWindow started;
    TForm1& form = *started.form;
    form.show();

    // The middle dot is the half-width katakana one.
    EXPECT_EQ(form.windowTitle(), QStringLiteral("パイプチャイム制作\uFF65設計ソフト KW-27"));
    EXPECT_EQ(form.centralWidget()->size(), QSize(601, 398));
    EXPECT_EQ(form.centralWidget()->y(), form.menuBar()->height());
    EXPECT_EQ(form.height(), form.menuBar()->height() + 398);
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_FALSE(form.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowCloseButtonHint));

    form.resize(800, 600);
    EXPECT_EQ(form.centralWidget()->size(), QSize(601, 398));

    const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
    // Centred as far as the window system's frame, unknown until it is drawn, allows.
    const QMargins frame = form.windowHandle()->frameMargins();
    const QPoint offset = form.frameGeometry().center() - screenCentre;
    EXPECT_LE(std::abs(offset.x()), frame.left() + frame.right());
    EXPECT_LE(std::abs(offset.y()), frame.top() + frame.bottom());

    EXPECT_EQ(form.font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(form.font().pixelSize(), 12);
    EXPECT_EQ(form.ui->PageControl1->font().pixelSize(), 12);
}

TEST(MainWindow, FivePagesInOrderTheFirstSelectedFillingTheClientArea) {
    StartedWindow started;
    QTabWidget* pages = started.form->ui->PageControl1;
    const char* captions[] = {"パイプの長さ", "音程", "シュミレーション", "仕様書作成",
                              "パイプで作曲"};
    ASSERT_EQ(pages->count(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(pages->tabText(i), QString::fromUtf8(captions[i]));
        EXPECT_EQ(pages->widget(i)->objectName(), QStringLiteral("TabSheet%1").arg(i + 1));
    }
    EXPECT_EQ(pages->currentIndex(), 0);
    EXPECT_EQ(pages->geometry(), QRect(0, 0, 601, 398));
}

TEST(MainWindow, TheQuitButtonSitsOverEveryPage) {
    StartedWindow started;
    TForm1& form = *started.form;
    form.show();
    QPushButton* quit = form.ui->BitBtn9;
    EXPECT_EQ(quit->parentWidget(), form.centralWidget());
    EXPECT_EQ(quit->geometry(), QRect(506, 349, 81, 41));
    EXPECT_EQ(quit->text(), QStringLiteral("終 了"));
    EXPECT_EQ(quit->toolTip(), QStringLiteral("クリックすると終了します"));
    EXPECT_EQ(quit->font().family(), QStringLiteral("ＭＳ ゴシック"));
    EXPECT_EQ(quit->font().pixelSize(), 16);
    EXPECT_TRUE(quit->font().bold());
    EXPECT_EQ(quit->palette().color(QPalette::ButtonText), QColor(255, 0, 0));
    for (int page = 0; page < 5; ++page) {
        form.ui->PageControl1->setCurrentIndex(page);
        const QPoint centre = quit->geometry().center();
        EXPECT_EQ(form.centralWidget()->childAt(centre), quit) << page;
    }
}

TEST(MainWindow, MenusHoldTheirItemsWithTheirHints) {
    StartedWindow started;
    TForm1& form = *started.form;
    const QList<QAction*> menus = form.menuBar()->actions();
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[0]->text(), QStringLiteral("ファイル"));
    EXPECT_EQ(menus[1]->text(), QStringLiteral("ヘルプ"));

    const QList<QAction*> file = menus[0]->menu()->actions();
    ASSERT_EQ(file.size(), 1);
    EXPECT_EQ(file[0]->text(), QStringLiteral("終了(&X)"));
    EXPECT_EQ(file[0]->statusTip(), QStringLiteral("プログラムを終了します。"));

    const QList<QAction*> help = menus[1]->menu()->actions();
    ASSERT_EQ(help.size(), 1);
    EXPECT_EQ(help[0]->text(), QStringLiteral("KW-27の使い方"));
    EXPECT_EQ(help[0]->statusTip(), QStringLiteral("このソフトの説明書を表示します。"));
}

TEST(MainWindow, QuitButtonMenuItemAndCloseBoxEachEndTheProgramWithoutAQuestion) {
    enum class Way { QuitButton, MenuItem, CloseBox };
    for (Way way : {Way::QuitButton, Way::MenuItem, Way::CloseBox}) {
        SCOPED_TRACE(int(way));
        StartedWindow started;
        TForm1& form = *started.form;
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        QTimer::singleShot(0, &form, [&] {
            switch (way) {
            case Way::QuitButton:
                QTest::mouseClick(form.ui->BitBtn9, Qt::LeftButton);
                break;
            case Way::MenuItem:
                form.ui->Exit1->trigger();
                break;
            case Way::CloseBox:
                form.windowHandle()->close();
                break;
            }
        });
        // The event loop ends by itself once the window has closed; 99 means it did not.
        QTimer::singleShot(10000, qApp, [] { QCoreApplication::exit(99); });
        EXPECT_EQ(QCoreApplication::exec(), 0);
        EXPECT_FALSE(form.isVisible());
        EXPECT_TRUE(started.boxes.boxes.empty());
    }
}

TEST(MainWindow, HoldsTheFileAndPrinterDialogsWithoutShowingThem) {
    StartedWindow started;
    TForm1& form = *started.form;
    form.show();
    QFileDialog* open = form.OpenDialog1();
    EXPECT_EQ(open->windowTitle(), QStringLiteral("ファイルを開く"));
    EXPECT_EQ(open->nameFilters(), QStringList{QStringLiteral("ソングファイル(*.ksg)")});
    EXPECT_EQ(open->defaultSuffix(), QStringLiteral("ksg"));
    EXPECT_EQ(open->acceptMode(), QFileDialog::AcceptOpen);
    QFileDialog* save = form.SaveDialog1();
    EXPECT_EQ(save->windowTitle(), QStringLiteral("ファイルを保存"));
    EXPECT_EQ(save->acceptMode(), QFileDialog::AcceptSave);
    QPrintDialog* printer = form.PrinterSetupDialog1();
    ASSERT_NE(printer->printer(), nullptr);
    // One object each, whoever asks.
    EXPECT_EQ(form.OpenDialog1(), open);
    EXPECT_EQ(form.SaveDialog1(), save);
    EXPECT_EQ(form.PrinterSetupDialog1(), printer);
    for (QDialog* dialog : {static_cast<QDialog*>(open), static_cast<QDialog*>(save),
                            static_cast<QDialog*>(printer)}) {
        EXPECT_EQ(dialog->parentWidget(), &form);
        EXPECT_FALSE(dialog->isVisible());
    }
}
