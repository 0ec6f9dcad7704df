#include "SongText.h"

#include <algorithm>

namespace kw27::song {

namespace {
bool endsWithBreak(QStringView text, QStringView lineBreak) {
    return text.endsWith(lineBreak);
}

// Start of the last line; only meaningful when the text has lines.
qsizetype lastLineStart(QStringView text, QStringView lineBreak) {
    QStringView body = text;
    if (endsWithBreak(body, lineBreak))
        body.chop(lineBreak.size());
    // Not QStringView::lastIndexOf: Qt 6.4's looks past the end of a chopped view.
    const auto previousBreak =
        std::find_end(body.begin(), body.end(), lineBreak.begin(), lineBreak.end());
    return previousBreak == body.end() ? 0 : previousBreak - body.begin() + lineBreak.size();
}
} // namespace

QStringList songLines(QStringView text, QStringView lineBreak) {
    QStringList lines;
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype end = text.indexOf(lineBreak, start);
        if (end < 0) {
            lines.append(text.mid(start).toString());
            break;
        }
        lines.append(text.mid(start, end - start).toString());
        start = end + lineBreak.size();
    }
    return lines;
}

qsizetype songLineCount(QStringView text, QStringView lineBreak) {
    if (text.isEmpty())
        return 0;
    const qsizetype breaks = text.count(lineBreak);
    return endsWithBreak(text, lineBreak) ? breaks : breaks + 1;
}

TextEdit appendLineEdit(QStringView text, QStringView name, QStringView lineBreak) {
    TextEdit edit;
    edit.position = text.size();
    if (text.isEmpty() || endsWithBreak(text, lineBreak))
        edit.inserted = name.toString() + lineBreak.toString();
    else
        edit.inserted = lineBreak.toString() + name.toString();
    return edit;
}

std::optional<TextEdit> removeLastLineEdit(QStringView text, QStringView lineBreak) {
    if (text.isEmpty())
        return std::nullopt;
    TextEdit edit;
    edit.position = lastLineStart(text, lineBreak);
    edit.removed = text.size() - edit.position;
    return edit;
}

QString respelledBreaks(QStringView text, QStringView from, QStringView to) {
    return text.toString().replace(from.toString(), to.toString());
}

} // namespace kw27::song
