#include "Cp932Input.h"
#include "QStringPrinting.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

namespace {

using namespace Qt::StringLiterals;

TEST(Cp932Text, OnlyTextThatComesBackUnchangedCounts) {
    struct Row {
        QString text;
        bool held;
    };
    const Row rows[] = {
        {u""_s, true},           {u"ド上ヤスミ#"_s, true},
        {u"ﾄﾞﾚﾐ"_s, true},    // half-width katakana
        {u"①髙"_s, true},     // the NEC and IBM extensions
        {u"～"_s, true},      // full-width tilde, 81 60
        {u"〜"_s, false},     // wave dash: stored as 81 60, read back as the tilde
        {u"¥"_s, false},      // would come back as a backslash
        {u"\u00A0"_s, false}, // no-break space
        {u"😀"_s, false},         {u"한"_s, false},
        {u"ド\r\nレ\t"_s, true}, {QString(QChar(0xD800)), false}, // lone surrogate
    };
    for (const Row& row : rows)
        EXPECT_EQ(kw27::isCp932Text(row.text), row.held) << row.text.toStdString();
}

TEST(Cp932Text, StoredLengthCountsEveryBreakAsCrLf) {
    struct Row {
        QString text;
        qsizetype length;
    };
    const Row rows[] = {
        {u""_s, 0},     {u"ドレ"_s, 2}, {u"ド\r\n"_s, 3}, {u"ド\n"_s, 3},
        {u"ド\r"_s, 3}, {u"\n\r"_s, 4}, {u"\r\r\n"_s, 4}, {u"a\u2029b\u2028"_s, 6},
    };
    for (const Row& row : rows)
        EXPECT_EQ(kw27::storedLength(row.text), row.length) << row.text.toStdString();
}

void type(QWidget& widget, const QString& text, Qt::Key key = Qt::Key_unknown) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(&widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(&widget, &release);
}

void commit(QWidget& widget, const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(&widget, &event);
}

// Pastes the text as the clipboard gives it.
template <class Edit> void paste(Edit& edit, const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    edit.paste();
}

TEST(Cp932Validator, TitleBoxRefusesWhatTheFileCannotHold) {
    QLineEdit title;
    title.setValidator(new kw27::Cp932Validator(&title));
    title.show();
    type(title, u"曲"_s);
    type(title, u"😀"_s);
    type(title, u"〜"_s);
    commit(title, u"名"_s);
    commit(title, u"¥"_s);
    EXPECT_EQ(title.text(), u"曲名"_s);

    paste(title, u"の\n歌"_s);
    EXPECT_EQ(title.text(), u"曲名"_s);
    paste(title, u"の歌"_s);
    EXPECT_EQ(title.text(), u"曲名の歌"_s);

    // What the program puts there itself is not filtered.
    title.setText(u"〜"_s);
    EXPECT_EQ(title.text(), u"〜"_s);
}

class SongInputBox : public ::testing::Test {
protected:
    kw27::Cp932PlainTextEdit box;
    void SetUp() override { box.show(); }
};

TEST_F(SongInputBox, TypedAndComposedCharactersWithoutACodePage932FormAreRefused) {
    type(box, u"ド"_s);
    type(box, u"😀"_s);
    type(box, u"\r"_s, Qt::Key_Return);
    commit(box, u"レ"_s);
    commit(box, u"〜"_s);
    type(box, u"¥"_s);
    EXPECT_EQ(box.toPlainText(), u"ド\nレ"_s);
}

TEST_F(SongInputBox, APasteWithAnyRefusedCharacterIsRefusedWhole) {
    paste(box, u"ド\r\nレ\u00A0\r\n"_s);
    EXPECT_EQ(box.toPlainText(), u""_s);
    paste(box, u"ド\r\nレ\r\n"_s);
    EXPECT_EQ(box.toPlainText(), u"ド\nレ\n"_s);
}

TEST_F(SongInputBox, EntriesBeyondTheStoredLengthLimitAreRefused) {
    box.setMaxStoredLength(5);
    box.setPlainText(u"ド\nレ"_s); // four characters as stored
    box.moveCursor(QTextCursor::End);
    type(box, u"\r"_s, Qt::Key_Return); // a break would make six
    EXPECT_EQ(box.toPlainText(), u"ド\nレ"_s);
    type(box, u"ミ"_s);
    EXPECT_EQ(box.toPlainText(), u"ド\nレミ"_s);
    commit(box, u"ファ"_s);
    type(box, u"ソ"_s);
    EXPECT_EQ(box.toPlainText(), u"ド\nレミ"_s);

    // Replacing a selection counts what goes as well as what comes.
    box.selectAll();
    paste(box, u"ヤスミ\r\n"_s);
    EXPECT_EQ(box.toPlainText(), u"ヤスミ\n"_s);
    // Commands are not entries: they still work at the limit.
    QTest::keyClick(&box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&box, Qt::Key_Backspace);
    EXPECT_EQ(box.toPlainText(), u""_s);
}

} // namespace
