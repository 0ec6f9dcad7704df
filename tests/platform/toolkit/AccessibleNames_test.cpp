#include "AccessibleNames.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace {

// A control that paints its own caption, as the programs' bevelled buttons do.
class CaptionedControl : public QWidget {
public:
    explicit CaptionedControl(const QString& caption, QWidget* parent) : QWidget(parent) {
        setProperty("Caption", caption);
    }
};

} // namespace

TEST(AccessibleNames, CaptionFirstThenTooltipOnOneLine) {
    QWidget window;
    struct Case {
        QWidget* control;
        const char* expected;
    };
    auto* plain = new QPushButton(QStringLiteral("終 了"), &window);
    auto* marked = new QPushButton(QStringLiteral("A&&B &Save"), &window);
    auto* captioned = new CaptionedControl(QStringLiteral("ド"), &window);
    captioned->setToolTip(QStringLiteral("ignored: the caption names it"));
    auto* uncaptioned = new CaptionedControl(QString(), &window);
    uncaptioned->setToolTip(QStringLiteral("マウスカーソルが手の形に変\nわったらクリック"));
    auto* box = new QLineEdit(&window);
    box->setToolTip(QStringLiteral("学校名"));
    auto* labelled = new QLineEdit(&window);
    labelled->setToolTip(QStringLiteral("the label names it"));
    (new QLabel(QStringLiteral("氏名"), &window))->setBuddy(labelled);
    const Case cases[] = {
        {plain, "終 了"},  {marked, "A&B Save"},
        {captioned, "ド"}, {uncaptioned, "マウスカーソルが手の形に変わったらクリック"},
        {box, "学校名"},   {labelled, "氏名"},
    };
    kw27::nameControls(&window);
    for (const Case& c : cases)
        EXPECT_EQ(c.control->accessibleName(), QString::fromUtf8(c.expected));
}

TEST(AccessibleNames, KeepsNamesGivenByHandAndLeavesPlainWidgetsAlone) {
    QWidget window;
    auto* named = new QPushButton(QStringLiteral("再生"), &window);
    named->setAccessibleName(QStringLiteral("曲を再生"));
    auto* decoration = new QWidget(&window);
    decoration->setToolTip(QStringLiteral("a picture, not a control"));
    auto* chooser = new QComboBox(&window);
    chooser->setEditable(true);
    chooser->setToolTip(QStringLiteral("パイプ1"));
    kw27::nameControls(&window);
    EXPECT_EQ(named->accessibleName(), QStringLiteral("曲を再生"));
    EXPECT_TRUE(decoration->accessibleName().isEmpty());
    EXPECT_EQ(chooser->accessibleName(), QStringLiteral("パイプ1"));
    EXPECT_TRUE(chooser->lineEdit()->accessibleName().isEmpty());
}
