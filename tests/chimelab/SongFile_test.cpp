#include "Cp932.h"
#include "Cp932Input.h"
#include "KwError.h"
#include "NoteTable.h"
#include "QStringPrinting.h"
#include "SongBox.h"
#include "SongFile.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using kw27::test::FileSizeLimit;
using kw27::test::readBytes;
using kw27::test::writeBytes;
using namespace Qt::StringLiterals;
using kw27::song::SongFileText;

std::string bytesOf(std::initializer_list<unsigned char> bytes) {
    return std::string(bytes.begin(), bytes.end());
}

QString thrownMessage(const std::function<void()>& action) {
    try {
        action();
    } catch (const EKwError& error) {
        return error.message();
    }
    return u"<nothing thrown>"_s;
}

const QString kTooLarge = u"文字列の大きさが ﾒﾓ の制限を越えました"_s;

// Do, rest and upper do entered with the keys.
QString keyedSong() {
    QPlainTextEdit box;
    for (int entry : {21, 34, 28})
        for (const kw27::Note& note : kw27::kNotes)
            if (note.soundEntry == entry)
                kw27::song::appendLine(box, note.name, kw27::song::kBoxCapacity);
    return kw27::song::songText(box);
}

TEST(SongFileBytes, KeyedSongWithEmptyTitleIsTheTwentyBytes) {
    const std::string expected =
        bytesOf({0x0D, 0x0A, 0x83, 0x68, 0x0D, 0x0A, 0x83, 0x84, 0x83, 0x58,
                 0x83, 0x7E, 0x0D, 0x0A, 0x83, 0x68, 0x8F, 0xE3, 0x0D, 0x0A});
    ASSERT_EQ(expected.size(), 20u);
    EXPECT_EQ(kw27::song::encodeSongFile(QString(), keyedSong()), expected);
}

TEST(SongFileBytes, ATitleComesBeforeTheFirstBreak) {
    // 春の歌 = 8F 74 82 CC 89 CC
    const std::string expected =
        bytesOf({0x8F, 0x74, 0x82, 0xCC, 0x89, 0xCC, 0x0D, 0x0A, 0x83, 0x68, 0x0D, 0x0A, 0x83,
                 0x84, 0x83, 0x58, 0x83, 0x7E, 0x0D, 0x0A, 0x83, 0x68, 0x8F, 0xE3, 0x0D, 0x0A});
    EXPECT_EQ(kw27::song::encodeSongFile(u"春の歌"_s, keyedSong()), expected);
}

TEST(SongFileBytes, SongIsWrittenUnalteredAndEmptyPartsStillGetTheTitleBreak) {
    EXPECT_EQ(kw27::song::encodeSongFile(u"曲"_s, QString()), bytesOf({0x8B, 0xC8, 0x0D, 0x0A}));
    EXPECT_EQ(kw27::song::encodeSongFile(QString(), QString()), "\r\n");
    EXPECT_EQ(kw27::song::encodeSongFile(u"A"_s, u"ド\r\n ド "_s),
              bytesOf({0x41, 0x0D, 0x0A, 0x83, 0x68, 0x0D, 0x0A, 0x20, 0x83, 0x68, 0x20}));
}

TEST(SongFileBytes, TextWithoutACodePage932FormIsNotWrittenHalfConverted) {
    EXPECT_EQ(thrownMessage([] { kw27::song::encodeSongFile(u"😀"_s, u"ド"_s); }),
              u"ｽﾄﾘｰﾑへの書き込みｴﾗｰ"_s);
    EXPECT_EQ(thrownMessage([] { kw27::song::encodeSongFile(u"A"_s, u"ド\u00A0"_s); }),
              u"ｽﾄﾘｰﾑへの書き込みｴﾗｰ"_s);
}

TEST(SongFileDecode, EveryBreakSpellingGivesTheSameBoxes) {
    const SongFileText expected{u"春の歌"_s, u"ド\r\n\r\nヤスミ\r\n"_s};
    const std::string title = bytesOf({0x8F, 0x74, 0x82, 0xCC, 0x89, 0xCC});
    const std::string rest = bytesOf({0x83, 0x84, 0x83, 0x58, 0x83, 0x7E});
    const std::string files[] = {
        title + "\r\n\x83\x68\r\n\r\n" + rest + "\r\n",
        title + "\n\x83\x68\n\n" + rest + "\n",
        title + "\r\x83\x68\r\r" + rest + "\r",
        title + "\r\x83\x68\n\r\n" + rest + "\r",
        // LF CR is two breaks, not one reversed one
        title + "\n\x83\x68\n\r" + rest + "\r\n",
    };
    for (const std::string& file : files) {
        const SongFileText text = kw27::song::decodeSongFile(file);
        EXPECT_EQ(text.title, expected.title);
        EXPECT_EQ(text.song, expected.song);
    }
}

TEST(SongFileDecode, TitleIsTheFirstLineAndTheSongTheRest) {
    struct Row {
        std::string file;
        QString title;
        QString song;
    };
    const Row rows[] = {
        {"", u""_s, u""_s},
        {"\x83\x68", u"ド"_s, u""_s},
        {"\r\n", u""_s, u""_s},
        {"\r\n\x83\x68", u""_s, u"ド"_s},
        {"T\r\n", u"T"_s, u""_s},
        {"T\r\n\r\n", u"T"_s, u"\r\n"_s},
        {"\n\n\n", u""_s, u"\r\n\r\n"_s},
        {"T\r", u"T"_s, u""_s},
        {"  A b \r\nx", u"  A b "_s, u"x"_s},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file);
        const SongFileText text = kw27::song::decodeSongFile(row.file);
        EXPECT_EQ(text.title, row.title);
        EXPECT_EQ(text.song, row.song);
    }
}

TEST(SongFileDecode, NoDoubleByteCharacterEndsInACarriageReturnOrLineFeed) {
    // Every two-byte sequence that decodes as one character has its second byte in the trail
    // range 40-7E, 80-FC, so CR (0D) and LF (0A) can only ever be line breaks.
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!kw27::cp932::isLeadByte(static_cast<unsigned char>(lead)))
            continue;
        for (int trail = 0; trail <= 0xFF; ++trail) {
            const std::string pair =
                bytesOf({static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)});
            const std::optional<QString> text = kw27::cp932::decode(pair);
            if (text && text->size() == 1) {
                const bool inTrailRange =
                    (trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFC);
                EXPECT_TRUE(inTrailRange) << std::hex << lead << ' ' << trail;
            }
        }
    }
    // A lead byte before a break stands alone: the break still separates the lines.
    const SongFileText text = kw27::song::decodeSongFile(bytesOf({0x83, 0x0A, 0x83, 0x68}));
    EXPECT_EQ(text.title, QString(kw27::song::kUndecodable));
    EXPECT_EQ(text.song, u"ド"_s);
    const SongFileText cr = kw27::song::decodeSongFile(bytesOf({0x41, 0x83, 0x0D, 0x83, 0x68}));
    EXPECT_EQ(cr.title, u"A"_s + kw27::song::kUndecodable);
    EXPECT_EQ(cr.song, u"ド"_s);
}

TEST(SongFileDecode, TrailBytesThatLookLikeAsciiStayInTheirCharacters) {
    // ソ is 83 5C and ミ is 83 7E: their trail bytes are '\' and '~' on their own.
    const SongFileText text = kw27::song::decodeSongFile("\x83\x5C\n\x83\x7E\r\n\x83\x5C\\");
    EXPECT_EQ(text.title, u"ソ"_s);
    EXPECT_EQ(text.song, u"ミ\r\nソ\\"_s);
}

TEST(SongFileDecode, BytesThatAreNoCharacterLoadAsMiddleDots) {
    const QChar dot = kw27::song::kUndecodable;
    // 80 and A0 are no characters; 85 40 is an unassigned pair, one character wide.
    const SongFileText text =
        kw27::song::decodeSongFile(bytesOf({0x80, 0x41, 0x0D, 0x0A, 0x83, 0x68, 0x0D, 0x0A, 0x85,
                                            0x40, 0xA0, 0x83, 0x7E, 0x0D, 0x0A, 0x83}));
    EXPECT_EQ(text.title, dot + u"A"_s);
    EXPECT_EQ(text.song, u"ド\r\n"_s + dot + dot + u"ミ\r\n"_s + dot);
    EXPECT_TRUE(kw27::isCp932Text(text.title + text.song));
}

TEST(SongFileDecode, BoxesHoldAtMostTheirCapacity) {
    const qsizetype cap = kw27::song::kBoxCapacity;
    const std::string fullTitle(std::size_t(cap), 'T');
    EXPECT_EQ(kw27::song::decodeSongFile(fullTitle + "\r\n").title.size(), cap);
    EXPECT_EQ(thrownMessage([&] { kw27::song::decodeSongFile(fullTitle + "T"); }), kTooLarge);

    const std::string fullSong(std::size_t(cap), 'S');
    EXPECT_EQ(kw27::song::decodeSongFile("\r\n" + fullSong).song.size(), cap);
    EXPECT_EQ(thrownMessage([&] { kw27::song::decodeSongFile("\r\n" + fullSong + "S"); }),
              kTooLarge);
    // Capacity counts characters, not bytes: double-byte characters fill it no faster...
    std::string doubleByte;
    for (qsizetype i = 0; i < cap; ++i)
        doubleByte += "\x83\x68";
    EXPECT_EQ(kw27::song::decodeSongFile("\r\n" + doubleByte).song.size(), cap);
    // ...and lone LFs count as the CR LF they become.
    const std::string lineFeeds(std::size_t(cap / 2 + 1), '\n');
    EXPECT_EQ(thrownMessage([&] { kw27::song::decodeSongFile("\n" + lineFeeds); }), kTooLarge);
}

class SongFileOnDisk : public ::testing::Test {
protected:
    QString folder = kw27::test::makeFolder(u"songs"_s);
    QString path(const QString& name) const { return QDir(folder).filePath(name); }
    QStringList entries() const {
        return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }
};

TEST_F(SongFileOnDisk, SavedSongLoadsBackTheSame) {
    const QString file = path(u"ソングデータ.ksg"_s);
    const std::string bytes = kw27::song::encodeSongFile(u"かえるの歌"_s, keyedSong());
    ASSERT_TRUE(kw27::song::saveSongFile(file, bytes));
    EXPECT_EQ(readBytes(file), bytes);
    const SongFileText text = kw27::song::loadSongFile(file);
    EXPECT_EQ(text.title, u"かえるの歌"_s);
    EXPECT_EQ(text.song, keyedSong());
    EXPECT_EQ(entries(), QStringList{u"ソングデータ.ksg"_s});
}

TEST_F(SongFileOnDisk, SavingReplacesAnExistingFile) {
    const QString file = path(u"a.ksg"_s);
    writeBytes(file, std::string(100, 'x'));
    ASSERT_TRUE(kw27::song::saveSongFile(file, "\r\n"));
    EXPECT_EQ(readBytes(file), "\r\n");
}

TEST_F(SongFileOnDisk, AFileThatCannotBeCreatedIsReportedAndNothingIsWritten) {
    writeBytes(path(u"plain"_s), "x");
    const QString places[] = {
        path(u"missing/a.ksg"_s), // no such folder
        path(u"plain/a.ksg"_s),   // a file where a folder should be
        path(QString(300, u'a')), // a name longer than the file system takes
        u"/proc/kw27-song.ksg"_s, // a folder nobody may write, not even root
        folder,                   // a folder, not a file
    };
    for (const QString& place : places) {
        EXPECT_FALSE(kw27::song::saveSongFile(place, "\r\n\x83\x68\r\n")) << place.toStdString();
        EXPECT_FALSE(QFileInfo(place).isFile()) << place.toStdString();
    }
    EXPECT_EQ(entries(), QStringList{u"plain"_s});
}

TEST_F(SongFileOnDisk, AReadOnlyFileIsNotReplaced) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root may write any file";
    const QString file = path(u"old.ksg"_s);
    writeBytes(file, "old");
    QFile::setPermissions(file, QFileDevice::ReadOwner);
    EXPECT_FALSE(kw27::song::saveSongFile(file, "new"));
    EXPECT_EQ(readBytes(file), "old");
}

TEST_F(SongFileOnDisk, AWriteThatFailsKeepsTheEarlierFileByteForByte) {
    const QString file = path(u"曲.ksg"_s);
    const std::string earlier = kw27::song::encodeSongFile(u"前の曲"_s, keyedSong());
    writeBytes(file, earlier);
    const std::string longer = kw27::song::encodeSongFile(u"新しい曲"_s, keyedSong() + keyedSong());
    QString message;
    {
        FileSizeLimit limit(8);
        message = thrownMessage([&] { kw27::song::saveSongFile(file, longer); });
    }
    EXPECT_EQ(message, u"ｽﾄﾘｰﾑへの書き込みｴﾗｰ"_s);
    EXPECT_EQ(readBytes(file), earlier);
    EXPECT_EQ(entries(), QStringList{u"曲.ksg"_s}); // no temporary file left behind
}

TEST_F(SongFileOnDisk, AWriteThatFailsOnANewNameLeavesNoFile) {
    QString message;
    {
        FileSizeLimit limit(3);
        message =
            thrownMessage([&] { kw27::song::saveSongFile(path(u"new.ksg"_s), "T\r\n\x83\x68"); });
    }
    EXPECT_EQ(message, u"ｽﾄﾘｰﾑへの書き込みｴﾗｰ"_s);
    EXPECT_TRUE(entries().isEmpty());
}

TEST_F(SongFileOnDisk, AFileThatCannotBeOpenedNamesItsPath) {
    // Only regular files are read: a FIFO would hold the window until someone writes to it,
    // and a device never ends.
    const QString fifo = path(u"fifo.ksg"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString device = path(u"zero.ksg"_s);
    ASSERT_TRUE(QFile::link(u"/dev/zero"_s, device));
    for (const QString& file : {path(u"無い.ksg"_s), folder, fifo, device})
        EXPECT_EQ(thrownMessage([&] { kw27::song::loadSongFile(file); }),
                  u"ﾌｧｲﾙ "_s + file + u" は開けません"_s);
}

TEST_F(SongFileOnDisk, LoadingAFileBeyondTheCapacityFails) {
    const QString file = path(u"big.ksg"_s);
    writeBytes(file, "\r\n" + std::string(std::size_t(kw27::song::kBoxCapacity) + 1, 'S'));
    EXPECT_EQ(thrownMessage([&] { kw27::song::loadSongFile(file); }), kTooLarge);
    // So large that it is refused before being read.
    writeBytes(file, std::string(std::size_t(4 * kw27::song::kBoxCapacity + 5), 'S'));
    EXPECT_EQ(thrownMessage([&] { kw27::song::loadSongFile(file); }), kTooLarge);
}

} // namespace
