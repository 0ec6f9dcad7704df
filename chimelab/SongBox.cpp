#include "SongBox.h"

#include "Cp932Input.h"
#include "SongText.h"

#include <QPlainTextEdit>
#include <QTextCursor>

namespace kw27::song {

namespace {
void apply(QPlainTextEdit& box, const TextEdit& edit) {
    QTextCursor cursor(box.document());
    cursor.setPosition(int(edit.position));
    cursor.setPosition(int(edit.position + edit.removed), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    cursor.insertText(edit.inserted);
    cursor.setPosition(int(edit.caretAfter()));
    box.setTextCursor(cursor);
}
} // namespace

QString songText(const QPlainTextEdit& box) {
    return respelledBreaks(box.toPlainText(), kBoxBreak, kCrLf);
}

void setSongText(QPlainTextEdit& box, const QString& song) {
    box.setPlainText(respelledBreaks(song, kCrLf, kBoxBreak));
}

QStringList songLines(const QPlainTextEdit& box) {
    return songLines(box.toPlainText(), kBoxBreak);
}

bool appendLine(QPlainTextEdit& box, QStringView name, qsizetype capacity) {
    const QString text = box.toPlainText();
    const TextEdit edit = appendLineEdit(text, name, kBoxBreak);
    if (storedLength(text) + storedLength(edit.inserted) > capacity)
        return false;
    apply(box, edit);
    return true;
}

void removeLastLine(QPlainTextEdit& box) {
    if (const std::optional<TextEdit> edit = removeLastLineEdit(box.toPlainText(), kBoxBreak))
        apply(box, *edit);
}

void putCaretAtStart(QPlainTextEdit& box) {
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(0);
    box.setTextCursor(cursor);
}

} // namespace kw27::song
