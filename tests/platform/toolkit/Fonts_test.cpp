#include "Fonts.h"
#include "TColor.h"

#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>

TEST(Fonts, JapaneseSystemFontNamesResolveToIpaFaces) {
    struct Row {
        const char* name;
        const char* face;
    };
    const Row rows[] = {{"ＭＳ ゴシック", "IPAGothic"}, {"ＭＳ Ｐゴシック", "IPAPGothic"}};
    for (const Row& row : rows) {
        QLabel label(QStringLiteral("パイプの長さは"));
        label.setFont(kw27::pixelFont(QString::fromUtf8(row.name), 16, true));
        const QFontInfo info(label.font());
        EXPECT_EQ(info.family(), QString::fromUtf8(row.face)) << row.name;
        EXPECT_EQ(info.pixelSize(), 16);
        EXPECT_TRUE(QFontMetrics(label.font()).inFont(QChar(u'パ'))) << row.name;
    }
}

TEST(TColor, FixedColoursAreBgrAndSystemColoursFollowTheClassicScheme) {
    struct Row {
        TColor color;
        QRgb rgb;
    };
    const Row rows[] = {
        {clNavy, qRgb(0, 0, 128)},
        {clBlue, qRgb(0, 0, 255)},
        {clRed, qRgb(255, 0, 0)},
        {clFuchsia, qRgb(255, 0, 255)},
        {clLime, qRgb(0, 255, 0)},
        {clYellow, qRgb(255, 255, 0)},
        {clAqua, qRgb(0, 255, 255)},
        {clWhite, qRgb(255, 255, 255)},
        {clSilver, qRgb(192, 192, 192)},
        {clGray, qRgb(128, 128, 128)},
        {clMaroon, qRgb(128, 0, 0)},
        {clGreen, qRgb(0, 128, 0)},
        {clBlack, qRgb(0, 0, 0)},
        {0x00336699, qRgb(0x99, 0x66, 0x33)},
        {clBtnFace, qRgb(192, 192, 192)},
        {clBtnShadow, qRgb(128, 128, 128)},
        {clBtnHighlight, qRgb(255, 255, 255)},
        {clWindowText, qRgb(0, 0, 0)},
    };
    for (const Row& row : rows)
        EXPECT_EQ(colorToRgb(row.color).rgb(), row.rgb) << std::hex << row.color;
}
