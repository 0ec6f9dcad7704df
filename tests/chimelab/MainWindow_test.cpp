#include "ChimelabFixture.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

using namespace chimelab::test;

TEST(MainWindow, FixedSizeCentredWindowWithItsTitleMenusPagesAndQuitButton) {
    StartedWindow started;
    chimelab::TForm1& form = *started.form;
    form.show();

    // The middle dot is the half-width katakana one.
    EXPECT_EQ(form.windowTitle(), QStringLiteral("パイプチャイム制作\uFF65設計ソフト KW-27"));
    EXPECT_EQ(form.centralWidget()->geometry(), QRect(0, form.menuBar()->height(), 601, 398));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_FALSE(form.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    form.resize(800, 600);
    EXPECT_EQ(form.centralWidget()->size(), QSize(601, 398));
    // Centred as far as the window system's frame, unknown until it is drawn, allows.
    const QMargins frame = form.windowHandle()->frameMargins();
    const QPoint offset = form.frameGeometry().center() -
                          QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE(std::abs(offset.x()), frame.left() + frame.right());
    EXPECT_LE(std::abs(offset.y()), frame.top() + frame.bottom());
    EXPECT_EQ(form.font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(form.ui->PageControl1->font().pixelSize(), 12);

    // File and Help; the Workshop menu between them has tests of its own.
    const QList<QAction*> menus = form.menuBar()->actions();
    ASSERT_EQ(menus.size(), 3);
    const std::array<const char*, 4> menuTexts{"ファイル", "終了(&X)", "ヘルプ", "KW-27の使い方"};
    const std::array<const char*, 2> hints{"プログラムを終了します。",
                                           "このソフトの説明書を表示します。"};
    for (int m = 0; m < 2; ++m) {
        QAction* menu = menus[2 * m];
        EXPECT_EQ(menu->text(), QString::fromUtf8(menuTexts[std::size_t(2 * m)]));
        const QList<QAction*> items = menu->menu()->actions();
        ASSERT_EQ(items.size(), 1);
        EXPECT_EQ(items[0]->text(), QString::fromUtf8(menuTexts[std::size_t(2 * m + 1)]));
        EXPECT_EQ(items[0]->statusTip(), QString::fromUtf8(hints[std::size_t(m)]));
    }

    QTabWidget* pages = form.ui->PageControl1;
    const char* captions[] = {"パイプの長さ", "音程", "シュミレーション", "仕様書作成",
                              "パイプで作曲"};
    ASSERT_EQ(pages->count(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(pages->tabText(i), QString::fromUtf8(captions[i]));
    EXPECT_EQ(pages->currentWidget(), form.ui->TabSheet1);
    EXPECT_EQ(pages->geometry(), QRect(0, 0, 601, 398));

    QPushButton* quit = form.ui->BitBtn9;
    EXPECT_EQ(quit->geometry(), QRect(506, 349, 81, 41));
    EXPECT_EQ(quit->text(), QStringLiteral("終 了"));
    EXPECT_EQ(quit->toolTip(), QStringLiteral("クリックすると終了します"));
    EXPECT_EQ(quit->palette().color(QPalette::ButtonText), QColor(255, 0, 0));
    EXPECT_FALSE(quit->icon().isNull());
    for (int page = 0; page < 5; ++page) { // on top of every page
        pages->setCurrentIndex(page);
        EXPECT_EQ(form.centralWidget()->childAt(quit->geometry().center()), quit) << page;
    }
}

TEST(MainWindow, QuitButtonMenuItemAndCloseBoxEachEndTheProgramWithoutAQuestion) {
    enum class Way { QuitButton, MenuItem, CloseBox };
    for (Way way : {Way::QuitButton, Way::MenuItem, Way::CloseBox}) {
        SCOPED_TRACE(int(way));
        StartedWindow started;
        chimelab::TForm1& form = *started.form;
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        QTimer::singleShot(0, &form, [&] {
            if (way == Way::QuitButton)
                QTest::mouseClick(form.ui->BitBtn9, Qt::LeftButton);
            else if (way == Way::MenuItem)
                form.ui->Exit1->trigger();
            else
                form.windowHandle()->close();
        });
        // The event loop ends by itself once the window has closed; 99 means it did not.
        QTimer::singleShot(10000, qApp, [] { QCoreApplication::exit(99); });
        EXPECT_EQ(QCoreApplication::exec(), 0);
        EXPECT_FALSE(form.isVisible());
        EXPECT_TRUE(started.boxes.boxes.empty());
    }
}

TEST(MainWindow, MakesEachDialogOnceWhenFirstAskedAndNeverShowsItItself) {
    StartedWindow started;
    chimelab::TForm1& form = *started.form;
    EXPECT_TRUE(form.findChildren<QDialog*>().isEmpty());
    QFileDialog* open = form.OpenDialog1();
    EXPECT_EQ(open->windowTitle(), QStringLiteral("ファイルを開く"));
    EXPECT_EQ(open->nameFilters(), QStringList{QStringLiteral("ソングファイル(*.ksg)")});
    EXPECT_EQ(open->defaultSuffix(), QStringLiteral("ksg"));
    EXPECT_EQ(form.SaveDialog1()->windowTitle(), QStringLiteral("ファイルを保存"));
    EXPECT_EQ(form.SaveDialog1()->acceptMode(), QFileDialog::AcceptSave);
    ASSERT_NE(form.PrinterSetupDialog1()->printer(), nullptr);
    EXPECT_EQ(form.OpenDialog1(), open);
    EXPECT_EQ(form.findChildren<QDialog*>().size(), 3);
    for (QDialog* dialog : form.findChildren<QDialog*>())
        EXPECT_FALSE(dialog->isVisible());
}

TEST(MainWindow, EveryControlOnEveryPageHasANameAScreenReaderCanSay) {
    StartedWindow started;
    QStringList unnamed;
    for (QWidget* w : started.form->findChildren<QWidget*>()) {
        const bool control = w->property("Caption").isValid() ||
                             qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                             qobject_cast<QComboBox*>(w) || qobject_cast<QPlainTextEdit*>(w) ||
                             qobject_cast<QTextEdit*>(w);
        if (control && !qobject_cast<QComboBox*>(w->parentWidget()) &&
            !w->objectName().startsWith(QLatin1String("qt_")) && w->height() > 0 &&
            w->accessibleName().isEmpty())
            unnamed << w->objectName();
    }
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(QLatin1Char(' ')).toStdString();
}
