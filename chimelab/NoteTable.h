#pragma once

#include <QString>
#include <array>
#include <string_view>

namespace kw27 {

// One key of the pipe keyboard: what it shows, the line it writes into the song and the sound
// table entry that line plays.
struct Note {
    QStringView caption;
    QStringView name;
    // The name in code page 932. Lines are matched against these bytes, so a line must be the
    // very same characters (width, blanks, letter case) to count as this note.
    std::string_view cp932Name;
    int soundEntry;
};

inline constexpr int kRestSoundEntry = 34;

// Keyboard order, which is also the order in which a line is matched.
inline constexpr std::array<Note, 14> kNotes{{
    {u"ド", u"ド", "\x83\x68", 21},
    {u"レ", u"レ", "\x83\x8C", 22},
    {u"ミ", u"ミ", "\x83\x7E", 23},
    {u"ファ", u"ファ", "\x83\x74\x83\x40", 24},
    {u"ソ", u"ソ", "\x83\x5C", 25},
    {u"ラ", u"ラ", "\x83\x89", 26},
    {u"シ", u"シ", "\x83\x56", 27},
    {u"ド", u"ド上", "\x83\x68\x8F\xE3", 28},
    {u"ド#", u"ド#", "\x83\x68\x23", 29},
    {u"レ#", u"レ#", "\x83\x8C\x23", 30},
    {u"ファ#", u"ファ#", "\x83\x74\x83\x40\x23", 31},
    {u"ソ#", u"ソ#", "\x83\x5C\x23", 32},
    {u"ラ#", u"ラ#", "\x83\x89\x23", 33},
    {u"ヤスミ", u"ヤスミ", "\x83\x84\x83\x58\x83\x7E", 34},
}};

// The sound table entry for one line of the song: the entry of the first note whose name has
// exactly the line's code page 932 bytes, the rest for anything else.
int noteSoundIndex(const QString& line);
int noteSoundIndexOfBytes(std::string_view cp932Line);

} // namespace kw27
