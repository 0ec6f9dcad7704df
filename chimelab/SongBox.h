#pragma once

#include <QString>
#include <QStringList>

class QPlainTextEdit;

// The song rules applied to the song box itself. The box's document breaks lines with LF;
// these functions speak the file's CR LF outside and keep the box's own edit history.
namespace kw27::song {

QString songText(const QPlainTextEdit& box);
void setSongText(QPlainTextEdit& box, const QString& song);
QStringList songLines(const QPlainTextEdit& box);

// Appends name as the new last line, drops any selection and leaves the caret after it.
// Returns false, changing nothing, when the song would then be longer than capacity (stored
// characters).
bool appendLine(QPlainTextEdit& box, QStringView name, qsizetype capacity);

// Removes the last line (nothing when the song has none).
void removeLastLine(QPlainTextEdit& box);

void putCaretAtStart(QPlainTextEdit& box);

} // namespace kw27::song
