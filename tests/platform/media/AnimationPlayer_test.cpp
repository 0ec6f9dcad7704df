#include "AnimationPlayer.h"
#include "AviTestClip.h"
#include "KwError.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

using kw27::test::AviLayout;

namespace {

const QString cannotOpen = QStringLiteral("AVI を開くことができません");
const QString clipName = QStringLiteral("data\\CLIPS\\ド.avi"); // on disk: Data/Clips/ド.avi

// A 40 x 30 clip of five 20 ms frames, and a player of 65 x 48 at (10, 10) on a coloured
// parent, so that what the player draws can be told from what lies behind it.
class AnimationPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = kw27::test::makeFolder(QStringLiteral("Data/Clips"));
        layout.width = 40, layout.height = 30, layout.frames = 5, layout.periodUs = 20000;
        ASSERT_TRUE(
            kw27::test::writeFile(folder + QStringLiteral("/ド.avi"), kw27::test::makeAvi(layout)));
        QPalette palette;
        palette.setColor(QPalette::Window, background);
        parent.setPalette(palette);
        parent.setAutoFillBackground(true);
        parent.resize(100, 80);
        player.setGeometry(10, 10, 65, 48);
    }

    // frame -1: nothing but the background.
    void expectShows(int frame) {
        const QImage shot = parent.grab().toImage();
        const QPoint origin(10 + (65 - 40) / 2, 10 + (48 - 30) / 2);
        int wrong = 0;
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 100; ++x) {
                const QPoint at(x, y);
                const QPoint inClip = at - origin;
                const bool inside = frame >= 0 && QRect(0, 0, 40, 30).contains(inClip);
                wrong += shot.pixel(at) !=
                         (inside ? kw27::test::expectedPixel(layout, frame, inClip.x(), inClip.y())
                                 : background.rgb());
            }
        EXPECT_EQ(wrong, 0) << "frame " << frame;
    }

    QString folder;
    AviLayout layout;
    QColor background = QColor(12, 34, 56);
    QWidget parent;
    TAnimate player{&parent};
};

} // namespace

TEST_F(AnimationPlayerTest, GivenANameItOpensTheClipAtOnceAndShowsItsFirstFrameCentred) {
    expectShows(-1);
    player.setFileName(clipName);
    EXPECT_TRUE(player.isOpen());
    EXPECT_EQ(player.fileName(), clipName);
    EXPECT_EQ(player.frameCount(), 5);
    EXPECT_FALSE(player.active());
    expectShows(0);
}

TEST_F(AnimationPlayerTest, AClipItCannotOpenIsAnErrorAndLeavesNoClipAndNoName) {
    auto truncated = kw27::test::makeAvi(layout);
    truncated.resize(truncated.size() / 2);
    ASSERT_TRUE(kw27::test::writeFile(folder + QStringLiteral("/short.avi"), truncated));
    ASSERT_TRUE(kw27::test::writeFile(folder + QStringLiteral("/text.avi"), {'h', 'i'}));
    QDir(folder).mkdir(QStringLiteral("folder.avi"));

    for (const char* name :
         {"Data\\Clips\\missing.avi", "Data\\Clips\\short.avi", "Data\\Clips\\text.avi",
          "Data\\Clips\\folder.avi", "Data\\Nowhere\\ド.avi"}) {
        SCOPED_TRACE(name);
        player.setFileName(clipName);
        try {
            player.setFileName(QString::fromUtf8(name));
            ADD_FAILURE() << "no error";
        } catch (const EKwError& error) {
            EXPECT_EQ(error.message(), cannotOpen);
        }
        EXPECT_FALSE(player.isOpen());
        EXPECT_TRUE(player.fileName().isEmpty());
        expectShows(-1);
    }
    try {
        player.setActive(true);
        ADD_FAILURE() << "started without a clip";
    } catch (const EKwError& error) {
        EXPECT_EQ(error.message(), cannotOpen);
    }
    EXPECT_FALSE(player.active());
}

TEST_F(AnimationPlayerTest,
       InTwoStepsTheFramesAreReadWhenOpenedAndAFileCutShortBetweenGivesNoClip) {
    player.open(clipName, TAnimate::openClip(clipName));
    EXPECT_EQ(player.frameCount(), 5);
    expectShows(0);

    const kw27::StoredAviClip checked = TAnimate::openClip(clipName);
    const auto whole = kw27::test::makeAvi(layout);
    ASSERT_TRUE(QFile::resize(folder + QStringLiteral("/ド.avi"), qint64(whole.size() / 2)));
    player.open(clipName, checked);
    EXPECT_FALSE(player.isOpen());
    EXPECT_TRUE(player.fileName().isEmpty());
    expectShows(-1);
}

TEST_F(AnimationPlayerTest, PlaysEveryFrameOnceInOrderNoneEarlyThenStopsOnTheLast) {
    player.setFileName(clipName);
    QSignalSpy started(&player, &TAnimate::started);
    QSignalSpy stopped(&player, &TAnimate::stopped);
    std::vector<int> shown;
    std::vector<qint64> shownAtUs;
    QElapsedTimer clock;
    QObject::connect(&player, &TAnimate::frameShown, [&](int frame) {
        shown.push_back(frame);
        shownAtUs.push_back(clock.nsecsElapsed() / 1000);
        if (frame == 2)
            player.setActive(true); // started again while it plays: ignored
    });

    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        shown.clear(), shownAtUs.clear();
        clock.start();
        player.setActive(true);
        EXPECT_TRUE(player.active());
        ASSERT_TRUE(stopped.wait(5000));
        EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, 3, 4}));
        // Frame k is due k periods after the start (a timer may round to the millisecond).
        for (std::size_t k = 0; k < shownAtUs.size(); ++k)
            EXPECT_GE(shownAtUs[k], qint64(k) * layout.periodUs - 1000) << "frame " << k;
        EXPECT_EQ(started.count(), run);
        EXPECT_EQ(stopped.count(), run);
        EXPECT_FALSE(player.active());
        expectShows(4);
    }
}

TEST_F(AnimationPlayerTest, ANewNameWhilePlayingStopsItEvenFromAListener) {
    player.setFileName(clipName);
    QSignalSpy stopped(&player, &TAnimate::stopped);
    QSignalSpy shown(&player, &TAnimate::frameShown);
    player.setActive(true);
    ASSERT_TRUE(shown.wait(5000)); // frame 1 of 5: still playing
    player.setFileName(clipName);
    EXPECT_FALSE(player.active());
    EXPECT_EQ(stopped.count(), 1);
    expectShows(0);

    for (int closeAt : {0, 1, 4}) {
        SCOPED_TRACE(closeAt);
        player.setFileName(clipName);
        stopped.clear();
        const auto connection = QObject::connect(&player, &TAnimate::frameShown, [&](int f) {
            if (f == closeAt)
                player.setFileName(QString());
        });
        player.setActive(true);
        QTRY_COMPARE(stopped.count(), 1);
        QObject::disconnect(connection);
        EXPECT_FALSE(player.isOpen());
        QTest::qWait(2 * layout.periodUs / 1000); // no frame may follow the close
        EXPECT_EQ(stopped.count(), 1);
        expectShows(-1);
    }
}
