#include "ChimelabFixture.h"
#include "DocumentOpener.h"
#include "StandIn.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTest>
#include <QTimer>
#include <csignal>

using namespace chimelab::test;
using kw27::test::makeFolder;
using kw27::test::ScopedPath;
using kw27::test::writeStandIn;

namespace {

QString readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
}

// Restores the working directory that a test changes.
class ScopedWorkingFolder {
public:
    explicit ScopedWorkingFolder(const QString& folder) : saved_(QDir::currentPath()) {
        QDir::setCurrent(folder);
    }
    ~ScopedWorkingFolder() { QDir::setCurrent(saved_); }

private:
    QString saved_;
};

} // namespace

TEST(SimulationPage, ThePictureTheFiveLinesAndTheLampButtonAreAllThere) {
    StartedWindow started;
    const chimelab::Ui::SimulationPage& page = started.form->simulationPage;
    EXPECT_EQ(page.Image2->pixmap().size(), QSize(123, 330));
    EXPECT_FALSE(page.BitBtn1->icon().isNull());
    QString sentence;
    for (const QLabel* line :
         {page.Label7, page.Label8, page.Label10, page.Label11, page.Label15}) {
        SCOPED_TRACE(line->objectName().toStdString());
        sentence += line->text();
        // Each line fits inside the panel's bevels and border.
        EXPECT_LE(line->geometry().right(), page.Panel3->width() - 10);
        EXPECT_GE(line->width(), line->fontMetrics().horizontalAdvance(line->text()));
    }
    EXPECT_EQ(sentence,
              QStringLiteral(
                  "下のボタンをクリックすると別ウィンドウが開きます。そこでパイプを3本選択して"
                  "出来上がりの音をシュミレーションすることができます。また、選択されたパイプの"
                  "合計の長さも表示されるので、製作の際の参考にしてください。"));
}

TEST(SimulationPage, TheWindowHidesWhileTheSimulatorRunsInTheFolderOfThePress) {
    StartedWindow started;
    chimelab::TForm1& form = *started.form;
    form.show();
    form.ui->PageControl1->setCurrentWidget(form.ui->TabSheet3);

    // The stand-in lies on the search path and notes where it runs, then waits to be ended.
    const QString bin = makeFolder(QStringLiteral("bin"));
    const QString notes = makeFolder(QStringLiteral("notes"));
    writeStandIn(bin, QStringLiteral("pwd -P > '%1/ran-in'\necho $$ > '%1/pid.new'\n"
                                     "mv '%1/pid.new' '%1/pid'\nexec sleep 30")
                          .arg(notes));
    const ScopedPath path(bin);
    // Pressed from a folder other than the start directory.
    const QString elsewhere = makeFolder(QStringLiteral("elsewhere"));
    const ScopedWorkingFolder pressedIn(elsewhere);

    // Runs only while the press waits, since the handler holds the thread. The stand-in is
    // ended once it runs and the window is hidden; a window that stays up lets it run out.
    bool hiddenWhileRunning = false;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        const QString pid = readAll(notes + QStringLiteral("/pid"));
        if (pid.isEmpty() || form.isVisible())
            return;
        watcher.stop();
        hiddenWhileRunning = true;
        ::kill(pid.toInt(), SIGTERM);
    });
    watcher.start(10);
    // Pressed inside the application's own event loop, as in the program: hiding its only
    // window must not end the application.
    QTimer::singleShot(0, [&form] {
        QTest::mouseClick(form.simulationPage.BitBtn1, Qt::LeftButton);
        QCoreApplication::exit(7);
    });
    EXPECT_EQ(QCoreApplication::exec(), 7);

    EXPECT_TRUE(hiddenWhileRunning);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.ui->PageControl1->currentWidget(), form.ui->TabSheet3);
    EXPECT_EQ(readAll(notes + QStringLiteral("/ran-in")), QDir(elsewhere).canonicalPath());
    EXPECT_NE(QDir(elsewhere).canonicalPath(), QDir(form.StartDir).canonicalPath());
    EXPECT_TRUE(started.boxes.boxes.empty());
}

TEST(SimulationPage, NoSimulatorAnywhereGivesTheWarningAndLeavesTheWindowUp) {
    StartedWindow started;
    chimelab::TForm1& form = *started.form;
    form.show();
    form.ui->PageControl1->setCurrentWidget(form.ui->TabSheet3);
    const ScopedPath path(makeFolder(QStringLiteral("empty")));
    // Not found in the working folder either, even under the name the command line spells.
    writeStandIn(QDir::currentPath(), QStringLiteral("exit 0"), QStringLiteral("Triplay.exe"));

    QTest::mouseClick(form.simulationPage.BitBtn1, Qt::LeftButton);

    ASSERT_EQ(started.boxes.boxes.size(), 1u);
    EXPECT_EQ(started.boxes.boxes[0].caption, QStringLiteral("警告"));
    EXPECT_EQ(started.boxes.boxes[0].text, QStringLiteral("Triplay.exeがありません｡"));
    EXPECT_EQ(started.boxes.boxes[0].icon, kw27::MessageIcon::Warning);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.ui->PageControl1->currentWidget(), form.ui->TabSheet3);
}

TEST(HelpMenu, OpensTheManualUnderTheStartDirectoryOrWarns) {
    struct Row {
        const char* what;
        bool manualThere;
        bool viewerStarts;
        bool startupStopped; // a clip missing: the start directory stays empty
        bool warned;
    };
    const Row rows[] = {
        {"manual and viewer", true, true, false, false},
        {"no manual", false, true, false, true},
        {"no viewer", true, false, false, true},
        // The folder is then sought at the root, not in the working folder that holds it.
        {"empty start directory", true, true, true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        StartedWindow started(row.startupStopped ? 0 : -1);
        chimelab::TForm1& form = *started.form;
        ASSERT_EQ(form.StartDir.isEmpty(), row.startupStopped);
        started.boxes.boxes.clear();
        const QString manual =
            QDir::currentPath() + QStringLiteral("/Data/マニュアル/KW-27ヘルプ.html");
        makeFolder(QStringLiteral("Data/マニュアル"));
        if (row.manualThere) {
            QFile file(manual);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        std::vector<QUrl> asked;
        const kw27::UrlOpener previous = kw27::setUrlOpener([&](const QUrl& url) {
            asked.push_back(url);
            return row.viewerStarts;
        });
        // Opened from elsewhere: the manual is found under the start directory all the same.
        // Without a start directory, opened from the folder that holds the manual.
        {
            const ScopedWorkingFolder away(row.startupStopped ? QDir::currentPath()
                                                              : makeFolder(QStringLiteral("away")));
            form.ui->HowToUse1->trigger();
        }
        kw27::setUrlOpener(previous);

        if (row.manualThere && !row.startupStopped) {
            ASSERT_EQ(asked.size(), 1u);
            EXPECT_EQ(asked[0], QUrl::fromLocalFile(manual));
        } else {
            EXPECT_TRUE(asked.empty());
        }
        ASSERT_EQ(started.boxes.boxes.size(), row.warned ? 1u : 0u);
        if (row.warned) {
            EXPECT_EQ(started.boxes.boxes[0].caption, QStringLiteral("警告"));
            EXPECT_EQ(started.boxes.boxes[0].text,
                      QStringLiteral("ブラウザがないか、ヘルプファイルがありません"));
        }
    }
}
