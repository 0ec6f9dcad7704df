#include "SheetFile.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

using kw27::test::FileSizeLimit;

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// The folder's entries other than "." and "..".
QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

} // namespace

TEST(SheetFile, WritesTheDocumentAndReplacesAnEarlierFile) {
    const QString folder = kw27::test::makeFolder(QStringLiteral("save"));
    const QString path = folder + QStringLiteral("/仕様書.rtf");
    kw27::writeSheetFile(path, QByteArray("{\\rtf1 first}"));
    EXPECT_EQ(contents(path), QByteArray("{\\rtf1 first}"));
    kw27::writeSheetFile(path, QByteArray("{\\rtf1 second, longer than the first}"));
    EXPECT_EQ(contents(path), QByteArray("{\\rtf1 second, longer than the first}"));
    kw27::writeSheetFile(path, QByteArray("{}"));
    EXPECT_EQ(contents(path), QByteArray("{}"));
    EXPECT_EQ(entriesOf(folder), QStringList{QStringLiteral("仕様書.rtf")});
}

TEST(SheetFile, FolderThatTakesNoFilesFailsAndWritesNothing) {
    const QString plainFile = kw27::test::makeFolder(QStringLiteral("notafolder")) + "/file";
    put(plainFile, "x");
    const QString readOnly = kw27::test::makeFolder(QStringLiteral("readonly"));
    put(readOnly + "/仕様書.rtf", "earlier");
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ExeOwner);
    // Permissions do not hold back the superuser; that row then proves nothing and is left out.
    QFile probe(readOnly + "/probe");
    const bool permissionsHold = !probe.open(QIODevice::WriteOnly);
    if (!permissionsHold)
        probe.remove();

    struct Row {
        QString path;
        bool applies;
    };
    const Row rows[] = {
        {plainFile + QStringLiteral("/仕様書.rtf"), true},
        {QStringLiteral("missing-folder/仕様書.rtf"), true},
        {readOnly + QStringLiteral("/仕様書.rtf"), permissionsHold},
        {kw27::test::makeFolder(QStringLiteral("a-folder-by-that-name")), true},
    };
    for (const Row& row : rows) {
        if (!row.applies)
            continue;
        EXPECT_THROW(kw27::writeSheetFile(row.path, "{\\rtf1 new}"), kw27::ESheetSaveError)
            << row.path.toStdString();
    }
    EXPECT_EQ(contents(plainFile), QByteArray("x"));
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("missing-folder")));
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(entriesOf(readOnly), QStringList{QStringLiteral("仕様書.rtf")});
    EXPECT_EQ(contents(readOnly + "/仕様書.rtf"), QByteArray("earlier"));
}

TEST(SheetFile, WriteThatCannotCompleteKeepsTheEarlierFileIntact) {
    // A sheet of a few KiB is still buffered when the disk fills up: its failure shows only
    // when the last bytes go out.
    struct Row {
        qsizetype documentBytes;
        rlim_t room;
    };
    const Row rows[] = {{2 * 1024, 64}, {64 * 1024, 4096}};
    for (const Row& row : rows) {
        const QString folder = kw27::test::makeFolder(QStringLiteral("full"));
        const QString path = folder + QStringLiteral("/仕様書.rtf");
        put(path, "earlier sheet");
        {
            const FileSizeLimit limit(row.room);
            EXPECT_THROW(kw27::writeSheetFile(path, QByteArray(row.documentBytes, 'x')),
                         kw27::ESheetSaveError)
                << row.documentBytes;
        }
        EXPECT_EQ(contents(path), QByteArray("earlier sheet"));
        EXPECT_EQ(entriesOf(folder), QStringList{QStringLiteral("仕様書.rtf")});
    }
}

TEST(SheetFile, WriteThatCannotCompleteOnANewNameLeavesNoFile) {
    const QString folder = kw27::test::makeFolder(QStringLiteral("full-new"));
    {
        const FileSizeLimit limit(64);
        EXPECT_THROW(
            kw27::writeSheetFile(folder + QStringLiteral("/仕様書.rtf"), QByteArray(2 * 1024, 'x')),
            kw27::ESheetSaveError);
    }
    EXPECT_EQ(entriesOf(folder), QStringList());
}
