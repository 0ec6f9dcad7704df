#include "ChimelabFixture.h"
#include "Splash.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWindow>
#include <set>

using namespace chimelab::test;

namespace {

TForm2* splashOnScreen() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* splash = qobject_cast<TForm2*>(widget); splash && splash->isVisible())
            return splash;
    return nullptr;
}

// Looks at the screen each time a note is asked for.
class ObservingPlayer : public QObject, public kw27::SoundPlayer {
public:
    struct Moment {
        QString name;
        unsigned flags = 0;
        bool splashExposed = false;
        bool splashPainted = false;
        bool mainWindowShown = false;
        QString dateBox;
    };

    ObservingPlayer() : previous_(kw27::setSoundPlayer(this)) { qApp->installEventFilter(this); }
    ~ObservingPlayer() override {
        kw27::setSoundPlayer(previous_);
        qApp->removeEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted_.insert(watched);
        return false;
    }

    bool play(const QString& name, unsigned flags) override {
        Moment m;
        m.name = name;
        m.flags = flags;
        if (TForm2* splash = splashOnScreen()) {
            m.splashExposed = splash->windowHandle()->isExposed();
            m.splashPainted = true;
            const QObject* parts[] = {splash, splash->ui.Panel1, splash->ui.Label1,
                                      splash->ui.Label2, splash->ui.Image1};
            for (const QObject* part : parts)
                m.splashPainted = m.splashPainted && painted_.count(part) > 0;
            if (moments.empty()) {
                splashFrame = splash->frameGeometry();
                splashFlags = splash->windowFlags();
                splashColour = splash->grab().toImage().pixelColor(100, 20);
                // Drawn without a search of other faces: a glyph missing from the face would
                // show as an empty box.
                for (const QLabel* label : {splash->ui.Label1, splash->ui.Label2})
                    for (const char32_t c : label->text().toUcs4())
                        splashTextsInFace =
                            splashTextsInFace && QFontMetrics(label->font()).inFontUcs4(c);
                splash->windowHandle()->close(); // turned away
                splashSurvivedClose = splash->isVisible();
            }
        }
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* form = qobject_cast<chimelab::TForm1*>(widget)) {
                m.mainWindowShown = m.mainWindowShown || form->isVisible();
                m.dateBox = form->sheetPage.Edit5->text();
            }
        moments.push_back(m);
        return true;
    }

    std::vector<Moment> moments;
    QRect splashFrame;
    Qt::WindowFlags splashFlags;
    QColor splashColour;
    bool splashTextsInFace = true;
    bool splashSurvivedClose = false;

private:
    kw27::SoundPlayer* previous_;
    std::set<const QObject*> painted_;
};

} // namespace

TEST(Startup, ClipsDateSplashFullyPaintedThenTheScaleNoteAfterNoteThenTheStartDirectory) {
    QCursor::setPos(0, 0);
    makeClipFolder();
    kw27::test::RecordingMessageSink boxes;
    ObservingPlayer player;
    chimelab::TForm1 form(&fixedDate);

    const char* notes[] = {"C", "D", "E", "F", "G", "A", "B", "C2"};
    ASSERT_EQ(player.moments.size(), 8u);
    for (std::size_t i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        const ObservingPlayer::Moment& m = player.moments[i];
        EXPECT_EQ(m.name, QStringLiteral("Data\\Data2\\%1.wav").arg(notes[i]));
        EXPECT_EQ(m.flags, kw27::SND_SYNC);
        EXPECT_TRUE(m.splashExposed);
        EXPECT_TRUE(m.splashPainted);
        EXPECT_FALSE(m.mainWindowShown);
        EXPECT_EQ(m.dateBox, QStringLiteral("2001年 4月 9日"));
    }
    const auto all = players(form);
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(all[i]->fileName(), QStringLiteral("Data\\Data2\\") + clipFiles()[int(i)]);
        EXPECT_TRUE(all[i]->isOpen() && !all[i]->active()) << i;
    }
    EXPECT_EQ(form.StartDir, QDir::currentPath());
    EXPECT_TRUE(boxes.boxes.empty());

    // The splash: centred, frameless, on top, yellow, and deaf to close requests.
    const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_EQ(player.splashFrame.size(), QSize(511, 309));
    EXPECT_LE((player.splashFrame.center() - screenCentre).manhattanLength(), 1);
    EXPECT_TRUE(player.splashFlags.testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(player.splashFlags.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(player.splashColour, QColor(255, 255, 0));
    EXPECT_TRUE(player.splashTextsInFace);
    EXPECT_TRUE(player.splashSurvivedClose);

    // Released during start-up, gone once the event loop has run.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.Form2.isNull());
    EXPECT_EQ(splashOnScreen(), nullptr);
}

TEST(Startup, TheDateIsWrittenWithoutLeadingZeros) {
    const std::pair<QDate, const char*> rows[] = {
        {QDate(2001, 4, 9), "2001年 4月 9日"},
        {QDate(2026, 12, 31), "2026年 12月 31日"},
        {QDate(987, 10, 1), "0987年 10月 1日"},
    };
    for (const auto& [date, text] : rows)
        EXPECT_EQ(chimelab::sheetDateText(date), QString::fromUtf8(text));
}

TEST(Startup, AMissingClipWarnsAndStopsStartUpThereButTheWindowStillWorks) {
    for (int missing = 0; missing < 8; ++missing) {
        SCOPED_TRACE(missing);
        StartedWindow started(missing);
        chimelab::TForm1& form = *started.form;

        ASSERT_EQ(started.boxes.boxes.size(), 1u);
        EXPECT_EQ(started.boxes.boxes[0].caption, QStringLiteral("警告"));
        EXPECT_EQ(started.boxes.boxes[0].text,
                  QStringLiteral("アニメーションファイルがありません。ファイルを確認してください"));
        EXPECT_EQ(started.boxes.boxes[0].icon, kw27::MessageIcon::Warning);
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
        EXPECT_EQ(started.sounds.requests.size(), 1u);
        EXPECT_EQ(form.lengthPage.Label5->text(), QStringLiteral("16"));
    }
}

TEST(Startup, OpensTheEightClipsOfTheDataSetThatShipsWithTheProgram) {
    kw27::test::provideDataFolder();
    kw27::test::RecordingSoundPlayer sounds;
    kw27::test::RecordingMessageSink boxes;
    chimelab::TForm1 form(&fixedDate);
    EXPECT_TRUE(boxes.boxes.empty());
    for (TAnimate* player : players(form))
        EXPECT_GT(player->frameCount(), 1) << player->objectName().toStdString();
}
