#include "ChimelabFixture.h"
#include "SoundTable.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QSignalSpy>
#include <QTest>

using namespace chimelab::test;

namespace {

std::array<TCuteButton*, 8> pitchButtons(chimelab::TForm1& form) {
    const chimelab::Ui::PitchPage& p = form.pitchPage;
    return {p.CuteButton16, p.CuteButton17, p.CuteButton18, p.CuteButton19,
            p.CuteButton20, p.CuteButton21, p.CuteButton22, p.CuteButton23};
}

void press(TCuteButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(button->width() / 2, 20));
}

// The started window, shown, with its pitch page's eight buttons and their players.
struct ShownPitchPage {
    explicit ShownPitchPage(int missingClip = -1) : started(missingClip) { form.show(); }
    StartedWindow started;
    chimelab::TForm1& form = *started.form;
    const std::array<TCuteButton*, 8> buttons = pitchButtons(form);
    const std::array<TAnimate*, 8> clips = players(form);
};

// Waits for a player to run its clip to the end.
bool waitForEnd(TAnimate* player) {
    QSignalSpy stopped(player, &TAnimate::stopped);
    return !player->active() || stopped.wait(5000);
}

} // namespace

TEST(PitchPage, EachButtonStartsItsOwnClipAndPlaysItsScalePipeWithoutWaiting) {
    ShownPitchPage window;
    auto& [started, form, buttons, clips] = window;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        SCOPED_TRACE(i);
        chimelab::playMode = 1; // as the composition page leaves it
        started.sounds.requests.clear();
        QSignalSpy clipStarted(clips[i], &TAnimate::started);
        press(buttons[i]);
        ASSERT_EQ(started.sounds.requests.size(), 1u);
        EXPECT_EQ(started.sounds.requests[0].name, chimelab::soundPath(13 + int(i)));
        EXPECT_EQ(started.sounds.requests[0].flags, kw27::SND_ASYNC);
        EXPECT_EQ(chimelab::playMode, 0);
        EXPECT_EQ(clipStarted.count(), 1);
        for (std::size_t j = i + 1; j < clips.size(); ++j)
            EXPECT_FALSE(clips[j]->active()) << "player " << j;
    }
    // Pressed in quick succession, the clips run side by side.
    EXPECT_TRUE(clips[6]->active());
    EXPECT_TRUE(clips[7]->active());
    EXPECT_TRUE(started.boxes.boxes.empty());
}

TEST(PitchPage, APressWhileTheClipRunsRestartsOnlyTheSoundAndALaterPressShowsItAgain) {
    StartedWindow started;
    chimelab::TForm1& form = *started.form;
    form.show();
    TCuteButton* re = form.pitchPage.CuteButton17;
    TAnimate* clip = form.pitchPage.Animate2;
    QSignalSpy clipStarted(clip, &TAnimate::started);
    started.sounds.requests.clear(); // the start-up scale

    press(re);
    QSignalSpy frames(clip, &TAnimate::frameShown);
    ASSERT_TRUE(frames.wait(5000));
    const int frameBefore = clip->currentFrame();
    ASSERT_GT(frameBefore, 0);
    press(re);
    EXPECT_EQ(clipStarted.count(), 1) << "the clip must run on, not restart";
    EXPECT_GE(clip->currentFrame(), frameBefore);
    EXPECT_EQ(started.sounds.requests.size(), 2u);

    ASSERT_TRUE(waitForEnd(clip));
    press(re);
    EXPECT_EQ(clipStarted.count(), 2);
    EXPECT_EQ(clip->currentFrame(), 0);
    EXPECT_EQ(started.sounds.requests.size(), 3u);
}

TEST(PitchPage, WithTheMiClipMissingOnlyDoAndReWorkTheOthersReportAndStaySilent) {
    ShownPitchPage window(2); // start-up stops at ミ.avi: mi and all after it hold no clip
    auto& [started, form, buttons, clips] = window;
    ASSERT_EQ(started.boxes.boxes.size(), 1u); // start-up's own warning
    started.boxes.boxes.clear();
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        SCOPED_TRACE(i);
        started.sounds.requests.clear();
        started.boxes.boxes.clear();
        press(buttons[i]);
        if (i < 2) {
            EXPECT_EQ(started.sounds.requests.size(), 1u);
            EXPECT_TRUE(started.boxes.boxes.empty());
        } else {
            EXPECT_TRUE(started.sounds.requests.empty());
            ASSERT_EQ(started.boxes.boxes.size(), 1u);
            EXPECT_EQ(started.boxes.boxes[0].text, QStringLiteral("AVI を開くことができません."));
            EXPECT_EQ(started.boxes.boxes[0].icon, kw27::MessageIcon::Stop);
        }
    }
}

TEST(PitchPage, ButtonsFallLeftToRightWithTheirLengthsReadingAsOneLevelRow) {
    ShownPitchPage window;
    auto& [started, form, buttons, clips] = window;
    const QImage page = form.pitchPage.Panel2->grab().toImage();
    int lowestFoot = 1000;
    int highestFoot = -1;
    int faFoot = -1;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        SCOPED_TRACE(i);
        TCuteButton* b = buttons[i];
        EXPECT_EQ(b->y(), 88);
        EXPECT_EQ(b->x(), clips[i]->x());
        EXPECT_EQ(b->width(), 65);
        EXPECT_EQ(b->toolTip(), QStringLiteral("ボタンの数字はパイプの長さを表します"));
        EXPECT_EQ(b->font().pixelSize(), 16);
        EXPECT_TRUE(b->font().bold());
        if (i > 0) {
            EXPECT_LT(b->height(), buttons[i - 1]->height());
            EXPECT_EQ(b->x() - buttons[i - 1]->x(), 64);
        }
        // The lowest row of caption-coloured pixels inside the caption's own columns (the
        // bevels, also grey, lie outside them).
        const QRgb ink = colorToRgb(b->fontColor()).rgb();
        const int edge = (b->width() - b->clientRect().width()) / 2;
        const QRect caption = b->captionRect().translated(b->pos() + QPoint(edge, edge));
        int foot = -1;
        for (int y = caption.top(); y <= caption.bottom(); ++y)
            for (int x = caption.left(); x <= caption.right(); ++x)
                if (page.pixel(x, y) == ink)
                    foot = y;
        ASSERT_GE(foot, 0) << "caption not drawn";
        const int below = foot + 1 - 88;
        if (b == form.pitchPage.CuteButton19) {
            faFoot = below;
            continue;
        }
        lowestFoot = std::min(lowestFoot, below);
        highestFoot = std::max(highestFoot, below);
    }
    EXPECT_LE(highestFoot - lowestFoot, 3) << "captions do not line up";
    // Centred, the fa caption stands a little above the row, never below it.
    EXPECT_LE(faFoot, highestFoot);
    EXPECT_GT(faFoot, lowestFoot - 16);
}

TEST(PitchPage, TabGoesFromLeftToRight) {
    StartedWindow started;
    chimelab::TForm1& form = *started.form;
    const auto buttons = pitchButtons(form);
    for (std::size_t i = 0; i + 1 < buttons.size(); ++i)
        EXPECT_EQ(buttons[i]->nextInFocusChain(), buttons[i + 1]) << i;
}
