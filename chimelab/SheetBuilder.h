#pragma once

#include <QString>
#include <QStringList>

namespace kw27 {

// What the sheet page (仕様書作成) shows at the moment the sheet is built, taken unchanged
// from its controls.
struct SheetFields {
    QString date;
    QString school;
    QString gradeClass;
    QString name;
    QString pipe1; // the chooser's text: a catalogue label, or empty when nothing is chosen
    QString pipe2;
    QString pipe3;
    QString total; // the total label's text as last shown (the sheet does not add again)
    QString memo;
};

// Splits one appended line into the paragraphs it becomes: every line break inside it
// (CR LF, CR, LF and the Unicode line and paragraph separators) starts a further paragraph.
// An empty line is one empty paragraph.
QStringList paragraphsOf(const QString& line);

// The sheet, one entry per paragraph, in the order it is printed and saved.
QStringList buildSheet(const SheetFields& fields);

} // namespace kw27
