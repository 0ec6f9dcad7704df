#include "CuteBtn.h"
#include "ui_CuteBtnForm.h"

#include <gtest/gtest.h>

#include <QCursor>
#include <QKeyEvent>
#include <QMetaEnum>
#include <QMetaProperty>
#include <QTest>

using B = TCuteButton;

TEST(CuteButtonForm, FormPlacesButtonsWithTheirProperties) {
    QCursor::setPos(5000, 5000); // not over the form when it appears
    QWidget form;
    Ui::CuteBtnForm ui;
    ui.setupUi(&form);

    B& key = *ui.CuteButton1;
    EXPECT_EQ(key.geometry(), QRect(8, 8, 49, 142));
    EXPECT_EQ(key.color(), clWhite);
    EXPECT_EQ(key.fontColor(), clBlue);
    EXPECT_EQ(key.caption(), QStringLiteral("&ド"));
    EXPECT_EQ(key.accessCharacter(), QChar(u'ド'));
    EXPECT_EQ(key.bevelWidth(), 2);
    EXPECT_EQ(key.borderStyle(), B::bsSingle);
    EXPECT_EQ(key.textLayout(), B::tlBottom);
    EXPECT_EQ(key.marginY(), 6);
    EXPECT_EQ(key.marginX(), -1) << "what the form leaves out keeps its default";
    EXPECT_TRUE(key.font().bold());
    EXPECT_EQ(key.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(key.toolTip(), QStringLiteral("ド (18.6cm)"));
    EXPECT_EQ(key.captionRect().bottom() + 1, key.height() - 4 - 10);

    B& pitch = *ui.CuteButton2;
    EXPECT_EQ(pitch.color(), clNavy);
    EXPECT_EQ(pitch.fontColor(), clSilver);
    EXPECT_EQ(pitch.alignment(), B::taLeftJustify);
    EXPECT_EQ(pitch.marginX(), 4);
    EXPECT_EQ(pitch.bevelHighlightColor(), clSystemColor | 21);
    EXPECT_EQ(pitch.bevelShadowColor(), clBlack);
    EXPECT_TRUE(pitch.flat());
    EXPECT_EQ(pitch.bevelInner(), B::bvNone);
    EXPECT_FALSE(pitch.tabFocusUp());
    EXPECT_FALSE(pitch.tabStop());
    EXPECT_FALSE(pitch.isEnabled());

    // The form's connection runs on a click.
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(&key, &enter);
    EXPECT_TRUE(pitch.isHidden());
}

TEST(CuteButtonForm, DesignerSeesEveryPropertyByNameWithItsEnumerations) {
    struct Row {
        const char* name;
        QVariant value;
        const char* enumKey; // for enumerations, the name Designer shows
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
    const QMetaObject* meta = b.metaObject();
    for (const Row& row : rows) {
        const int index = meta->indexOfProperty(row.name);
        ASSERT_GE(index, 0) << row.name;
        const QMetaProperty property = meta->property(index);
        EXPECT_TRUE(property.isWritable() && property.isDesignable()) << row.name;
        EXPECT_TRUE(b.setProperty(row.name, row.value)) << row.name;
        EXPECT_EQ(b.property(row.name), row.value) << row.name;
        if (row.enumKey) {
            ASSERT_TRUE(property.isEnumType()) << row.name;
            EXPECT_EQ(QByteArray(property.enumerator().valueToKey(row.value.toInt())),
                      QByteArray(row.enumKey));
        }
    }
}
