#include "Cp932Input.h"
#include "QStringPrinting.h"
#include "SongBox.h"
#include "SongText.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QTextCursor>

namespace {

using namespace Qt::StringLiterals;
using kw27::song::TextEdit;

TEST(SongLines, AFinalBreakDoesNotStartALine) {
    struct Row {
        QString text;
        QStringList lines;
    };
    const Row rows[] = {
        {u""_s, {}},
        {u"\r\n"_s, {u""_s}},
        {u"ド"_s, {u"ド"_s}},
        {u"ド\r\n"_s, {u"ド"_s}},
        {u"ド\r\nレ\r\n"_s, {u"ド"_s, u"レ"_s}},
        {u"ド\r\nレ"_s, {u"ド"_s, u"レ"_s}},
        {u"ド\r\n\r\nミ\r\n"_s, {u"ド"_s, u""_s, u"ミ"_s}},
        {u"\r\n\r\n"_s, {u""_s, u""_s}},
        {u"ド\r\n\r\n"_s, {u"ド"_s, u""_s}},
        // A lone CR or LF is not a break in the file's spelling.
        {u"ド\rレ\nミ"_s, {u"ド\rレ\nミ"_s}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text.toStdString());
        EXPECT_EQ(kw27::song::songLines(row.text), row.lines);
        EXPECT_EQ(kw27::song::songLineCount(row.text), row.lines.size());
        // The same text spelled as the box holds it splits the same way.
        const QString boxText = kw27::song::respelledBreaks(row.text, u"\r\n", u"\n");
        if (!row.text.contains(u'\r') || row.text.count(u'\r') == row.text.count(u"\r\n")) {
            EXPECT_EQ(kw27::song::songLines(boxText, u"\n"), row.lines);
            EXPECT_EQ(kw27::song::songLineCount(boxText, u"\n"), row.lines.size());
        }
    }
}

TEST(SongEdits, AppendPutsTheBreakWhereTheTextNeedsIt) {
    struct Row {
        QString text;
        TextEdit edit;
    };
    const Row rows[] = {
        {u""_s, {0, 0, u"ミ\r\n"_s}},         {u"ド\r\n"_s, {3, 0, u"ミ\r\n"_s}},
        {u"ド\r\nレ"_s, {4, 0, u"\r\nミ"_s}}, {u"\r\n"_s, {2, 0, u"ミ\r\n"_s}},
        {u"ファ#"_s, {3, 0, u"\r\nミ"_s}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text.toStdString());
        const TextEdit edit = kw27::song::appendLineEdit(row.text, u"ミ");
        EXPECT_EQ(edit, row.edit);
        EXPECT_EQ(edit.caretAfter(), row.text.size() + 3);
    }
}

TEST(SongEdits, RemoveTakesTheLastLineAndKeepsTheBreakBeforeIt) {
    struct Row {
        QString text;
        qsizetype position; // the rest of the text from here goes
    };
    const Row rows[] = {
        {u"ド"_s, 0},
        {u"ド\r\n"_s, 0},
        {u"ド\r\nレ\r\nミ\r\n"_s, 6},
        {u"ド\r\nレ\r\nミ"_s, 6},
        {u"ド\r\n\r\n"_s, 3},
        {u"\r\n"_s, 0},
        {u"\r\n\r\n"_s, 2},
        {u"ド上\r\nヤスミ\r\n"_s, 4},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text.toStdString());
        const std::optional<TextEdit> edit = kw27::song::removeLastLineEdit(row.text);
        ASSERT_TRUE(edit);
        EXPECT_EQ(*edit, (TextEdit{row.position, row.text.size() - row.position, {}}));
    }
    EXPECT_FALSE(kw27::song::removeLastLineEdit(u""));
}

// The song box as the page has it: key sequences on a real text box.
class SongBox : public ::testing::Test {
protected:
    kw27::Cp932PlainTextEdit box;

    QString text() const { return kw27::song::songText(box); }
    void press(QStringView name) { ASSERT_TRUE(kw27::song::appendLine(box, name, 1000)); }
};

TEST_F(SongBox, KeysOnAnEmptyBoxEndEveryLineWithABreak) {
    press(u"ド");
    press(u"レ");
    press(u"ミ");
    EXPECT_EQ(text(), u"ド\r\nレ\r\nミ\r\n"_s);
    EXPECT_EQ(kw27::song::songLines(box), (QStringList{u"ド"_s, u"レ"_s, u"ミ"_s}));
    EXPECT_EQ(box.textCursor().position(), box.document()->characterCount() - 1);
}

TEST(SongBoxUndo, EachUndoTakesTheLastLineAway) {
    struct Row {
        const char* what;
        QString typed; // the box's text before the keys
        QStringList keys;
        QString afterKeys;
        QStringList afterEachUndo;
    };
    const Row rows[] = {
        {"a key after typed text without a final break keeps it that way",
         u"ド\r\nレ"_s,
         {u"ミ"_s},
         u"ド\r\nレ\r\nミ"_s,
         {u"ド\r\nレ\r\n"_s, u"ド\r\n"_s}},
        {"undo after three notes, more often than there are lines",
         QString(),
         {u"ド"_s, u"ド上"_s, u"ヤスミ"_s},
         u"ド\r\nド上\r\nヤスミ\r\n"_s,
         {u"ド\r\nド上\r\n"_s, u"ド\r\n"_s, u""_s, u""_s}},
        {"an empty last line", u"ド\r\n\r\n"_s, {}, u"ド\r\n\r\n"_s, {u"ド\r\n"_s}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        kw27::Cp932PlainTextEdit box;
        if (!row.typed.isEmpty())
            kw27::song::setSongText(box, row.typed);
        for (const QString& key : row.keys)
            ASSERT_TRUE(kw27::song::appendLine(box, key, 1000));
        EXPECT_EQ(kw27::song::songText(box), row.afterKeys);
        for (const QString& after : row.afterEachUndo) {
            kw27::song::removeLastLine(box);
            EXPECT_EQ(kw27::song::songText(box), after);
        }
    }
}

TEST_F(SongBox, KeyDropsTheSelectionAndLeavesTheCaretAfterTheNote) {
    kw27::song::setSongText(box, u"ド\r\nレ\r\n"_s);
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(0);
    cursor.setPosition(1, QTextCursor::KeepAnchor);
    box.setTextCursor(cursor);
    press(u"ソ#");
    EXPECT_EQ(text(), u"ド\r\nレ\r\nソ#\r\n"_s);
    EXPECT_FALSE(box.textCursor().hasSelection());
    EXPECT_EQ(box.textCursor().position(), 2 + 2 + 3);
}

TEST_F(SongBox, CaretGoesToTheStartForPlaying) {
    press(u"ド");
    press(u"レ");
    kw27::song::putCaretAtStart(box);
    EXPECT_EQ(box.textCursor().position(), 0);
    EXPECT_FALSE(box.textCursor().hasSelection());
    EXPECT_EQ(text(), u"ド\r\nレ\r\n"_s);
}

TEST_F(SongBox, ANoteThatWouldOverfillTheBoxIsNotAppended) {
    kw27::song::setSongText(box, u"ド\r\n"_s);
    // "ド" CR LF is three stored characters; "ヤスミ" CR LF five more makes eight.
    EXPECT_FALSE(kw27::song::appendLine(box, u"ヤスミ", 7));
    EXPECT_EQ(text(), u"ド\r\n"_s);
    EXPECT_TRUE(kw27::song::appendLine(box, u"ヤスミ", 8));
    EXPECT_EQ(text(), u"ド\r\nヤスミ\r\n"_s);
}

} // namespace
