#include "AnimationPlayer.h"
#include "AviTestClip.h"
#include "KwError.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using kw27::test::AviLayout;
using kw27::test::makeAvi;
using kw27::test::writeFile;

namespace {

const QString cannotOpen = QStringLiteral("AVI を開くことができません");

// A small fast clip in a folder spelled differently from the names the tests use.
class AnimationPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = kw27::test::makeFolder(QStringLiteral("Data/Clips"));
        layout.width = 40;
        layout.height = 30;
        layout.frames = 5;
        layout.periodUs = 20000;
        ASSERT_TRUE(writeFile(folder + QStringLiteral("/ド.avi"), makeAvi(layout)));
    }

    void expectShowsFrame(TAnimate& player, int frame) {
        // The clip sits centred in the player's 65 x 48 area; the rest is the parent's colour.
        const QImage shot = player.parentWidget()->grab().toImage();
        const QPoint origin = player.pos() + QPoint((65 - 40) / 2, (48 - 30) / 2);
        int wrong = 0;
        for (int y = 0; y < layout.height; ++y)
            for (int x = 0; x < layout.width; ++x)
                if (shot.pixel(origin + QPoint(x, y)) !=
                    kw27::test::expectedPixel(layout, frame, x, y))
                    ++wrong;
        EXPECT_EQ(wrong, 0) << "frame " << frame;
        EXPECT_EQ(shot.pixel(player.pos()), background.rgb());
        EXPECT_EQ(shot.pixel(origin - QPoint(1, 1)), background.rgb());
    }

    QWidget* makeParent() {
        parent = std::make_unique<QWidget>();
        parent->resize(100, 80);
        QPalette palette;
        palette.setColor(QPalette::Window, background);
        parent->setPalette(palette);
        parent->setAutoFillBackground(true);
        return parent.get();
    }

    QString folder;
    AviLayout layout;
    QColor background = QColor(12, 34, 56);
    std::unique_ptr<QWidget> parent;
};

}  // namespace

TEST_F(AnimationPlayerTest, GivenANameItOpensTheClipAtOnceAndShowsItsFirstFrameCentred) {
    TAnimate player(makeParent());
    player.setGeometry(10, 10, 65, 48);
    player.setFileName(QStringLiteral("data\\CLIPS\\ド.avi"));
    EXPECT_TRUE(player.isOpen());
    EXPECT_EQ(player.fileName(), QStringLiteral("data\\CLIPS\\ド.avi"));
    EXPECT_EQ(player.frameCount(), 5);
    EXPECT_EQ(player.currentFrame(), 0);
    EXPECT_FALSE(player.active());
    expectShowsFrame(player, 0);
}

TEST_F(AnimationPlayerTest, WithoutAClipItDrawsNothing) {
    TAnimate player(makeParent());
    player.setGeometry(10, 10, 65, 48);
    const QImage shot = parent->grab().toImage();
    for (int y = 10; y < 58; ++y)
        for (int x = 10; x < 75; ++x)
            ASSERT_EQ(shot.pixel(x, y), background.rgb()) << x << "," << y;
}

TEST_F(AnimationPlayerTest, AClipItCannotOpenIsAnErrorAndLeavesNoClipAndNoName) {
    std::vector<unsigned char> truncated = makeAvi(layout);
    truncated.resize(truncated.size() / 2);
    ASSERT_TRUE(writeFile(folder + QStringLiteral("/short.avi"), truncated));
    ASSERT_TRUE(writeFile(folder + QStringLiteral("/text.avi"), {'h', 'e', 'l', 'l', 'o'}));
    QDir(folder).mkdir(QStringLiteral("folder.avi"));

    for (const char* name : {"Data\\Clips\\missing.avi", "Data\\Clips\\short.avi",
                             "Data\\Clips\\text.avi", "Data\\Clips\\folder.avi",
                             "Data\\Nowhere\\ド.avi"}) {
        SCOPED_TRACE(name);
        TAnimate player(makeParent());
        player.setGeometry(10, 10, 65, 48);
        player.setFileName(QStringLiteral("Data\\Clips\\ド.avi"));
        try {
            player.setFileName(QString::fromUtf8(name));
            ADD_FAILURE() << "no error";
        } catch (const EKwError& error) {
            EXPECT_EQ(error.message(), cannotOpen);
        }
        EXPECT_FALSE(player.isOpen());
        EXPECT_TRUE(player.fileName().isEmpty());
        EXPECT_EQ(player.frameCount(), 0);
        const QImage shot = parent->grab().toImage();
        EXPECT_EQ(shot.pixel(42, 34), background.rgb()) << "the earlier clip is still drawn";
    }
}

TEST_F(AnimationPlayerTest, StartingWithoutAClipIsTheCannotOpenError) {
    TAnimate player;
    try {
        player.setActive(true);
        ADD_FAILURE() << "no error";
    } catch (const EKwError& error) {
        EXPECT_EQ(error.message(), cannotOpen);
    }
    EXPECT_FALSE(player.active());
}

TEST_F(AnimationPlayerTest, PlaysEveryFrameOnceInOrderAtTheClipsRateThenStopsOnTheLast) {
    TAnimate player(makeParent());
    player.setGeometry(10, 10, 65, 48);
    player.setFileName(QStringLiteral("Data\\Clips\\ド.avi"));
    QSignalSpy started(&player, &TAnimate::started);
    QSignalSpy stopped(&player, &TAnimate::stopped);
    std::vector<int> shown;
    std::vector<qint64> shownAtUs;
    QElapsedTimer clock;
    QObject::connect(&player, &TAnimate::frameShown, [&](int frame) {
        shown.push_back(frame);
        shownAtUs.push_back(clock.nsecsElapsed() / 1000);
    });

    clock.start();
    player.setActive(true);
    EXPECT_TRUE(player.active());
    ASSERT_TRUE(stopped.wait(5000));

    EXPECT_EQ(started.count(), 1);
    EXPECT_EQ(stopped.count(), 1);
    EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, 3, 4}));
    // No frame comes before its time (a timer may round to the millisecond).
    for (std::size_t k = 0; k < shownAtUs.size(); ++k)
        EXPECT_GE(shownAtUs[k], qint64(k) * layout.periodUs - 1000) << "frame " << k;
    EXPECT_FALSE(player.active());
    EXPECT_EQ(player.currentFrame(), 4);
    expectShowsFrame(player, 4);
}

TEST_F(AnimationPlayerTest, ARequestWhilePlayingIsIgnoredAndALaterOneStartsAgainFromFrameOne) {
    TAnimate player(makeParent());
    player.setGeometry(10, 10, 65, 48);
    player.setFileName(QStringLiteral("Data\\Clips\\ド.avi"));
    QSignalSpy started(&player, &TAnimate::started);
    QSignalSpy stopped(&player, &TAnimate::stopped);
    std::vector<int> shown;
    QObject::connect(&player, &TAnimate::frameShown, [&](int frame) {
        shown.push_back(frame);
        if (frame == 2)
            player.setActive(true);  // pressed again while it plays
    });

    player.setActive(true);
    ASSERT_TRUE(stopped.wait(5000));
    EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(started.count(), 1);

    shown.clear();
    player.setActive(true);
    EXPECT_EQ(player.currentFrame(), 0);
    ASSERT_TRUE(stopped.wait(5000));
    EXPECT_EQ(shown.front(), 0);
    EXPECT_EQ(started.count(), 2);
}

TEST_F(AnimationPlayerTest, GivingANewNameWhilePlayingStopsAndShowsTheNewClipsFirstFrame) {
    TAnimate player(makeParent());
    player.setGeometry(10, 10, 65, 48);
    player.setFileName(QStringLiteral("Data\\Clips\\ド.avi"));
    QSignalSpy shown(&player, &TAnimate::frameShown);
    QSignalSpy stopped(&player, &TAnimate::stopped);
    player.setActive(true);
    ASSERT_TRUE(shown.wait(5000));  // frame 1 of 5: still playing
    ASSERT_TRUE(player.active());
    player.setFileName(QStringLiteral("Data\\Clips\\ド.avi"));
    EXPECT_FALSE(player.active());
    EXPECT_EQ(stopped.count(), 1);
    EXPECT_EQ(player.currentFrame(), 0);
    expectShowsFrame(player, 0);

    player.setFileName(QString());
    EXPECT_FALSE(player.isOpen());
    EXPECT_TRUE(player.fileName().isEmpty());
}

TEST_F(AnimationPlayerTest, AListenerMayCloseThePlayerAsAFrameIsShown) {
    for (int closeAt : {0, 1, 4}) {
        SCOPED_TRACE(closeAt);
        TAnimate player(makeParent());
        player.setFileName(QStringLiteral("Data\\Clips\\ド.avi"));
        QSignalSpy stopped(&player, &TAnimate::stopped);
        QObject::connect(&player, &TAnimate::frameShown, [&](int frame) {
            if (frame == closeAt)
                player.setFileName(QString());
        });
        player.setActive(true);
        QTRY_COMPARE(stopped.count(), 1);
        EXPECT_FALSE(player.active());
        EXPECT_FALSE(player.isOpen());
        QTest::qWait(2 * layout.periodUs / 1000);  // no frame may follow the close
        EXPECT_EQ(stopped.count(), 1);
    }
}
