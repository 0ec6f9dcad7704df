#pragma once

#include <QPlainTextEdit>
#include <QValidator>

class QInputMethodEvent;
class QKeyEvent;
class QMimeData;

namespace kw27 {

// True when code page 932 holds text exactly: it converts, and converts back to the same
// characters. A character that only maps to a look-alike (or to nothing) would be saved as
// something other than what the pupil sees, so it does not count.
bool isCp932Text(const QString& text);

// How long text is as a file stores it: every line break (CR LF, a lone CR or LF, or the
// document's paragraph and line separators) takes two characters, CR and LF.
qsizetype storedLength(QStringView text);

// For one-line boxes: refuses an edit that would leave text code page 932 cannot hold, or a
// line break (a title is a single line of the file).
class Cp932Validator : public QValidator {
    Q_OBJECT
public:
    explicit Cp932Validator(QObject* parent = nullptr);
    State validate(QString& input, int& pos) const override;
};

// A multi-line box that refuses, as they are typed, pasted, dropped or composed, characters
// code page 932 cannot hold and text that would make it longer than its stored-length limit.
// Text set by the program is taken as it is.
class Cp932PlainTextEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit Cp932PlainTextEdit(QWidget* parent = nullptr);

    // Limit on storedLength(toPlainText()) for what the user enters; -1 means none.
    void setMaxStoredLength(qsizetype length) { maxStoredLength_ = length; }
    qsizetype maxStoredLength() const { return maxStoredLength_; }

    // Whether the user may put inserted in place of the current selection.
    bool acceptsInsertion(const QString& inserted) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    qsizetype maxStoredLength_ = -1;
};

} // namespace kw27
