#include "ChimelabFixture.h"
#include "Splash.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWindow>
#include <set>

using namespace chimelab::test;
using kw27::MessageIcon;

namespace {

const QStringList startupScale{
    QStringLiteral("Data\\Data2\\C.wav"), QStringLiteral("Data\\Data2\\D.wav"),
    QStringLiteral("Data\\Data2\\E.wav"), QStringLiteral("Data\\Data2\\F.wav"),
    QStringLiteral("Data\\Data2\\G.wav"), QStringLiteral("Data\\Data2\\A.wav"),
    QStringLiteral("Data\\Data2\\B.wav"), QStringLiteral("Data\\Data2\\C2.wav"),
};

TForm2* splashOnScreen() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* splash = qobject_cast<TForm2*>(widget); splash && splash->isVisible())
            return splash;
    return nullptr;
}

// Notes which widgets have been painted.
class PaintRecorder : public QObject {
public:
    PaintRecorder() { qApp->installEventFilter(this); }
    ~PaintRecorder() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted.insert(watched);
        return false;
    }
    std::set<const QObject*> painted;
};

// What the world looked like when each note was asked for.
class ObservingPlayer : public kw27::SoundPlayer {
public:
    struct Moment {
        QString name;
        unsigned flags;
        bool splashShown;
        bool splashPainted;
        QString splashTexts;
        bool mainWindowShown;
    };

    ObservingPlayer() : previous_(kw27::setSoundPlayer(this)) {}
    ~ObservingPlayer() override { kw27::setSoundPlayer(previous_); }

    bool play(const QString& name, unsigned flags) override {
        Moment moment{name, flags, false, false, {}, false};
        if (TForm2* splash = splashOnScreen()) {
            moment.splashShown = splash->windowHandle() && splash->windowHandle()->isExposed();
            moment.splashPainted = true;
            const QWidget* parts[] = {splash, splash->ui.Panel1, splash->ui.Label1,
                                      splash->ui.Label2, splash->ui.Image1};
            for (const QWidget* part : parts)
                moment.splashPainted = moment.splashPainted && paints.painted.count(part) > 0;
            moment.splashTexts = splash->ui.Label1->text() + QLatin1Char('|') +
                                 splash->ui.Label2->text();
        }
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (qobject_cast<TForm1*>(widget) && widget->isVisible())
                moment.mainWindowShown = true;
        moments.push_back(moment);
        return true;
    }

    PaintRecorder paints;
    std::vector<Moment> moments;

private:
    kw27::SoundPlayer* previous_;
};

}  // namespace

TEST(Startup, TheSplashIsFullyPaintedBeforeTheScalePlaysNoteAfterNoteSynchronously) {
    QCursor::setPos(0, 0);
    makeClipFolder();
    kw27::test::RecordingMessageSink boxes;
    ObservingPlayer player;
    TForm1 form(&fixedDate);

    ASSERT_EQ(player.moments.size(), 8u);
    for (int i = 0; i < 8; ++i) {
        const ObservingPlayer::Moment& m = player.moments[std::size_t(i)];
        SCOPED_TRACE(i);
        EXPECT_EQ(m.name, startupScale[i]);
        EXPECT_EQ(m.flags, kw27::SND_SYNC);
        EXPECT_TRUE(m.splashShown);
        EXPECT_TRUE(m.splashPainted);
        EXPECT_EQ(m.splashTexts, QStringLiteral("パイプチャイム製作･設計ソフト|KW-27"));
        EXPECT_FALSE(m.mainWindowShown);
    }
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST(Startup, ClipsThenDateThenSplashAndScaleThenTheStartDirectory) {
    StartedWindow started;
    TForm1& form = *started.form;

    const auto all = players(form);
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_TRUE(all[i]->isOpen()) << i;
        EXPECT_EQ(all[i]->fileName(),
                  QStringLiteral("Data\\Data2\\") + clipFiles()[int(i)]);
        EXPECT_EQ(all[i]->currentFrame(), 0);
        EXPECT_FALSE(all[i]->active());
    }
    EXPECT_EQ(form.sheetPage.Edit5->text(), QStringLiteral("2001年 4月 9日"));
    EXPECT_EQ(form.StartDir, QDir::currentPath());
    EXPECT_TRUE(started.boxes.boxes.empty());
    ASSERT_EQ(started.sounds.requests.size(), 8u);

    // Released during start-up, gone once the event loop has run.
    EXPECT_TRUE(form.Form2.isNull());
    EXPECT_EQ(splashOnScreen(), nullptr);
    EXPECT_EQ(form.ui->PageControl1->currentWidget(), form.ui->TabSheet1);
}

TEST(Startup, TheSplashIsCentredFramelessAndOnTop) {
    QCursor::setPos(0, 0);
    makeClipFolder();
    kw27::test::RecordingMessageSink boxes;
    struct Look {
        QRect geometry;
        Qt::WindowFlags flags;
        QColor panel;
        bool survivedClose = false;
    } look;
    class Peeker : public kw27::SoundPlayer {
    public:
        explicit Peeker(Look& look) : look_(look), previous_(kw27::setSoundPlayer(this)) {}
        ~Peeker() override { kw27::setSoundPlayer(previous_); }
        bool play(const QString&, unsigned) override {
            if (TForm2* splash = splashOnScreen()) {
                look_.geometry = splash->frameGeometry();
                look_.flags = splash->windowFlags();
                look_.panel = splash->ui.Panel1->grab().toImage().pixelColor(100, 20);
                // A request to close it leaves it where it is.
                splash->windowHandle()->close();
                look_.survivedClose = splash->isVisible();
            }
            return true;
        }

    private:
        Look& look_;
        kw27::SoundPlayer* previous_;
    } peeker(look);
    TForm1 form(&fixedDate);

    EXPECT_EQ(look.geometry.size(), QSize(511, 309));
    const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE((look.geometry.center() - screenCentre).manhattanLength(), 1);
    EXPECT_TRUE(look.flags.testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(look.flags.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(look.panel, QColor(255, 255, 0));
    EXPECT_TRUE(look.survivedClose);
}

TEST(Startup, ThePresentDayIsWrittenWithoutLeadingZeros) {
    struct Row {
        QDate date;
        const char* text;
    };
    const Row rows[] = {
        {QDate(2001, 4, 9), "2001年 4月 9日"},
        {QDate(2026, 12, 31), "2026年 12月 31日"},
        {QDate(2000, 1, 10), "2000年 1月 10日"},
        {QDate(987, 10, 1), "0987年 10月 1日"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(sheetDateText(row.date), QString::fromUtf8(row.text));
}

TEST(Startup, AMissingClipWarnsAndStopsStartUpThereButTheWindowStillWorks) {
    for (int missing = 0; missing < 8; ++missing) {
        SCOPED_TRACE(missing);
        StartedWindow started(missing);
        TForm1& form = *started.form;

        ASSERT_EQ(started.boxes.boxes.size(), 1u);
        EXPECT_EQ(started.boxes.boxes[0].caption, QStringLiteral("警告"));
        EXPECT_EQ(started.boxes.boxes[0].text,
                  QStringLiteral("アニメーションファイルがありません。ファイルを確認してください"));
        EXPECT_EQ(started.boxes.boxes[0].icon, MessageIcon::Warning);

        const auto all = players(form);
        for (int i = 0; i < 8; ++i) {
            EXPECT_EQ(all[std::size_t(i)]->isOpen(), i < missing) << i;
            EXPECT_EQ(all[std::size_t(i)]->fileName().isEmpty(), i >= missing) << i;
        }
        EXPECT_TRUE(form.sheetPage.Edit5->text().isEmpty());
        EXPECT_TRUE(started.sounds.requests.empty());
        EXPECT_TRUE(form.Form2.isNull());
        EXPECT_TRUE(form.StartDir.isEmpty());

        form.show();
        QTest::mouseClick(form.lengthPage.SpeedButton3, Qt::LeftButton);
        ASSERT_EQ(started.sounds.requests.size(), 1u);
        EXPECT_EQ(form.lengthPage.Label5->text(), QStringLiteral("16"));
    }
}

TEST(Startup, StartedAwayFromTheDataEveryClipFailsFirst) {
    QCursor::setPos(0, 0);
    std::filesystem::remove_all("Data");
    kw27::test::makeFolder(QStringLiteral("Data"));  // there, but without the clips
    kw27::test::RecordingSoundPlayer sounds;
    kw27::test::RecordingMessageSink boxes;
    TForm1 form(&fixedDate);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_FALSE(form.pitchPage.Animate1->isOpen());
    EXPECT_TRUE(sounds.requests.empty());
}

TEST(Startup, OpensTheEightClipsOfTheDataSetThatShipsWithTheProgram) {
    kw27::test::provideDataFolder();
    kw27::test::RecordingSoundPlayer sounds;
    kw27::test::RecordingMessageSink boxes;
    TForm1 form(&fixedDate);
    EXPECT_TRUE(boxes.boxes.empty());
    for (TAnimate* player : players(form)) {
        EXPECT_TRUE(player->isOpen()) << player->objectName().toStdString();
        EXPECT_GT(player->frameCount(), 1);
    }
}
