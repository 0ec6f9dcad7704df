#include "WholeFile.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

using kw27::test::readBytes;
using kw27::test::writeBytes;

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

TEST(WholeFile, ASaveTakesOverTheFileThatAKilledSaveLeftPending) {
    // The longest name the file system takes still has a pending name of its own.
    const QString names[] = {QStringLiteral("曲.ksg"), QString(251, u'a') + QStringLiteral(".ksg")};
    for (const QString& name : names) {
        const QString folder = kw27::test::makeFolder(QStringLiteral("pending"));
        const QString path = QDir(folder).filePath(name);
        writeBytes(path, "earlier");
        // A save killed between linking its complete file and renaming it.
        const QString pending = kw27::pendingNameFor(path);
        EXPECT_EQ(QFileInfo(pending).absolutePath(), folder);
        writeBytes(pending, "killed");
        ASSERT_EQ(kw27::writeWholeFile(path, "new").outcome, kw27::WholeFileWrite::Written);
        EXPECT_EQ(readBytes(path), "new");
        EXPECT_EQ(entriesOf(folder), QStringList{name});
    }
}

TEST(WholeFile, ALinkStaysAndTheReplacedFileKeepsItsPermissions) {
    const QString folder = kw27::test::makeFolder(QStringLiteral("kept"));
    const QString target = folder + QStringLiteral("/target.rtf");
    const QString link = folder + QStringLiteral("/link.rtf");
    writeBytes(target, "earlier");
    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0640), 0);
    ASSERT_TRUE(QFile::link(target, link));
    ASSERT_EQ(kw27::writeWholeFile(link, "new").outcome, kw27::WholeFileWrite::Written);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readBytes(target), "new");
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

} // namespace
