#include "ChimelabFixture.h"
#include "SoundTable.h"

#include <gtest/gtest.h>

#include <QTest>

using namespace chimelab::test;

TEST(LengthPage, EachDotCutsOffTheSoundBeforePlaysItsPipeAndShowsItsLengthInRed) {
    StartedWindow started;
    chimelab::TForm1& form = *started.form;
    form.show();
    const chimelab::Ui::LengthPage& page = form.lengthPage;
    EXPECT_TRUE(page.Label5->text().isEmpty());

    const auto all = dots(form);
    for (int k = 1; k <= 12; ++k) {
        SCOPED_TRACE(k);
        chimelab::playMode = 1; // as the composition page leaves it
        started.sounds.requests.clear();
        QTest::mouseClick(all[std::size_t(k - 1)], Qt::LeftButton);
        ASSERT_EQ(started.sounds.requests.size(), 1u);
        EXPECT_EQ(started.sounds.requests[0].name, chimelab::soundPath(k));
        // Asynchronous: the call returns at once and cuts off a sound still playing.
        EXPECT_EQ(started.sounds.requests[0].flags, kw27::SND_ASYNC);
        EXPECT_EQ(chimelab::playMode, 0);
        EXPECT_EQ(page.Label5->text(), QString::number(13 + k));
        EXPECT_GE(page.Label5->width(),
                  page.Label5->fontMetrics().horizontalAdvance(page.Label5->text()));
    }
    EXPECT_EQ(page.Label5->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(page.Label4->text() + page.Label5->text() + page.Label6->text(),
              QStringLiteral("パイプの長さは25cmです"));
}

TEST(LengthPage, DotsAreMouseOnlyHandPointersOverThePipeShorterAndHigherToTheRight) {
    StartedWindow started;
    const chimelab::Ui::LengthPage& page = started.form->lengthPage;
    const QString tip = QStringLiteral("マウスカーソルが手の形に変\nわったらクリックしてください");
    EXPECT_EQ(page.Image1->toolTip(), tip);

    const auto all = dots(*started.form);
    for (std::size_t i = 0; i < all.size(); ++i) {
        SCOPED_TRACE(i);
        const TSpeedButton* dot = all[i];
        EXPECT_EQ(dot->text(), QStringLiteral("\uFF65"));
        EXPECT_EQ(dot->toolTip(), tip);
        EXPECT_EQ(dot->focusPolicy(), Qt::NoFocus);
        EXPECT_EQ(dot->cursor().shape(), Qt::PointingHandCursor);
        EXPECT_EQ(dot->font().pixelSize(), 20);
        EXPECT_TRUE(page.Image1->geometry().contains(dot->geometry())) << "off the picture";
        if (i > 0) {
            EXPECT_GT(dot->x(), all[i - 1]->x());
            EXPECT_LT(dot->height(), all[i - 1]->height());
            EXPECT_LE(dot->y(), all[i - 1]->y());
        }
    }
}

TEST(LengthPage, TheMarkersStandJustAboveTheDotsOf15And20And25cm) {
    StartedWindow started;
    const chimelab::Ui::LengthPage& page = started.form->lengthPage;
    struct Marker {
        QFrame* bar;
        QLabel* label;
        int dot; // 1-based, left to right
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
        const int gap = all[std::size_t(marker.dot - 1)]->y() - bar.bottom();
        EXPECT_TRUE(gap >= 1 && gap <= 3) << "gap " << gap;
        EXPECT_LE(marker.label->y(), bar.top());
        EXPECT_EQ(marker.bar->grab().toImage().pixelColor(2, 2), QColor(255, 255, 0));
    }
}

TEST(LengthPage, ADotHasNoBackgroundOfItsOwnAndARaisedEdgeUnderTheMouse) {
    StartedWindow started;
    chimelab::TForm1& form = *started.form;
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
    int changedAtEnds = 0, captionInk = 0;
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < area.width(); ++x) {
            const bool differs = withDot.pixel(x, y) != behind.pixel(x, y);
            (y < 15 || y >= area.height() - 15 ? changedAtEnds : captionInk) += differs;
        }
    EXPECT_EQ(changedAtEnds, 0);
    EXPECT_GT(captionInk, 0) << "no caption drawn";

    QTest::mouseMove(dot, QPoint(5, 5));
    QTRY_VERIFY(dot->underMouse());
    const QImage hovered = dot->grab().toImage();
    EXPECT_EQ(hovered.pixelColor(5, 0), QColor(255, 255, 255));
    EXPECT_EQ(hovered.pixelColor(5, area.height() - 1), QColor(128, 128, 128));
}
