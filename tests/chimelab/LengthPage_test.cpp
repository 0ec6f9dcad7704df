#include "ChimelabFixture.h"
#include "SoundTable.h"

#include <gtest/gtest.h>

#include <QTest>

using namespace chimelab::test;

namespace {

const QString dotTip = QStringLiteral("マウスカーソルが手の形に変\nわったらクリックしてください");

}  // namespace

TEST(LengthPage, EachDotPlaysItsPipeAtOnceAndShowsItsLengthInRed) {
    StartedWindow started;
    TForm1& form = *started.form;
    form.show();
    QLabel* length = form.lengthPage.Label5;
    EXPECT_TRUE(length->text().isEmpty());

    const auto all = dots(form);
    for (int k = 1; k <= 12; ++k) {
        SCOPED_TRACE(k);
        chimelab::playMode = 1;  // left synchronous by another page
        started.sounds.requests.clear();
        QTest::mouseClick(all[std::size_t(k - 1)], Qt::LeftButton);

        ASSERT_EQ(started.sounds.requests.size(), 1u);
        EXPECT_EQ(started.sounds.requests[0].name, chimelab::soundPath(k));
        EXPECT_EQ(started.sounds.requests[0].flags, kw27::SND_ASYNC);
        EXPECT_EQ(chimelab::playMode, 0);
        EXPECT_EQ(length->text(), QString::number(13 + k));
        EXPECT_GE(length->width(), length->fontMetrics().horizontalAdvance(length->text()));
    }
    EXPECT_EQ(length->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(form.lengthPage.Label4->text() + length->text() + form.lengthPage.Label6->text(),
              QStringLiteral("パイプの長さは25cmです"));
}

TEST(LengthPage, ASecondClickAsksForTheNewSoundAsynchronouslySoItCutsTheFirstOff) {
    StartedWindow started;
    TForm1& form = *started.form;
    form.show();
    started.sounds.requests.clear();
    QTest::mouseClick(form.lengthPage.SpeedButton1, Qt::LeftButton);
    QTest::mouseClick(form.lengthPage.SpeedButton12, Qt::LeftButton);
    QTest::mouseClick(form.lengthPage.SpeedButton12, Qt::LeftButton);
    ASSERT_EQ(started.sounds.requests.size(), 3u);
    EXPECT_EQ(started.sounds.requests[0].name, chimelab::soundPath(1));
    EXPECT_EQ(started.sounds.requests[1].name, chimelab::soundPath(12));
    EXPECT_EQ(started.sounds.requests[2].name, chimelab::soundPath(12));
    for (const auto& request : started.sounds.requests)
        EXPECT_EQ(request.flags, kw27::SND_ASYNC);
    EXPECT_EQ(form.lengthPage.Label5->text(), QStringLiteral("25"));
}

TEST(LengthPage, DotsAreMouseOnlyHandPointersOverThePipeShorterAndHigherToTheRight) {
    StartedWindow started;
    TForm1& form = *started.form;
    const QRect picture = form.lengthPage.Image1->geometry();
    EXPECT_EQ(form.lengthPage.Image1->toolTip(), dotTip);

    const auto all = dots(form);
    for (std::size_t i = 0; i < all.size(); ++i) {
        SCOPED_TRACE(i);
        TSpeedButton* dot = all[i];
        EXPECT_EQ(dot->text(), QStringLiteral("\uFF65"));
        EXPECT_EQ(dot->toolTip(), dotTip);
        EXPECT_EQ(dot->focusPolicy(), Qt::NoFocus);
        EXPECT_EQ(dot->cursor().shape(), Qt::PointingHandCursor);
        EXPECT_EQ(dot->width(), 19);
        EXPECT_EQ(dot->font().family(), QStringLiteral("ＭＳ ゴシック"));
        EXPECT_EQ(dot->font().pixelSize(), 20);
        EXPECT_TRUE(picture.contains(dot->geometry())) << "off the picture";
        EXPECT_EQ(dot->parentWidget(), form.lengthPage.Panel1);
        if (i > 0) {
            EXPECT_GT(dot->x(), all[i - 1]->x());
            EXPECT_LT(dot->height(), all[i - 1]->height());
            EXPECT_LE(dot->y(), all[i - 1]->y());
        }
    }
}

TEST(LengthPage, TheMarkersPointAtTheDotsOf15And20And25cm) {
    StartedWindow started;
    Ui::LengthPage& page = started.form->lengthPage;
    struct Marker {
        QFrame* bar;
        QLabel* label;
        int dot;  // 1-based, left to right
        const char* text;
    };
    const Marker markers[] = {{page.Shape1, page.Label1, 2, "15cm"},
                              {page.Shape2, page.Label2, 7, "20cm"},
                              {page.Shape3, page.Label3, 12, "25cm"}};
    const auto all = dots(*started.form);
    for (const Marker& marker : markers) {
        SCOPED_TRACE(marker.text);
        EXPECT_EQ(marker.label->text(), QString::fromUtf8(marker.text));
        const QRect bar = marker.bar->geometry();
        int under = 0;
        for (std::size_t i = 0; i < all.size(); ++i) {
            const int centre = all[i]->geometry().center().x();
            if (centre >= bar.left() - 1 && centre <= bar.right() + 1)
                under = int(i) + 1;
        }
        EXPECT_EQ(under, marker.dot);
        const QRect dot = all[std::size_t(marker.dot - 1)]->geometry();
        EXPECT_LT(bar.bottom(), dot.top());
        EXPECT_GE(dot.top() - bar.bottom(), 1);
        EXPECT_LE(dot.top() - bar.bottom(), 3) << "the bar stops short of its dot";
        EXPECT_LE(marker.label->geometry().top(), bar.top());
        EXPECT_EQ(marker.bar->grab().toImage().pixelColor(2, 2), QColor(255, 255, 0));
    }
}

TEST(LengthPage, ADotHasNoBackgroundOfItsOwnUntilTheMouseIsOverIt) {
    StartedWindow started;
    TForm1& form = *started.form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    TSpeedButton* dot = form.lengthPage.SpeedButton6;
    QWidget* panel = form.lengthPage.Panel1;
    const QRect area = dot->geometry();

    const QImage withDot = panel->grab(area).toImage();
    dot->hide();
    const QImage behind = panel->grab(area).toImage();
    dot->show();

    // Apart from the caption in the middle, the dot shows exactly what lies behind it.
    int changed = 0;
    int captionInk = 0;
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < area.width(); ++x) {
            const bool differs = withDot.pixel(x, y) != behind.pixel(x, y);
            if (y < 15 || y >= area.height() - 15)
                changed += differs;
            else
                captionInk += differs;
        }
    EXPECT_EQ(changed, 0);
    EXPECT_GT(captionInk, 0) << "the dot caption is not drawn";

    // Under the mouse it gains a raised edge: light on top, shadow at the bottom.
    QTest::mouseMove(dot, QPoint(5, 5));
    QTRY_VERIFY(dot->underMouse());
    const QImage hovered = dot->grab().toImage();
    EXPECT_EQ(hovered.pixelColor(5, 0), QColor(255, 255, 255));
    EXPECT_EQ(hovered.pixelColor(5, area.height() - 1), QColor(128, 128, 128));
}
