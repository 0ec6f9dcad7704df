#include "Cp932.h"
#include "NoteTable.h"
#include "QStringPrinting.h"

#include <gtest/gtest.h>

#include <set>

namespace {

std::string bytesOf(std::initializer_list<unsigned char> bytes) {
    return std::string(bytes.begin(), bytes.end());
}

struct NoteRow {
    const char16_t* name;
    std::string cp932;
    int entry;
};

// The keyboard as the pupil's sheet lists it: name, its Shift-JIS bytes, the sound it plays.
const NoteRow kKeyboard[] = {
    {u"ド", bytesOf({0x83, 0x68}), 21},
    {u"レ", bytesOf({0x83, 0x8C}), 22},
    {u"ミ", bytesOf({0x83, 0x7E}), 23},
    {u"ファ", bytesOf({0x83, 0x74, 0x83, 0x40}), 24},
    {u"ソ", bytesOf({0x83, 0x5C}), 25},
    {u"ラ", bytesOf({0x83, 0x89}), 26},
    {u"シ", bytesOf({0x83, 0x56}), 27},
    {u"ド上", bytesOf({0x83, 0x68, 0x8F, 0xE3}), 28},
    {u"ド#", bytesOf({0x83, 0x68, 0x23}), 29},
    {u"レ#", bytesOf({0x83, 0x8C, 0x23}), 30},
    {u"ファ#", bytesOf({0x83, 0x74, 0x83, 0x40, 0x23}), 31},
    {u"ソ#", bytesOf({0x83, 0x5C, 0x23}), 32},
    {u"ラ#", bytesOf({0x83, 0x89, 0x23}), 33},
    {u"ヤスミ", bytesOf({0x83, 0x84, 0x83, 0x58, 0x83, 0x7E}), 34},
};

TEST(NoteTable, RowsInKeyboardOrderWithTheirBytesAndSounds) {
    ASSERT_EQ(kw27::kNotes.size(), std::size(kKeyboard));
    for (std::size_t i = 0; i < kw27::kNotes.size(); ++i) {
        const kw27::Note& note = kw27::kNotes[i];
        const NoteRow& row = kKeyboard[i];
        SCOPED_TRACE(QString::fromUtf16(row.name).toStdString());
        EXPECT_EQ(note.name, QStringView(row.name));
        EXPECT_EQ(note.cp932Name, row.cp932);
        EXPECT_EQ(note.soundEntry, row.entry);
        // The stored bytes must be what the name really is in code page 932.
        EXPECT_EQ(kw27::cp932::encode(note.name.toString()), row.cp932);
    }
}

TEST(NoteTable, CaptionsAreTheNamesExceptTheUpperDoWhichShowsDo) {
    for (const kw27::Note& note : kw27::kNotes) {
        if (note.soundEntry == 28)
            EXPECT_EQ(note.caption, QStringView(u"ド"));
        else
            EXPECT_EQ(note.caption, note.name);
    }
}

TEST(NoteSoundIndex, EachNameTypedOrEnteredFindsItsOwnSound) {
    std::set<int> entries;
    for (const NoteRow& row : kKeyboard) {
        const QString line = QString::fromUtf16(row.name);
        EXPECT_EQ(kw27::noteSoundIndex(line), row.entry) << line.toStdString();
        EXPECT_EQ(kw27::noteSoundIndexOfBytes(row.cp932), row.entry) << line.toStdString();
        entries.insert(kw27::noteSoundIndex(line));
    }
    EXPECT_EQ(entries.size(), 14u);
}

TEST(NoteSoundIndex, LookAlikesPlayTheRest) {
    const char16_t* lines[] = {
        u"",         // empty line
        u"ド ",      // trailing blank
        u" ド",      // leading blank
        u"ド　",     // trailing ideographic blank
        u"ﾄﾞ",       // half-width katakana
        u"ﾐ",        //
        u"ﾌｧ",       //
        u"C",        // the letter
        u"ド＃",     // full-width number sign
        u"ド♯",      // music sharp sign
        u"ファ #",   // blank before the sign
        u"上",       // part of a name
        u"ドド",     // two names run together
        u"ド上上",   //
        u"やすみ",   // hiragana
        u"ヤスミ\t", // tab after
        u"ド\u0301", // combining mark: no code page 932 form at all
        u"😀",        // outside code page 932
    };
    for (const char16_t* line : lines) {
        const QString text = QString::fromUtf16(line);
        EXPECT_EQ(kw27::noteSoundIndex(text), kw27::kRestSoundEntry) << text.toStdString();
    }
}

TEST(NoteSoundIndex, ComparesWholeByteStrings) {
    // Prefixes and extensions of a name's bytes match nothing: ド is a prefix of ド上 and ド#,
    // and the single-byte 0x83 is the lead byte they share.
    EXPECT_EQ(kw27::noteSoundIndexOfBytes(bytesOf({0x83})), 34);
    EXPECT_EQ(kw27::noteSoundIndexOfBytes(bytesOf({0x83, 0x68, 0x8F})), 34);
    EXPECT_EQ(kw27::noteSoundIndexOfBytes(bytesOf({0x83, 0x68, 0x23, 0x23})), 34);
    EXPECT_EQ(kw27::noteSoundIndexOfBytes(bytesOf({0x83, 0x68, 0x00})), 34);
    EXPECT_EQ(kw27::noteSoundIndexOfBytes(bytesOf({0x00, 0x83, 0x68})), 34);
    EXPECT_EQ(kw27::noteSoundIndexOfBytes(bytesOf({0x83, 0x68, 0x0D})), 34);
}

} // namespace
