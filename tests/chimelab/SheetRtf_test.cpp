#include "RtfWriter.h"
#include "SheetBuilder.h"
#include "SheetFont.h"
#include "SheetRtfReader.h"
#include "SheetSamples.h"

#include <optional>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

using kw27::test::readRtf;

namespace {

const kw27::RtfFont kSheetFont{QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"), 28};

kw27::SheetFields filledPage() {
    return kw27::test::sampleSheet(kw27::test::SheetSample::SpecialSymbols);
}

// What a code page reader shows: each character's code page 932 form read back (which for a
// few is a look-alike: U+301C comes back as U+FF5E), and "?" for every UTF-16 unit that code
// page 932 lacks.
QString asCodePageReaderSees(const QString& text) {
    QString seen;
    for (const QChar c : text) {
        const auto bytes = c.isSurrogate() ? std::nullopt : kw27::cp932::encode(QString(c));
        const auto back = bytes ? kw27::cp932::decode(*bytes) : std::nullopt;
        seen += back ? *back : QStringLiteral("?");
    }
    return seen;
}

} // namespace

TEST(SheetRtf, ParagraphsReadBackExactlyByUnicodeAndByCodePageReaders) {
    struct Row {
        const char* what;
        QStringList paragraphs;
    };
    const Row rows[] = {
        {"filled sheet", kw27::buildSheet(filledPage())},
        {"empty page", kw27::buildSheet(kw27::SheetFields{})},
        {"RTF's own characters",
         {QStringLiteral("\\par {x} \\'41 \\u12354?"), QStringLiteral("}{")}},
        {"spaces, tabs and digits next to control words",
         {QStringLiteral("  two spaces"), QStringLiteral("\tタブ\t1\tb "), QStringLiteral("あ1"),
          QStringLiteral("ｱ2"), QStringLiteral(" ")}},
        {"one- and two-byte characters mixed",
         {QStringLiteral("ｶﾀｶﾅ｡漢字ｶﾅ､①Ⅻ㈱ ～〜−"), QStringLiteral("｢半角｣と「全角」")}},
        {"characters code page 932 lacks",
         {QStringLiteral("café ñ"), QStringLiteral("絵文字\U0001F600です"),
          QStringLiteral("한국어")}},
        {"control characters", {QString(QChar(0x01)) + QStringLiteral("a\x7f")}},
        {"nothing at all", {}},
        {"one empty paragraph", {QString()}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const QByteArray rtf = kw27::rtfDocument(row.paragraphs, kSheetFont);

        const auto unicode = readRtf(rtf, true);
        ASSERT_TRUE(unicode.valid) << unicode.error.toStdString() << "\n" << rtf.constData();
        EXPECT_EQ(unicode.paragraphs, row.paragraphs) << rtf.constData();

        QStringList seen;
        for (const QString& p : row.paragraphs)
            seen += asCodePageReaderSees(p);
        const auto codePage = readRtf(rtf, false);
        ASSERT_TRUE(codePage.valid) << codePage.error.toStdString();
        EXPECT_EQ(codePage.paragraphs, seen) << rtf.constData();

        for (const char b : rtf)
            ASSERT_LT(static_cast<unsigned char>(b), 0x80u) << "RTF is 7-bit text";
    }
}

TEST(SheetRtf, DeclaresJapaneseCodePageAndTheControlsFont) {
    const QByteArray rtf = kw27::rtfDocument({QStringLiteral("x")}, kSheetFont);
    for (const bool unicodeReader : {true, false}) {
        const auto read = readRtf(rtf, unicodeReader);
        ASSERT_TRUE(read.valid);
        EXPECT_EQ(read.fontNames, QStringList{QStringLiteral("ＭＳ ゴシック")});
        EXPECT_EQ(read.fontHalfPoints, 28);
        for (const char* word : {"ansi", "ansicpg", "fcharset", "deff", "par"})
            EXPECT_TRUE(read.controlWords.contains(QLatin1String(word))) << word;
    }
    EXPECT_TRUE(rtf.contains("\\ansicpg932"));
    EXPECT_TRUE(rtf.contains("\\fcharset128"));
    EXPECT_TRUE(rtf.contains("{\\*\\falt MS Gothic}"));
}

TEST(SheetFont, PixelHeightsBecomeWholePointsAsTheControlKeepsThem) {
    struct Row {
        int pixels;
        int points;
    };
    const Row rows[] = {{19, 14}, {16, 12}, {12, 9}, {13, 10}, {14, 11}, {11, 8}, {64, 48}};
    for (const Row& row : rows) {
        QFont font(QStringLiteral("ＭＳ ゴシック"));
        font.setPixelSize(row.pixels);
        EXPECT_EQ(kw27::wholePointSize(font), row.points) << row.pixels;
        EXPECT_EQ(kw27::rtfFontOf(font).halfPoints, 2 * row.points) << row.pixels;
        EXPECT_EQ(kw27::printFontOf(font).pointSize(), row.points) << row.pixels;
    }
    QFont pointFont(QStringLiteral("ＭＳ Ｐゴシック"), 10);
    EXPECT_EQ(kw27::wholePointSize(pointFont), 10);
    EXPECT_EQ(kw27::rtfFontOf(pointFont).altFamily, QStringLiteral("MS PGothic"));
    EXPECT_EQ(kw27::rtfFontOf(QFont(QStringLiteral("IPAGothic"), 9)).altFamily, QString());
}

TEST(SheetRtf, OpensInLibreOfficeWithTheSheetsLines) {
    QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (office.isEmpty())
        office = QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
    if (office.isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";

    const QStringList sheet = kw27::buildSheet(filledPage());
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile rtf(dir.filePath(QStringLiteral("sheet.rtf")));
    ASSERT_TRUE(rtf.open(QIODevice::WriteOnly));
    rtf.write(kw27::rtfDocument(sheet, kSheetFont));
    rtf.close();

    QProcess soffice;
    soffice.setWorkingDirectory(dir.path());
    soffice.start(office,
                  {QStringLiteral("-env:UserInstallation=file://") + dir.filePath("profile"),
                   QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                   QStringLiteral("txt:Text (encoded):UTF8"), QStringLiteral("--outdir"),
                   dir.path(), rtf.fileName()});
    ASSERT_TRUE(soffice.waitForFinished(180000));
    QFile text(dir.filePath(QStringLiteral("sheet.txt")));
    ASSERT_TRUE(text.open(QIODevice::ReadOnly)) << soffice.readAllStandardError().toStdString();
    QString converted = QString::fromUtf8(text.readAll());
    if (converted.startsWith(QChar(0xFEFF)))
        converted.remove(0, 1);
    QStringList lines = converted.split(QRegularExpression(QStringLiteral("\r\n|\n")));
    while (!lines.isEmpty() && lines.last().isEmpty() && lines.size() > sheet.size())
        lines.removeLast();
    EXPECT_EQ(lines, sheet);
}
