#pragma once

// A small RTF reader for checking written sheets: groups, control words, \'hh bytes in the
// document's code page 932, \uN with its \ucN fallback count, \par, \tab, ignorable
// destinations and the font table. As a Unicode reader it takes \uN and skips the fallback;
// as a code page reader it ignores \uN (an unknown word to it) and reads the fallback bytes.

#include "Cp932.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cctype>
#include <vector>

namespace kw27::test {

struct RtfRead {
    bool valid = false; // "{\rtf1" first, braces balanced, nothing after the last "}"
    QString error;
    QStringList paragraphs;
    QStringList fontNames;
    QStringList controlWords; // every control word in order, without its parameter
    int fontHalfPoints = 0;
};

inline RtfRead readRtf(const QByteArray& rtf, bool unicodeReader) {
    enum class Dest { Text, FontTable, Skip };
    struct Group {
        Dest dest;
        int uc;
    };
    RtfRead result;
    std::vector<Group> stack;
    QString paragraph;
    QString fontName;
    QByteArray bytes; // code page bytes not yet decoded
    int skip = 0;     // fallback characters still to skip after a \uN
    bool anyText = false;

    auto dest = [&] { return stack.empty() ? Dest::Skip : stack.back().dest; };
    auto target = [&]() -> QString* {
        switch (dest()) {
        case Dest::Text:
            return &paragraph;
        case Dest::FontTable:
            return &fontName;
        case Dest::Skip:
            return nullptr;
        }
        return nullptr;
    };
    auto flushBytes = [&] {
        if (bytes.isEmpty())
            return true;
        const auto text = kw27::cp932::decode(std::string_view(bytes.constData(), bytes.size()));
        bytes.clear();
        if (!text) {
            result.error = QStringLiteral("bytes that are not code page 932");
            return false;
        }
        if (QString* t = target())
            *t += *text;
        return true;
    };
    auto putText = [&](const QString& s) {
        if (QString* t = target()) {
            *t += s;
            anyText = anyText || dest() == Dest::Text;
        }
    };
    auto putByte = [&](char b) {
        if (skip > 0) {
            --skip;
            return;
        }
        if (dest() == Dest::FontTable && b == ';') {
            if (!flushBytes())
                return;
            result.fontNames += fontName;
            fontName.clear();
            return;
        }
        if (target()) {
            bytes += b;
            anyText = anyText || dest() == Dest::Text;
        }
    };

    if (!rtf.startsWith("{\\rtf1")) {
        result.error = QStringLiteral("no {\\rtf1 header");
        return result;
    }
    qsizetype i = 0;
    const qsizetype n = rtf.size();
    bool ended = false;
    while (i < n) {
        const char c = rtf[i];
        if (ended) {
            if (c != '\r' && c != '\n' && c != ' ' && c != '\0') {
                result.error = QStringLiteral("text after the document's end");
                return result;
            }
            ++i;
            continue;
        }
        if (c == '{' || c == '}') {
            if (!flushBytes())
                return result;
            skip = 0;
            if (c == '{') {
                stack.push_back(stack.empty() ? Group{Dest::Text, 1} : stack.back());
            } else {
                if (stack.empty()) {
                    result.error = QStringLiteral("unbalanced }");
                    return result;
                }
                stack.pop_back();
                ended = stack.empty();
            }
            ++i;
        } else if (c == '\r' || c == '\n') {
            ++i;
        } else if (c != '\\') {
            putByte(c);
            ++i;
        } else if (i + 1 >= n) {
            result.error = QStringLiteral("a lone backslash at the end");
            return result;
        } else if (const char s = rtf[i + 1]; s == '\'') {
            bool ok = false;
            const int v = rtf.mid(i + 2, 2).toInt(&ok, 16);
            if (!ok || i + 4 > n) {
                result.error = QStringLiteral("bad \\' escape");
                return result;
            }
            putByte(char(v));
            i += 4;
        } else if (s == '\\' || s == '{' || s == '}') {
            putByte(s);
            i += 2;
        } else if (s == '*') {
            if (!stack.empty())
                stack.back().dest = Dest::Skip;
            i += 2;
        } else if (!std::isalpha(static_cast<unsigned char>(s))) {
            i += 2; // other control symbols carry no text the sheet uses
        } else {
            qsizetype j = i + 1;
            while (j < n && std::isalpha(static_cast<unsigned char>(rtf[j])))
                ++j;
            const QByteArray word = rtf.mid(i + 1, j - i - 1);
            qsizetype k = j;
            if (k < n && (rtf[k] == '-' || std::isdigit(static_cast<unsigned char>(rtf[k])))) {
                ++k;
                while (k < n && std::isdigit(static_cast<unsigned char>(rtf[k])))
                    ++k;
            }
            const bool hasParam = k > j;
            const int param = hasParam ? rtf.mid(j, k - j).toInt() : 0;
            if (k < n && rtf[k] == ' ')
                ++k;
            i = k;
            result.controlWords += QString::fromLatin1(word);

            if (skip > 0) { // a control word counts as one fallback character
                --skip;
                continue;
            }
            if (word == "u" && unicodeReader) {
                if (!flushBytes())
                    return result;
                putText(QString(QChar(char16_t(qint16(param)))));
                skip = stack.empty() ? 1 : stack.back().uc;
                continue;
            }
            if (!flushBytes())
                return result;
            if (word == "par" && dest() == Dest::Text) {
                result.paragraphs += paragraph;
                paragraph.clear();
                anyText = false;
            } else if (word == "tab") {
                putText(QStringLiteral("\t"));
            } else if (word == "uc" && !stack.empty()) {
                stack.back().uc = param;
            } else if (word == "fonttbl" && !stack.empty()) {
                stack.back().dest = Dest::FontTable;
            } else if (word == "fs" && dest() == Dest::Text) {
                result.fontHalfPoints = param;
            }
        }
    }
    if (!ended) {
        result.error = QStringLiteral("unbalanced {");
        return result;
    }
    if (anyText)
        result.paragraphs += paragraph;
    result.valid = true;
    return result;
}

} // namespace kw27::test
