#include "SheetBuilder.h"
#include "SheetSamples.h"

#include <gtest/gtest.h>

namespace {

QStringList blanks(int n) {
    QStringList lines;
    for (int i = 0; i < n; ++i)
        lines += QString();
    return lines;
}

} // namespace

TEST(SheetBuilder, FilledPageGivesTheLinesInOrderWithTheMemoAfterTwoBlanks) {
    const kw27::SheetFields f = kw27::test::sampleSheet(kw27::test::SheetSample::Plain);

    const QStringList expected =
        QStringList{QString(), f.date,       QString(), f.school,
                    QString(), f.gradeClass, QString(), f.name} +
        blanks(2) +
        QStringList{QStringLiteral("パイプ1　25cm"),
                    QString(),
                    QStringLiteral("パイプ2　20cm"),
                    QString(),
                    QStringLiteral("パイプ3　ラ (14.3cm)"),
                    QString(),
                    QStringLiteral("選択したパイプの長さの合計は59.3cmです")} +
        blanks(2) +
        QStringList{QStringLiteral("一行目"), QStringLiteral("二行目"), QStringLiteral("三行目")};
    EXPECT_EQ(kw27::buildSheet(f), expected);
}

TEST(SheetBuilder, EmptyPageGivesBlankLinesInPlaceAndBareLabels) {
    const QStringList sheet = kw27::buildSheet(kw27::SheetFields{});
    const QStringList expected = blanks(10) +
                                 QStringList{QStringLiteral("パイプ1　"),
                                             QString(),
                                             QStringLiteral("パイプ2　"),
                                             QString(),
                                             QStringLiteral("パイプ3　"),
                                             QString(),
                                             QStringLiteral("選択したパイプの長さの合計はcmです")} +
                                 blanks(3);
    EXPECT_EQ(sheet, expected);
    EXPECT_EQ(sheet.size(), 20);
}

TEST(SheetBuilder, EveryKindOfLineBreakStartsAParagraphAndNothingIsTrimmed) {
    struct Row {
        QString line;
        QStringList paragraphs;
    };
    const Row rows[] = {
        {QString(), {QString()}},
        {QStringLiteral("  a  "), {QStringLiteral("  a  ")}},
        {QStringLiteral("a\r\nb"), {QStringLiteral("a"), QStringLiteral("b")}},
        {QStringLiteral("a\rb\nc"),
         {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}},
        {QStringLiteral("a\n\nb"), {QStringLiteral("a"), QString(), QStringLiteral("b")}},
        {QStringLiteral("a\n"), {QStringLiteral("a"), QString()}},
        {QStringLiteral("\n"), {QString(), QString()}},
        {QStringLiteral("a\u2028b\u2029c"),
         {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}},
        {QStringLiteral("a\n\r\nb"), {QStringLiteral("a"), QString(), QStringLiteral("b")}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(kw27::paragraphsOf(row.line), row.paragraphs) << row.line.toStdString();
}

TEST(SheetBuilder, LineBreaksInAnyFieldBecomeParagraphsOfTheirOwn) {
    kw27::SheetFields f;
    f.name = QStringLiteral("姓\n名");
    f.memo = QStringLiteral("終わりに改行\n");
    const QStringList sheet = kw27::buildSheet(f);
    ASSERT_EQ(sheet.size(), 22);
    EXPECT_EQ(sheet.mid(7, 3),
              (QStringList{QStringLiteral("姓"), QStringLiteral("名"), QString()}));
    EXPECT_EQ(sheet[11], QStringLiteral("パイプ1　"));
    EXPECT_EQ(sheet.mid(20), (QStringList{QStringLiteral("終わりに改行"), QString()}));
}
