#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kw27 {

// The font every paragraph of an RTF document is written in.
struct RtfFont {
    QString family;    // as the program names it, e.g. "ＭＳ ゴシック"
    QString altFamily; // the same face's Latin name for readers that match on it; may be empty
    int halfPoints;    // \fs: the size in half points
};

// A complete RTF document (code page 932 as the document's code page) whose paragraphs are
// the given ones in order, each a plain paragraph in font. Every character that is not
// printable ASCII is written as \uN followed by its code page 932 bytes, so that Unicode
// readers and code page readers both read it right; a character code page 932 lacks falls
// back to "?" for code page readers only.
QByteArray rtfDocument(const QStringList& paragraphs, const RtfFont& font);

} // namespace kw27
