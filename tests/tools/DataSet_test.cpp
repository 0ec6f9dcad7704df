// The data folder as a whole: every file the programs open is there, the generator's own
// list agrees, and generating twice gives the same bytes.
#include "DataSet.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

namespace {

// Every sound and clip file under Data, as the programs' tables name them.
QStringList expectedFiles() {
    const QStringList scale = {"C", "D", "E", "F", "G", "A", "B", "C2"};
    QStringList files;
    for (const QString& s : scale)
        files << s + ".wav";
    for (int cm = 14; cm <= 25; ++cm)
        files << QStringLiteral("Data1/%1cm.wav").arg(cm);
    for (const QString& s : scale)
        files << "Data1/" + s + ".wav";
    for (int cm = 14; cm <= 25; ++cm)
        files << QStringLiteral("Data2/%1cm.wav").arg(cm);
    for (const QString& s : scale)
        files << "Data2/" + s + ".wav";
    files << "Data2/C#.wav"
          << "Data2/D#.wav"
          << "Data2/F#.wav"
          << "Data2/G#.wav"
          << "Data2/A#.wav"
          << "Data2/yasumi.wav";
    files << QStringLiteral("Data2/ド.avi") << "Data2/re.avi" << QStringLiteral("Data2/ミ.avi")
          << QStringLiteral("Data2/ファ.avi") << QStringLiteral("Data2/ソ.avi") << "Data2/ra.avi"
          << QStringLiteral("Data2/シ.avi") << QStringLiteral("Data2/ド2.avi");
    return files;
}

QStringList filesUnder(const QString& root, const QStringList& skipFolders = {}) {
    QStringList files;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    const QDir base(root);
    while (it.hasNext()) {
        const QString relative = base.relativeFilePath(it.next());
        if (!skipFolders.contains(relative.section('/', 0, 0)))
            files << relative;
    }
    files.sort();
    return files;
}

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(DataSet, BuildWritesEveryFileTheProgramsOpen) {
    const QStringList expected = expectedFiles();
    ASSERT_EQ(expected.size(), 54 + 8);
    const QDir data(QString::fromUtf8(KW27_DATA_DIR));
    for (const QString& f : expected)
        EXPECT_TRUE(QFile::exists(data.filePath(f))) << f.toStdString();
}

TEST(DataSet, GeneratorListsExactlyTheExpectedFiles) {
    QStringList listed;
    for (const auto& s : kw27::datagen::soundFiles())
        listed << s.path;
    for (const auto& c : kw27::datagen::clipFiles())
        listed << c.path;
    QStringList expected = expectedFiles();
    expected.sort();
    listed.sort();
    EXPECT_EQ(listed, expected);
}

TEST(DataSet, TwoRunsWriteTheSameBytesAsTheBuild) {
    QTemporaryDir first;
    QTemporaryDir second;
    ASSERT_TRUE(first.isValid() && second.isValid());
    kw27::datagen::writeDataSet(first.path());
    kw27::datagen::writeDataSet(second.path());

    const QStringList written = filesUnder(first.path());
    QStringList expected = expectedFiles();
    expected.sort();
    ASSERT_EQ(written, expected) << "the generator wrote other files than expected";
    ASSERT_EQ(filesUnder(second.path()), written);
    // The build's folder also holds the hand-written manual; the rest must match.
    EXPECT_EQ(filesUnder(QString::fromUtf8(KW27_DATA_DIR), {QStringLiteral("マニュアル")}),
              written);

    for (const QString& f : written) {
        const QByteArray a = contents(QDir(first.path()).filePath(f));
        ASSERT_FALSE(a.isEmpty()) << f.toStdString();
        EXPECT_EQ(a, contents(QDir(second.path()).filePath(f))) << f.toStdString();
        EXPECT_EQ(a, contents(QDir(QString::fromUtf8(KW27_DATA_DIR)).filePath(f)))
            << f.toStdString() << " in the build differs from a fresh run";
    }
}

TEST(DataSet, UnwritableFolderIsReported) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A plain file where the Data1 folder must go.
    QFile blocker(QDir(dir.path()).filePath("Data1"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_THROW(kw27::datagen::writeDataSet(dir.path()), std::runtime_error);
}

} // namespace
