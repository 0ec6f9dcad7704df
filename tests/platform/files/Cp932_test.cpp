#include "Cp932.h"

#include <gtest/gtest.h>

#include <QString>

#include <optional>
#include <string>

using namespace kw27;

namespace {

std::string hex(const std::optional<std::string>& bytes) {
    if (!bytes)
        return "(none)";
    std::string out;
    static const char digits[] = "0123456789ABCDEF";
    for (unsigned char b : *bytes) {
        if (!out.empty())
            out += ' ';
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

} // namespace

// The note names of the pipe keyboard and their bytes in the song file.
TEST(Cp932Test, NoteNamesConvertBothWaysByteForByte) {
    struct Row {
        const char* name;
        const char* bytes;
    } rows[] = {
        {"ド", "83 68"},
        {"レ", "83 8C"},
        {"ミ", "83 7E"},
        {"ファ", "83 74 83 40"},
        {"ソ", "83 5C"},
        {"ラ", "83 89"},
        {"シ", "83 56"},
        {"ド上", "83 68 8F E3"},
        {"ド#", "83 68 23"},
        {"レ#", "83 8C 23"},
        {"ファ#", "83 74 83 40 23"},
        {"ソ#", "83 5C 23"},
        {"ラ#", "83 89 23"},
        {"ヤスミ", "83 84 83 58 83 7E"},
    };
    for (const Row& row : rows) {
        const QString name = QString::fromUtf8(row.name);
        SCOPED_TRACE(row.name);
        const std::optional<std::string> encoded = cp932::encode(name);
        EXPECT_EQ(hex(encoded), row.bytes);
        ASSERT_TRUE(encoded);
        EXPECT_EQ(cp932::decode(*encoded), std::optional<QString>(name));
        EXPECT_TRUE(cp932::canEncode(name));
    }
}

TEST(Cp932Test, SingleByteAndExtensionCharacters) {
    struct Row {
        QString text;
        const char* bytes;
    } rows[] = {
        {QStringLiteral("ｽﾄﾘｰﾑ"), "BD C4 D8 B0 D1"},
        {QStringLiteral("｡･"), "A1 A5"},
        // 0x5C stays the backslash and 0x7E the tilde, as on the machines the files come from.
        {QStringLiteral("\\~"), "5C 7E"},
        {QStringLiteral("\u301C"), "81 60"}, // wave dash
        {QStringLiteral("\u2212"), "81 7C"}, // minus sign
        {QStringLiteral("①"), "87 40"},      // NEC extension
        {QStringLiteral("髙"), "FB FC"},     // IBM extension
        {QStringLiteral(""), ""},
        {QString(QChar(u'a')) + QChar(u'\0') + QChar(u'b'), "61 00 62"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text.toStdString());
        const std::optional<std::string> encoded = cp932::encode(row.text);
        EXPECT_EQ(hex(encoded), row.bytes);
    }
    EXPECT_EQ(cp932::decode("\x5C"), std::optional<QString>(QStringLiteral("\\")));
    EXPECT_EQ(cp932::decode("\xBD\xC4\xD8\xB0\xD1"),
              std::optional<QString>(QStringLiteral("ｽﾄﾘｰﾑ")));
}

TEST(Cp932Test, TextWithoutACodePage932FormIsRefusedWhole) {
    const QString lone = QString(QChar(u'a')) + QChar(char16_t(0xD800)) + QChar(u'b');
    const QString rows[] = {
        QStringLiteral("😀"),
        QStringLiteral("한"),
        QStringLiteral("ド😀レ"),
        QStringLiteral("ドレミ한"),
        lone,
    };
    for (const QString& text : rows) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(cp932::encode(text), std::nullopt);
        EXPECT_FALSE(cp932::canEncode(text));
    }
}

TEST(Cp932Test, InvalidOrIncompleteBytesAreRefusedWhole) {
    const std::string rows[] = {
        "\x83",         // lead byte at the end
        "\x83\x68\x83", // a whole character, then a lone lead byte
        "\x80",         // unassigned single bytes
        "\xA0",
        "\xFD",
        std::string("ab\x85\x40", 4), // unassigned row
        std::string("\x83\x00", 2),   // a trail byte may not be NUL
    };
    for (const std::string& bytes : rows) {
        SCOPED_TRACE(hex(bytes));
        EXPECT_EQ(cp932::decode(bytes), std::nullopt);
    }
}

// One byte of half-width katakana becomes three bytes of UTF-8: the output must grow.
TEST(Cp932Test, LongTextConvertsCompletely) {
    const std::string bytes(5000, '\xB1');
    const QString text(5000, QChar(0xFF71));
    EXPECT_EQ(cp932::decode(bytes), std::optional<QString>(text));
    EXPECT_EQ(cp932::encode(text), std::optional<std::string>(bytes));
}

// A byte is a lead byte exactly when it starts double-byte characters: it never decodes on
// its own, and some trail byte completes it.
TEST(Cp932Test, LeadBytesAgreeWithTheConverter) {
    for (int b = 0; b < 256; ++b) {
        SCOPED_TRACE(b);
        const char first = char(b);
        const bool alone = cp932::decode(std::string(1, first)).has_value();
        bool paired = false;
        for (int t = 0x40; t <= 0xFC && !paired; ++t)
            paired = cp932::decode(std::string{first, char(t)}).has_value() &&
                     cp932::decode(std::string{first, char(t)})->size() == 1;
        const bool lead = cp932::isLeadByte(static_cast<unsigned char>(b));
        EXPECT_TRUE(!alone || !lead);
        EXPECT_TRUE(!paired || lead);
    }
}
