#include "WholeFile.h"

#include "FileSystemCalls.h"
#include "StickFixture.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace kw27::test;
using kw27::FileSystemCalls;
using kw27::WholeFileWrite;

// The writer's outcome as a child's exit status.
int outcomeStatus(const WholeFileWrite& written) {
    return 10 + int(written.outcome);
}

constexpr int kWrittenStatus = 10 + int(WholeFileWrite::Written);
constexpr int kNotCreatedStatus = 10 + int(WholeFileWrite::NotCreated);

void chown(const QString& path, uid_t uid) {
    ASSERT_EQ(::chown(QFile::encodeName(path).constData(), uid, uid), 0) << path.toStdString();
}

void chmod(const QString& path, mode_t mode) {
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0) << path.toStdString();
}

// What the stick's driver gives a pupil, mounted the way a desktop or a teacher mounts it.
struct Stick {
    const char* what;
    bool ordinaryUser;
    // fusefat refuses names beyond ASCII; the others are backed by this machine's own disk,
    // which takes no more than 255 bytes.
    const char* name;
    // Makes the mount on mountPoint, with a backing file or folder under work.
    std::function<std::unique_ptr<FuseMount>(const QString& work, const QString& mountPoint)> mount;
};

std::unique_ptr<FuseMount> bindfs(const QStringList& options, const QString& work,
                                  const QString& mountPoint) {
    const QString source = work + QStringLiteral("/source");
    QDir().mkpath(source);
    chmod(source, 0777);
    return std::make_unique<FuseMount>(QStringLiteral("bindfs"), options + QStringList{source},
                                       mountPoint);
}

const Stick kSticks[] = {
    {"a FAT32 stick (no permissions, no links, no unnamed files)", false, "song.ksg",
     [](const QString& work, const QString& mountPoint) {
         const QString image = work + QStringLiteral("/fat32.img");
         const QString why = kw27::test::makeFatImage(image);
         if (!why.isEmpty())
             return std::make_unique<FuseMount>(why);
         return std::make_unique<FuseMount>(
             QStringLiteral("fusefat"),
             QStringList{QStringLiteral("-o"), QStringLiteral("rw+"), image}, mountPoint);
     }},
    {"a stick mounted for everyone, used by an ordinary user (every file the mounter's)", true,
     "曲.ksg",
     [](const QString& work, const QString& mountPoint) {
         return bindfs({QStringLiteral("-u"), QStringLiteral("0"), QStringLiteral("-g"),
                        QStringLiteral("0"), QStringLiteral("-p"), QStringLiteral("a+rwX")},
                       work, mountPoint);
     }},
    {"a driver that refuses every chmod", false, "曲.ksg",
     [](const QString& work, const QString& mountPoint) {
         return bindfs({QStringLiteral("--chmod-deny")}, work, mountPoint);
     }},
    {"a network-like folder without unnamed files", false, "曲.ksg",
     [](const QString& work, const QString& mountPoint) { return bindfs({}, work, mountPoint); }},
};

TEST(WholeFileOnSticks, ASongSavedTwiceLandsWithNoStrayFile) {
    // A pupil saves, changes the song and saves again over the same file.
    for (const Stick& stick : kSticks) {
        if (stick.ordinaryUser && !kw27::test::whyNoOrdinaryUser().isEmpty()) {
            std::printf("[ SKIPPED  ] %s: %s\n", stick.what,
                        qPrintable(kw27::test::whyNoOrdinaryUser()));
            continue;
        }
        const QString work = kw27::test::makeSharedFolder(QStringLiteral("stick"));
        const QString mountPoint = work + QStringLiteral("/mnt");
        QDir().mkpath(mountPoint);
        const std::unique_ptr<FuseMount> mount = stick.mount(work, mountPoint);
        if (!mount->mounted()) {
            std::printf("[ SKIPPED  ] %s: %s\n", stick.what, qPrintable(mount->reason()));
            continue;
        }
        {
            const QString name = QString::fromUtf8(stick.name);
            const QString path = mountPoint + u'/' + name;
            const auto saveTwice = [&] {
                const WholeFileWrite first = kw27::writeWholeFile(path, "first");
                if (first.outcome != WholeFileWrite::Written)
                    return outcomeStatus(first);
                return outcomeStatus(kw27::writeWholeFile(path, "second, longer"));
            };
            const int status =
                stick.ordinaryUser ? kw27::test::runAs(kPupil, saveTwice) : saveTwice();
            EXPECT_EQ(status, kWrittenStatus) << stick.what;
            EXPECT_EQ(readBytes(path), "second, longer") << stick.what;
            EXPECT_EQ(entriesOf(mountPoint), QStringList{name}) << stick.what;
        }
    }
}

TEST(WholeFileOnSticks, AKilledSaveKeepsTheOldFileAndItsLeftoverIsTakenOver) {
    // Killed at the sync, or once complete and named but not yet renamed.
    struct Row {
        bool onFuse;
        bool atRename;
        bool leavesPending; // where there are unnamed files, only a named one stays
    };
    const Row rows[] = {
        {true, false, true},
        {true, true, true},
        {false, false, false},
        {false, true, true},
    };
    for (const Row& row : rows) {
        const QString work = kw27::test::makeSharedFolder(QStringLiteral("killed"));
        QString folder = work + QStringLiteral("/local");
        QDir().mkpath(folder);
        std::unique_ptr<FuseMount> mount;
        if (row.onFuse) {
            folder = work + QStringLiteral("/mnt");
            QDir().mkpath(folder);
            mount = bindfs({}, work, folder);
            if (!mount->mounted()) {
                std::printf("[ SKIPPED  ] on a FUSE mount: %s\n", qPrintable(mount->reason()));
                continue;
            }
        }
        const QString path = folder + QStringLiteral("/曲.ksg");
        writeBytes(path, "earlier");
        FileSystemCalls dying = FileSystemCalls::real();
        const auto die = [] {
            ::raise(SIGKILL);
            return -1;
        };
        if (row.atRename)
            dying.rename = [die](const char*, const char*) { return die(); };
        else
            dying.fsync = [die](int) { return die(); };
        const std::string where = std::string(row.onFuse ? "FUSE" : "local") +
                                  (row.atRename ? ", at rename" : ", at sync");

        const pid_t child = ::fork();
        if (child == 0) {
            kw27::writeWholeFile(path, "killed", dying);
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << where;

        EXPECT_EQ(readBytes(path), "earlier") << where;
        const QString pending = kw27::pendingNameFor(path);
        EXPECT_EQ(QFileInfo::exists(pending), row.leavesPending) << where;
        EXPECT_EQ(QFileInfo(pending).fileName(), QStringLiteral(".曲.ksg.kw27-save"));
        ASSERT_EQ(kw27::writeWholeFile(path, "next").outcome, WholeFileWrite::Written) << where;
        EXPECT_EQ(readBytes(path), "next") << where;
        EXPECT_EQ(entriesOf(folder), QStringList{QStringLiteral("曲.ksg")}) << where;
    }
}

TEST(WholeFileInASharedFolder, AClassmatesFileIsRefusedAndTheirLeftoverDoesNotBlock) {
    if (const QString why = kw27::test::whyNoOrdinaryUser(); !why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    struct Row {
        const char* what;
        bool unnamed;
        uid_t songOwner;
        uid_t leftoverOwner; // 0: none
        int status;
    };
    const Row rows[] = {
        {"a classmate's world-writable song", true, kClassmate, 0, kNotCreatedStatus},
        {"the same without unnamed files", false, kClassmate, 0, kNotCreatedStatus},
        {"a classmate's leftover beside the pupil's song", true, kPupil, kClassmate,
         kWrittenStatus},
        {"the same without unnamed files", false, kPupil, kClassmate, kWrittenStatus},
        {"the pupil's own leftover", false, kPupil, kPupil, kWrittenStatus},
    };
    for (const Row& row : rows) {
        const QString folder = kw27::test::makeSharedFolder(QStringLiteral("class"));
        chmod(folder, 01777);
        const QString path = folder + QStringLiteral("/曲.ksg");
        writeBytes(path, "earlier");
        chown(path, row.songOwner);
        chmod(path, 0666);
        const QString leftover = kw27::pendingNameFor(path);
        if (row.leftoverOwner != 0) {
            writeBytes(leftover, "leftover");
            chown(leftover, row.leftoverOwner);
        }

        const int status = kw27::test::runAs(kPupil, [&] {
            FileSystemCalls calls = FileSystemCalls::real();
            if (!row.unnamed)
                calls.open = [open = calls.open](const char* name, int flags, mode_t mode) {
                    if ((flags & O_TMPFILE) == O_TMPFILE) {
                        errno = EOPNOTSUPP;
                        return -1;
                    }
                    return open(name, flags, mode);
                };
            return outcomeStatus(kw27::writeWholeFile(path, "new", calls));
        });

        EXPECT_EQ(status, row.status) << row.what;
        const bool lands = row.status == kWrittenStatus;
        EXPECT_EQ(readBytes(path), lands ? "new" : "earlier") << row.what;
        QStringList expected{QStringLiteral("曲.ksg")};
        if (row.leftoverOwner == kClassmate) {
            expected.prepend(QFileInfo(leftover).fileName());
            EXPECT_EQ(readBytes(leftover), "leftover") << row.what;
        }
        EXPECT_EQ(entriesOf(folder), expected) << row.what;
    }
}

} // namespace
