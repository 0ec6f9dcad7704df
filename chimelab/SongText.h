#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

namespace kw27::song {

// The song is the text of the song box: lines separated by line breaks, where a break at the
// very end does not start a further line. The file spells a break CR LF; the box's document
// spells it LF. Every operation takes the spelling, so the same rules serve both, and the
// positions they give are positions in the text they were given.
inline constexpr QStringView kCrLf = u"\r\n";
inline constexpr QStringView kBoxBreak = u"\n";

QStringList songLines(QStringView text, QStringView lineBreak = kCrLf);
qsizetype songLineCount(QStringView text, QStringView lineBreak = kCrLf);

// One change to the text: remove `removed` characters at `position`, then insert `inserted`
// there. The caret ends after the inserted text.
struct TextEdit {
    qsizetype position = 0;
    qsizetype removed = 0;
    QString inserted;

    qsizetype caretAfter() const { return position + inserted.size(); }
    bool operator==(const TextEdit&) const = default;
};

// A note name as the new last line. After an empty text or a final line break the name and a
// break follow; otherwise a break comes first and the text keeps having no final break.
TextEdit appendLineEdit(QStringView text, QStringView name, QStringView lineBreak = kCrLf);

// Removes the last line with everything after it (its own break, if any); a break in front of
// it stays. Nothing when the text has no lines.
std::optional<TextEdit> removeLastLineEdit(QStringView text, QStringView lineBreak = kCrLf);

// The text with every `from` break spelled `to`.
QString respelledBreaks(QStringView text, QStringView from, QStringView to);

} // namespace kw27::song
