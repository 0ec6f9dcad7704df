#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace kw27::song {

// The most either box holds, in characters as the file stores them (a line break counts two):
// 1 Mi characters, between 200,000 and 350,000 notes, far beyond any tune a class writes. The
// song box then still fills in about a second and a key press still appends at once. A file
// with a longer title or song is refused on loading; typing and pasting stop at it too.
inline constexpr qsizetype kBoxCapacity = 1'048'576;

// What an undecodable byte (or pair of bytes) of a loaded file becomes: the katakana middle
// dot, which the boxes can hold and save.
inline constexpr QChar kUndecodable = QChar(0x30FB);

struct SongFileText {
    QString title;
    QString song; // CR LF line breaks
};

// The file's bytes: the title, CR LF, the song; code page 932, nothing else.
std::string encodeSongFile(const QString& title, const QString& song);

// Reads a file's bytes back: every lone CR and lone LF becomes CR LF (the second byte of a
// double-byte character is never taken for one), the first line is the title, the rest the
// song. Throws EKwError when either would not fit its box.
SongFileText decodeSongFile(std::string_view bytes);

// Writes the bytes to path through a temporary file in the same folder that replaces the
// file only once everything is written, so a failed save never destroys an earlier file.
// Returns false when the place refuses the file (a folder, stick or file that may not be
// written, a name the file system refuses); throws EKwError when the disk fails the write.
bool saveSongFile(const QString& path, std::string_view bytes);

// Reads and decodes the file at path. Throws EKwError when it cannot be opened or read, or
// when its text does not fit the boxes.
SongFileText loadSongFile(const QString& path);

} // namespace kw27::song
