#include "AccessibleNames.h"
#include "CuteBtn.h"
#include "ui_CuteBtnForm.h"

#include <gtest/gtest.h>

#include <QCursor>
#include <QKeyEvent>
#include <QMetaEnum>
#include <QMetaProperty>
#include <QTest>

using B = TCuteButton;

TEST(CuteButtonForm, FormPlacesButtonsWithTheirPropertiesAndConnections) {
    QCursor::setPos(5000, 5000); // not over the form when it appears
    QWidget form;
    Ui::CuteBtnForm ui;
    ui.setupUi(&form);

    const B& key = *ui.CuteButton1;
    EXPECT_EQ(key.geometry(), QRect(8, 8, 49, 142));
    EXPECT_EQ(std::make_pair(key.color(), key.fontColor()), std::make_pair(clWhite, clBlue));
    EXPECT_EQ(key.accessCharacter(), QChar(u'ド'));
    EXPECT_EQ(std::make_tuple(key.bevelWidth(), key.borderStyle(), key.textLayout()),
              std::make_tuple(2, B::bsSingle, B::tlBottom));
    EXPECT_EQ(std::make_pair(key.marginX(), key.marginY()), std::make_pair(-1, 6));
    EXPECT_TRUE(key.font().bold());
    EXPECT_EQ(key.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(key.toolTip(), QStringLiteral("ド (18.6cm)"));

    const B& pitch = *ui.CuteButton2;
    EXPECT_EQ(std::make_pair(pitch.color(), pitch.fontColor()), std::make_pair(clNavy, clSilver));
    EXPECT_EQ(std::make_pair(pitch.alignment(), pitch.marginX()),
              std::make_pair(B::taLeftJustify, 4));
    EXPECT_EQ(pitch.bevelHighlightColor(), clSystemColor | 21);
    EXPECT_EQ(pitch.bevelShadowColor(), clBlack);
    EXPECT_TRUE(pitch.flat() && !pitch.tabFocusUp() && !pitch.tabStop() && !pitch.isEnabled());

    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(ui.CuteButton1, &enter);
    EXPECT_TRUE(pitch.isHidden()) << "the form's OnClick connection ran";
}

TEST(CuteButtonForm, DesignerSeesEveryPropertyByNameWithItsEnumerations) {
    struct Row {
        const char* name;
        QVariant value;
        const char* enumKey; // the name Designer shows for an enumeration
    };
    const Row rows[] = {
        {"Alignment", QVariant::fromValue(B::taRightJustify), "taRightJustify"},
        {"Layout", QVariant::fromValue(B::tlTop), "tlTop"},
        {"BorderStyle", QVariant::fromValue(B::bsSingle), "bsSingle"},
        {"BevelWidth", 3, nullptr},
        {"BevelHighlightColor", uint(clLime), nullptr},
        {"BevelShadowColor", uint(clBtnFace), nullptr},
        {"Caption", QStringLiteral("&Go"), nullptr},
        {"Color", uint(clTeal), nullptr},
        {"FontColor", uint(clRed), nullptr},
        {"Flat", true, nullptr},
        {"MarginX", 7, nullptr},
        {"MarginY", 8, nullptr},
        {"TabFocusUp", false, nullptr},
        {"TabStop", false, nullptr},
    };
    B b;
    for (const Row& row : rows) {
        const QMetaProperty property =
            b.metaObject()->property(b.metaObject()->indexOfProperty(row.name));
        ASSERT_TRUE(property.isValid() && property.isWritable()) << row.name;
        EXPECT_TRUE(b.setProperty(row.name, row.value)) << row.name;
        EXPECT_EQ(b.property(row.name), row.value) << row.name;
        if (row.enumKey) {
            EXPECT_STREQ(property.enumerator().valueToKey(row.value.toInt()), row.enumKey);
        }
    }
}

TEST(CuteButtonForm, AScreenReaderNameTakenFromTheCaptionFollowsItAHandGivenOneStays) {
    QWidget form;
    auto* toggle = new B(&form);
    toggle->setCaption(QStringLiteral("まとめて鳴らす"));
    auto* named = new B(&form);
    named->setCaption(QStringLiteral("&X"));
    named->setAccessibleName(QStringLiteral("終了ボタン"));
    kw27::nameControls(&form);
    EXPECT_EQ(toggle->accessibleName(), QStringLiteral("まとめて鳴らす"));
    toggle->setCaption(QStringLiteral("止める"));
    EXPECT_EQ(toggle->accessibleName(), QStringLiteral("止める"));
    named->setCaption(QStringLiteral("&Y"));
    EXPECT_EQ(named->accessibleName(), QStringLiteral("終了ボタン"));
}
