#include "ProcessLauncher.h"
#include "StandIn.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QTimer>
#include <sys/resource.h>

using kw27::ProgramSearch;
using kw27::test::makeFolder;
using kw27::test::writeStandIn;

namespace {

double threadCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Starts a Triplay stand-in that runs the script, found along the path.
bool startStandIn(kw27::ProcessLauncher& launcher, const QString& script) {
    const QString bin = makeFolder(QStringLiteral("bin"));
    writeStandIn(bin, script);
    return launcher.start(QStringLiteral("Triplay.exe"), QDir::currentPath(),
                          ProgramSearch{QString(), QDir::currentPath(), {bin}});
}

} // namespace

TEST(FindProgram, LooksBesideTheProgramThenInTheWorkingFolderThenAlongThePath) {
    const QString own = makeFolder(QStringLiteral("own"));
    const QString work = makeFolder(QStringLiteral("work"));
    const QString path1 = makeFolder(QStringLiteral("path1"));
    const QString path2 = makeFolder(QStringLiteral("path2"));
    const ProgramSearch search{own, work, {path1, path2}};
    struct Row {
        QStringList holding; // folders that hold an executable Triplay
        QString found;
    };
    const Row rows[] = {
        {{own, work, path1, path2}, own},
        {{work, path1, path2}, work},
        {{path1, path2}, path1},
        {{path2}, path2},
        {{own, path2}, own},
        {{}, QString()},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.holding.join(QLatin1Char(' ')).toStdString());
        for (const QString& folder : {own, work, path1, path2})
            QFile::remove(QDir(folder).filePath(QStringLiteral("Triplay")));
        for (const QString& folder : row.holding)
            writeStandIn(folder, QStringLiteral("exit 0"));
        const QString expected = row.found.isEmpty() ? QString() : row.found + "/Triplay";
        EXPECT_EQ(kw27::findProgram(QStringLiteral("Triplay.exe"), search), expected);
        EXPECT_EQ(kw27::findProgram(QStringLiteral("TRIPLAY.EXE"), search), QString())
            << "file names on disk keep their letter case";
    }
}

TEST(ProcessLauncher, PassesOverWhatCannotRunAndReportsWhatFailsToStart) {
    const QString own = makeFolder(QStringLiteral("own"));
    const QString bin = makeFolder(QStringLiteral("bin"));
    // Not executable: looked past, as the shell does.
    QFile plain(QDir(own).filePath(QStringLiteral("Triplay")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    // Executable, but not a program this system can run.
    QFile broken(QDir(bin).filePath(QStringLiteral("Triplay")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("\x7f"
                 "ELF not really");
    broken.close();
    broken.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const ProgramSearch search{own, QDir::currentPath(), {bin}};
    EXPECT_EQ(kw27::findProgram(QStringLiteral("Triplay.exe"), search), bin + "/Triplay");

    kw27::ProcessLauncher launcher;
    EXPECT_FALSE(launcher.start(QStringLiteral("Triplay.exe"), QDir::currentPath(), search));
    EXPECT_FALSE(launcher.running());
    launcher.waitForEnd(); // returns at once
}

TEST(ProcessLauncher, WaitsWithoutHoldingTheProcessorAndStillHandlesEvents) {
    kw27::ProcessLauncher launcher;
    ASSERT_TRUE(startStandIn(launcher, QStringLiteral("exec sleep 2")));
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start(100);

    const double before = threadCpuSeconds();
    launcher.waitForEnd();
    const double used = threadCpuSeconds() - before;

    EXPECT_FALSE(launcher.running());
    EXPECT_GT(ticks, 2) << "timers stopped while waiting";
    // A processor budget, not a time limit: polling would burn most of the two seconds.
    EXPECT_LT(used, 0.5);
    RecordProperty("cpu_seconds_while_waiting", QString::number(used).toStdString());
}

TEST(ProcessLauncher, AQuitRequestedWhileWaitingStillWaitsForTheChild) {
    kw27::ProcessLauncher launcher;
    ASSERT_TRUE(startStandIn(launcher, QStringLiteral("sleep 0.5\ntouch ended")));
    QTimer::singleShot(0, [&launcher] {
        QTimer::singleShot(50, [] { QCoreApplication::exit(3); });
        launcher.waitForEnd();
    });
    EXPECT_EQ(QCoreApplication::exec(), 3);
    EXPECT_FALSE(launcher.running());
    EXPECT_TRUE(QFile::exists(QStringLiteral("ended"))) << "returned before the child ended";
}
