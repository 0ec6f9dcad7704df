#include "Cp932Input.h"

#include "Cp932.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>

namespace kw27 {

namespace {
bool isBreak(QChar c) {
    return c == u'\r' || c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

// Keys the text box turns into text of their own, as opposed to commands.
QString insertedByKey(const QKeyEvent& event) {
    if (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter)
        return QStringLiteral("\n");
    const QString text = event.text();
    if (text.isEmpty() || (text.at(0).category() == QChar::Other_Control && text.at(0) != u'\t'))
        return {};
    if (event.modifiers() & (Qt::ControlModifier | Qt::MetaModifier))
        return {};
    return text;
}
} // namespace

bool isCp932Text(const QString& text) {
    const std::optional<std::string> bytes = cp932::encode(text);
    if (!bytes)
        return false;
    const std::optional<QString> back = cp932::decode(*bytes);
    return back && *back == text;
}

qsizetype storedLength(QStringView text) {
    qsizetype length = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        length += isBreak(text[i]) ? 2 : 1;
    }
    return length;
}

Cp932Validator::Cp932Validator(QObject* parent) : QValidator(parent) {}

QValidator::State Cp932Validator::validate(QString& input, int&) const {
    if (std::any_of(input.cbegin(), input.cend(), isBreak))
        return Invalid;
    return isCp932Text(input) ? Acceptable : Invalid;
}

Cp932PlainTextEdit::Cp932PlainTextEdit(QWidget* parent) : QPlainTextEdit(parent) {}

bool Cp932PlainTextEdit::acceptsInsertion(const QString& inserted) const {
    QString characters = inserted;
    characters.removeIf(isBreak);
    if (!isCp932Text(characters))
        return false;
    if (maxStoredLength_ < 0)
        return true;
    const qsizetype after = storedLength(toPlainText()) -
                            storedLength(textCursor().selectedText()) + storedLength(inserted);
    return after <= maxStoredLength_;
}

void Cp932PlainTextEdit::keyPressEvent(QKeyEvent* event) {
    const QString inserted = insertedByKey(*event);
    if (!inserted.isEmpty() && !isReadOnly() && !acceptsInsertion(inserted)) {
        event->accept();
        QApplication::beep();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void Cp932PlainTextEdit::inputMethodEvent(QInputMethodEvent* event) {
    // The composition in progress is only shown; what counts is the committed text.
    if (!event->commitString().isEmpty() && !acceptsInsertion(event->commitString())) {
        QInputMethodEvent refused(event->preeditString(), event->attributes());
        QApplication::beep();
        QPlainTextEdit::inputMethodEvent(&refused);
        event->accept();
        return;
    }
    QPlainTextEdit::inputMethodEvent(event);
}

void Cp932PlainTextEdit::insertFromMimeData(const QMimeData* source) {
    if (source && source->hasText() && !acceptsInsertion(source->text())) {
        QApplication::beep();
        return;
    }
    QPlainTextEdit::insertFromMimeData(source);
}

} // namespace kw27
