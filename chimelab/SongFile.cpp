#include "SongFile.h"

#include "Cp932.h"
#include "KwError.h"
#include "WholeFile.h"

#include <QDir>

namespace kw27::song {

namespace {

constexpr std::string_view kCrLfBytes = "\r\n";

EKwError writeError() {
    return EKwError(QStringLiteral("ｽﾄﾘｰﾑへの書き込みｴﾗｰ"));
}

EKwError tooLarge() {
    return EKwError(QStringLiteral("文字列の大きさが ﾒﾓ の制限を越えました"));
}

EKwError cannotOpen(const QString& path) {
    return EKwError(QStringLiteral("ﾌｧｲﾙ %1 は開けません").arg(QDir::toNativeSeparators(path)));
}

bool isTrailByte(unsigned char b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// Bytes of the character that starts at i: two for a lead byte with a trail byte after it.
// A lead byte followed by anything else (a line break, say) stands alone.
std::size_t characterLength(std::string_view bytes, std::size_t i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (cp932::isLeadByte(b) && i + 1 < bytes.size() &&
        isTrailByte(static_cast<unsigned char>(bytes[i + 1])))
        return 2;
    return 1;
}

std::string withCrLfBreaks(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 16);
    std::size_t i = 0;
    while (i < bytes.size()) {
        const char b = bytes[i];
        if (b == '\r' || b == '\n') {
            out += kCrLfBytes;
            i += (b == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
            continue;
        }
        const std::size_t n = characterLength(bytes, i);
        out.append(bytes.substr(i, n));
        i += n;
    }
    return out;
}

void appendByCharacter(std::string_view bytes, QString& out) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const std::size_t n = characterLength(bytes, i);
        const std::optional<QString> character = cp932::decode(bytes.substr(i, n));
        if (character)
            out += *character;
        else
            out += kUndecodable;
        i += n;
    }
}

// Any file loads: what does not decode shows as kUndecodable. Only a line that fails as a
// whole is decoded character by character.
QString decodeLeniently(std::string_view bytes) {
    if (std::optional<QString> text = cp932::decode(bytes))
        return *text;
    QString out;
    out.reserve(qsizetype(bytes.size()));
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t lineBreak = bytes.find(kCrLfBytes, start);
        const std::size_t end =
            lineBreak == std::string_view::npos ? bytes.size() : lineBreak + kCrLfBytes.size();
        const std::string_view line = bytes.substr(start, end - start);
        if (std::optional<QString> text = cp932::decode(line))
            out += *text;
        else
            appendByCharacter(line, out);
        start = end;
    }
    return out;
}

} // namespace

std::string encodeSongFile(const QString& title, const QString& song) {
    const std::optional<std::string> titleBytes = cp932::encode(title);
    const std::optional<std::string> songBytes = cp932::encode(song);
    // The boxes refuse such text, so this is a safeguard: nothing half-converted is written.
    if (!titleBytes || !songBytes)
        throw writeError();
    std::string bytes;
    bytes.reserve(titleBytes->size() + kCrLfBytes.size() + songBytes->size());
    bytes += *titleBytes;
    bytes += kCrLfBytes;
    bytes += *songBytes;
    return bytes;
}

SongFileText decodeSongFile(std::string_view bytes) {
    const std::string text = withCrLfBreaks(bytes);
    const std::string_view view = text;
    const std::size_t firstBreak = view.find(kCrLfBytes);
    SongFileText result;
    if (firstBreak == std::string_view::npos) {
        result.title = decodeLeniently(view);
    } else {
        result.title = decodeLeniently(view.substr(0, firstBreak));
        result.song = decodeLeniently(view.substr(firstBreak + kCrLfBytes.size()));
    }
    if (result.title.size() > kBoxCapacity || result.song.size() > kBoxCapacity)
        throw tooLarge();
    return result;
}

bool saveSongFile(const QString& path, std::string_view bytes) {
    const kw27::WholeFileWrite written =
        kw27::writeWholeFile(path, QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    if (written.outcome == kw27::WholeFileWrite::NotCompleted)
        throw writeError();
    return written.outcome == kw27::WholeFileWrite::Written;
}

SongFileText loadSongFile(const QString& path) {
    // Every character takes at most two bytes, so a file beyond this cannot fit the boxes
    // however it decodes; it is refused without being read.
    const kw27::WholeFileRead file =
        kw27::readWholeFile(path, 4 * kBoxCapacity + 2 * qint64(kCrLfBytes.size()));
    if (file.outcome == kw27::WholeFileRead::NotOpened)
        throw cannotOpen(path);
    if (file.outcome == kw27::WholeFileRead::TooLarge)
        throw tooLarge();
    return decodeSongFile(std::string_view(file.bytes.constData(), std::size_t(file.bytes.size())));
}

} // namespace kw27::song
