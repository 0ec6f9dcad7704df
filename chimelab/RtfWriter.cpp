#include "RtfWriter.h"

#include "Cp932.h"

namespace kw27 {

namespace {

// Writes text into an RTF group, keeping track of the \uc count (how many fallback bytes
// follow each \uN) so that it is only restated when it changes.
class RtfTextWriter {
public:
    // ucCount: the \uc count in force where the writing starts (groups inherit it).
    RtfTextWriter(QByteArray& out, qsizetype ucCount) : out_(out), ucCount_(ucCount) {}

    qsizetype ucCount() const { return ucCount_; }

    void write(const QString& text) {
        for (const QChar c : text)
            writeUnit(c);
    }

private:
    void writeUnit(QChar c) {
        const char16_t u = c.unicode();
        if (u == u'\\' || u == u'{' || u == u'}') {
            out_ += '\\';
            out_ += char(u);
        } else if (u == u'\t') {
            out_ += "\\tab ";
        } else if (u < 0x20 || u == 0x7F) {
            writeHexBytes(QByteArray(1, char(u)));
        } else if (u < 0x80) {
            out_ += char(u);
        } else {
            writeUnicode(c);
        }
    }

    void writeUnicode(QChar c) {
        // A lone half of a surrogate pair has no code page form of its own; each half gets
        // the plain "?" that code page readers show for characters they cannot have.
        QByteArray fallback("?");
        if (!c.isSurrogate()) {
            if (const auto bytes = cp932::encode(QString(c)); bytes && !bytes->empty())
                fallback = QByteArray(bytes->data(), qsizetype(bytes->size()));
        }
        if (fallback.size() != ucCount_) {
            ucCount_ = fallback.size();
            out_ += "\\uc" + QByteArray::number(ucCount_);
        }
        // \uN takes a signed 16-bit value.
        out_ += "\\u" + QByteArray::number(int(qint16(c.unicode())));
        if (fallback == "?")
            out_ += '?';
        else
            writeHexBytes(fallback);
    }

    void writeHexBytes(const QByteArray& bytes) {
        static const char digits[] = "0123456789abcdef";
        for (const char b : bytes) {
            const auto v = static_cast<unsigned char>(b);
            out_ += "\\'";
            out_ += digits[v >> 4];
            out_ += digits[v & 0xF];
        }
    }

    QByteArray& out_;
    qsizetype ucCount_;
};

} // namespace

QByteArray rtfDocument(const QStringList& paragraphs, const RtfFont& font) {
    QByteArray out;
    // Japanese as the default language and code page 932 as the document's, so that code page
    // readers take the fallback bytes as Shift-JIS; \fcharset128 says the same of the font.
    out += "{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1041\\deflangfe1041\r\n";
    out += "{\\fonttbl{\\f0\\fmodern\\fprq1\\fcharset128 ";
    RtfTextWriter name(out, 1);
    name.write(font.family);
    if (!font.altFamily.isEmpty()) {
        out += "{\\*\\falt ";
        RtfTextWriter(out, name.ucCount()).write(font.altFamily);
        out += '}';
    }
    out += ";}}\r\n";
    out += "\\uc1\\pard\\plain\\lang1041\\f0\\fs" + QByteArray::number(font.halfPoints) + ' ';

    RtfTextWriter body(out, 1);
    for (const QString& paragraph : paragraphs) {
        body.write(paragraph);
        out += "\\par\r\n";
    }
    out += "}\r\n";
    return out;
}

} // namespace kw27
