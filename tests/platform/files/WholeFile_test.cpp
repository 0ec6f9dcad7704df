#include "WholeFile.h"

#include "FileSystemCalls.h"
#include "StickFixture.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

using kw27::FileSystemCalls;
using kw27::WholeFileWrite;
using kw27::test::entriesOf;
using kw27::test::readBytes;
using kw27::test::writeBytes;

bool isTmpfileOpen(int flags) {
    return (flags & O_TMPFILE) == O_TMPFILE;
}

// The calls of a file system without unnamed files (NFS, CIFS, FUSE), the rest real.
FileSystemCalls withoutUnnamedFiles(FileSystemCalls calls) {
    calls.open = [open = calls.open](const char* path, int flags, mode_t mode) {
        if (isTmpfileOpen(flags)) {
            errno = EOPNOTSUPP;
            return -1;
        }
        return open(path, flags, mode);
    };
    return calls;
}

TEST(WholeFile, ASaveTakesOverTheFileThatAKilledSaveLeftPending) {
    // The longest name the file system takes still has a pending name of its own; with and
    // without unnamed files.
    const QString names[] = {QStringLiteral("曲.ksg"), QString(251, u'a') + QStringLiteral(".ksg")};
    for (const bool unnamed : {true, false}) {
        const FileSystemCalls calls =
            unnamed ? FileSystemCalls::real() : withoutUnnamedFiles(FileSystemCalls::real());
        for (const QString& name : names) {
            const QString folder = kw27::test::makeFolder(QStringLiteral("pending"));
            const QString path = QDir(folder).filePath(name);
            writeBytes(path, "earlier");
            // A save killed between linking its complete file and renaming it.
            const QString pending = kw27::pendingNameFor(path);
            EXPECT_EQ(QFileInfo(pending).absolutePath(), folder);
            writeBytes(pending, "killed");
            ASSERT_EQ(kw27::writeWholeFile(path, "new", calls).outcome, WholeFileWrite::Written)
                << name.size() << unnamed;
            EXPECT_EQ(readBytes(path), "new");
            EXPECT_EQ(entriesOf(folder), QStringList{name}) << name.size() << unnamed;
        }
    }
}

TEST(WholeFile, ALinkStaysAndTheReplacedFileKeepsItsPermissions) {
    const QString folder = kw27::test::makeFolder(QStringLiteral("kept"));
    const QString target = folder + QStringLiteral("/target.rtf");
    const QString link = folder + QStringLiteral("/link.rtf");
    writeBytes(target, "earlier");
    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0640), 0);
    ASSERT_TRUE(QFile::link(target, link));
    ASSERT_EQ(kw27::writeWholeFile(link, "new").outcome, WholeFileWrite::Written);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readBytes(target), "new");
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

// The one step a row makes fail, as the system would answer it.
enum class Step {
    Stat,
    Access,
    Create, // the unnamed file's open, or the pending name's where there are no unnamed files
    Fchmod,
    Write,
    Fsync,
    Close,
    Link,
    Rename,
};

FileSystemCalls failing(FileSystemCalls calls, Step step, int error) {
    const auto fail = [error] {
        errno = error;
        return -1;
    };
    switch (step) {
    case Step::Stat:
        calls.stat = [fail](const char*, struct stat*) { return fail(); };
        break;
    case Step::Access:
        calls.access = [fail](const char*, int) { return fail(); };
        break;
    case Step::Create:
        calls.open = [fail, open = calls.open](const char* path, int flags, mode_t mode) {
            return (flags & O_CREAT) || isTmpfileOpen(flags) ? fail() : open(path, flags, mode);
        };
        break;
    case Step::Fchmod:
        calls.fchmod = [fail](int, mode_t) { return fail(); };
        break;
    case Step::Write:
        calls.write = [fail](int, const void*, size_t) { return ssize_t(fail()); };
        break;
    case Step::Fsync:
        calls.fsync = [fail](int) { return fail(); };
        break;
    case Step::Close:
        // The descriptor is closed all the same, as the system does.
        calls.close = [fail, close = calls.close](int fd) {
            close(fd);
            return fail();
        };
        break;
    case Step::Link:
        calls.linkOpenFile = [fail](int, const char*) { return fail(); };
        break;
    case Step::Rename:
        calls.rename = [fail](const char*, const char*) { return fail(); };
        break;
    }
    return calls;
}

TEST(WholeFile, EachStepsFailureIsToldByTheSystemsAnswerAndNeverTearsTheFile) {
    struct Row {
        const char* what;
        Step step;
        int error;
        WholeFileWrite::Outcome outcome;
    };
    const Row rows[] = {
        // Permissions are kept where they can be; a stick that cannot keep them still saves.
        {"FAT keeps no permissions", Step::Fchmod, ENOSYS, WholeFileWrite::Written},
        {"a stick mounted for everyone", Step::Fchmod, EPERM, WholeFileWrite::Written},
        {"a FUSE driver without chmod", Step::Fchmod, EOPNOTSUPP, WholeFileWrite::Written},
        {"a failing stick at chmod", Step::Fchmod, EIO, WholeFileWrite::NotCompleted},
        // The place refuses the file: the name holds what it held.
        {"a name the file system refuses", Step::Stat, ENAMETOOLONG, WholeFileWrite::NotCreated},
        {"a read-only file", Step::Access, EACCES, WholeFileWrite::NotCreated},
        {"a read-only stick", Step::Access, EROFS, WholeFileWrite::NotCreated},
        {"a folder that may not be written", Step::Create, EACCES, WholeFileWrite::NotCreated},
        {"a read-only stick at create", Step::Create, EROFS, WholeFileWrite::NotCreated},
        {"a name refused only when made", Step::Create, ENAMETOOLONG, WholeFileWrite::NotCreated},
        {"a classmate's file in a sticky folder", Step::Rename, EPERM, WholeFileWrite::NotCreated},
        {"a name refused only at rename", Step::Rename, ENAMETOOLONG, WholeFileWrite::NotCreated},
        {"a folder locked meanwhile", Step::Rename, EACCES, WholeFileWrite::NotCreated},
        {"a folder locked before the link", Step::Link, EACCES, WholeFileWrite::NotCreated},
        // The disk fails: the old file stays whole.
        {"a full stick at create", Step::Create, ENOSPC, WholeFileWrite::NotCompleted},
        {"a full disk", Step::Write, ENOSPC, WholeFileWrite::NotCompleted},
        {"a failing stick", Step::Write, EIO, WholeFileWrite::NotCompleted},
        {"a quota reached", Step::Write, EDQUOT, WholeFileWrite::NotCompleted},
        {"a full disk at the sync", Step::Fsync, ENOSPC, WholeFileWrite::NotCompleted},
        {"a failing stick at the sync", Step::Fsync, EIO, WholeFileWrite::NotCompleted},
        {"a network folder at the close", Step::Close, EIO, WholeFileWrite::NotCompleted},
        {"no room for the pending name", Step::Link, ENOSPC, WholeFileWrite::NotCompleted},
        {"a failing stick at rename", Step::Rename, EIO, WholeFileWrite::NotCompleted},
    };
    for (const bool unnamed : {true, false}) {
        for (const bool replacing : {true, false}) {
            for (const Row& row : rows) {
                // Without unnamed files the pending name is made by the open itself.
                if (!unnamed && row.step == Step::Link)
                    continue;
                // A new file has no permissions to keep and nothing to check for writing.
                if (!replacing && (row.step == Step::Access || row.step == Step::Fchmod))
                    continue;
                const std::string where = std::string(row.what) +
                                          (unnamed ? ", unnamed" : ", named") +
                                          (replacing ? ", replacing" : ", new");
                const QString folder = kw27::test::makeFolder(QStringLiteral("steps"));
                const QString path = folder + QStringLiteral("/曲.ksg");
                if (replacing)
                    writeBytes(path, "earlier");
                // Without unnamed files, the open that makes the pending name is the one to fail.
                FileSystemCalls calls = failing(FileSystemCalls::real(), row.step, row.error);
                if (!unnamed)
                    calls = withoutUnnamedFiles(calls);
                const WholeFileWrite written = kw27::writeWholeFile(path, "new", calls);

                EXPECT_EQ(written.outcome, row.outcome) << where;
                const bool lands = row.outcome == WholeFileWrite::Written;
                EXPECT_EQ(readBytes(path), lands       ? "new"
                                           : replacing ? "earlier"
                                                       : "<missing>")
                    << where;
                EXPECT_EQ(entriesOf(folder), (lands || replacing)
                                                 ? QStringList{QStringLiteral("曲.ksg")}
                                                 : QStringList())
                    << where; // no pending file left behind
                if (!lands) {
                    EXPECT_EQ(written.error, row.error) << where;
                    EXPECT_EQ(written.reason, qt_error_string(row.error)) << where;
                }
            }
        }
    }
}

TEST(WholeFile, ALeftoverThatMayNotBeRemovedDoesNotBlockTheSave) {
    // A classmate's leftover in a sticky folder: removing it is refused, so the save waits
    // under a name of its own, which it removes when it fails.
    struct Row {
        bool unnamed;
        bool renameRefused;
    };
    const Row rows[] = {{true, false}, {false, false}, {true, true}, {false, true}};
    for (const Row& row : rows) {
        const QString folder = kw27::test::makeFolder(QStringLiteral("leftover"));
        const QString path = folder + QStringLiteral("/曲.ksg");
        writeBytes(path, "earlier");
        const QString leftover = kw27::pendingNameFor(path);
        writeBytes(leftover, "classmate's");
        FileSystemCalls calls = FileSystemCalls::real();
        if (!row.unnamed)
            calls = withoutUnnamedFiles(calls);
        const QByteArray protectedName = QFile::encodeName(leftover);
        calls.unlink = [protectedName, unlink = calls.unlink](const char* name) {
            if (protectedName == name) {
                errno = EPERM;
                return -1;
            }
            return unlink(name);
        };
        if (row.renameRefused)
            calls = failing(calls, Step::Rename, EPERM);

        const WholeFileWrite written = kw27::writeWholeFile(path, "new", calls);

        EXPECT_EQ(written.outcome,
                  row.renameRefused ? WholeFileWrite::NotCreated : WholeFileWrite::Written)
            << row.unnamed << row.renameRefused;
        EXPECT_EQ(readBytes(path), row.renameRefused ? "earlier" : "new");
        EXPECT_EQ(readBytes(leftover), "classmate's");
        EXPECT_EQ(entriesOf(folder),
                  (QStringList{QFileInfo(leftover).fileName(), QStringLiteral("曲.ksg")}))
            << row.unnamed << row.renameRefused;
    }
}

TEST(WholeFile, NameLengthIsTheFileSystemsToJudge) {
    // 120 Japanese characters are 360 bytes of UTF-8: more than ext4 takes, but within what
    // exFAT and NTFS take (255 UTF-16 units). The writer counts nothing itself: here the
    // system refuses the name, and the pending name too, in its own words.
    const QString folder = kw27::test::makeFolder(QStringLiteral("long"));
    const QString name = QString(120, u'曲') + QStringLiteral(".ksg");
    for (const bool unnamed : {true, false}) {
        const FileSystemCalls calls =
            unnamed ? FileSystemCalls::real() : withoutUnnamedFiles(FileSystemCalls::real());
        const WholeFileWrite written = kw27::writeWholeFile(folder + u'/' + name, "new", calls);
        EXPECT_EQ(written.outcome, WholeFileWrite::NotCreated);
        EXPECT_EQ(written.error, ENAMETOOLONG);
        EXPECT_EQ(entriesOf(folder), QStringList());
    }
    // A name of 85 such characters (255 bytes) is taken, with its pending name shortened.
    const QString longest = QString(85, u'曲');
    ASSERT_EQ(QFile::encodeName(longest).size(), 255);
    for (const bool unnamed : {true, false}) {
        const FileSystemCalls calls =
            unnamed ? FileSystemCalls::real() : withoutUnnamedFiles(FileSystemCalls::real());
        EXPECT_EQ(kw27::writeWholeFile(folder + u'/' + longest, "new", calls).outcome,
                  WholeFileWrite::Written);
        EXPECT_EQ(entriesOf(folder), QStringList{longest});
    }
}

} // namespace
