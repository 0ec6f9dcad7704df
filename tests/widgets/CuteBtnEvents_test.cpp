#include "CuteBtnFixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

using kw27::test::ButtonWindowTest;
using kw27::test::EventLog;
using B = TCuteButton;
using Names = std::vector<std::string>;

namespace {

void tabInto(TCuteButton* button) {
    button->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
}

} // namespace

using CuteButtonPointer = ButtonWindowTest;

TEST_F(CuteButtonPointer, EnterAndLeaveFollowFocusAndTabFocusUp) {
    struct Row {
        const char* what;
        bool focused;
        bool tabFocusUp;
        B::TBevelCut afterFocus;
        B::TBevelCut afterLeave;
    };
    const Row rows[] = {
        {"unfocused", false, true, B::bvNone, B::bvNone},
        {"focused, TabFocusUp", true, true, B::bvRaised, B::bvRaised},
        {"focused, no TabFocusUp", true, false, B::bvNone, B::bvNone},
        {"unfocused, no TabFocusUp", false, false, B::bvNone, B::bvNone},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        other->setFocus();
        QApplication::processEvents();
        button->setTabFocusUp(row.tabFocusUp);
        EventLog log(*button);
        if (row.focused)
            tabInto(button);
        EXPECT_EQ(button->bevelOuter(), row.afterFocus);
        hover(QPoint(12, 7));
        EXPECT_EQ(button->bevelOuter(), B::bvRaised);
        moveAway();
        EXPECT_EQ(button->bevelOuter(), row.afterLeave);
        const Names expected = row.focused ? Names{"Enter", "MouseEnter", "MouseLeave"}
                                           : Names{"MouseEnter", "MouseLeave"};
        EXPECT_EQ(log.names(), expected);
        ASSERT_EQ(log.entries.size(), expected.size());
        const EventLog::Entry& entered = log.entries[expected.size() - 2];
        EXPECT_EQ(entered.at, QPoint(12, 7)) << "client coordinates of the pointer";
        EXPECT_EQ(entered.shift, B::TShiftState());
        EXPECT_EQ(entered.look, row.afterFocus) << "the handler runs before the look changes";
        EXPECT_EQ(log.entries.back().at, button->mapFromGlobal(window->mapToGlobal(QPoint(5, 5))));
    }
}

TEST_F(CuteButtonPointer, PointerOverTheSunkenEdgeCountsAsOverTheButton) {
    button->setBorderStyle(B::bsSingle);
    EventLog log(*button);
    hover(QPoint(1, 1));
    EXPECT_EQ(button->bevelOuter(), B::bvRaised);
    ASSERT_EQ(log.names(), Names{"MouseEnter"});
    EXPECT_EQ(log.entries[0].at, QPoint(-1, -1));
    // A press on the edge is not a press on the client area.
    press();
    release();
    EXPECT_EQ(log.names(), Names{"MouseEnter"});
    EXPECT_FALSE(button->hasFocus());
}

TEST_F(CuteButtonPointer, TabbingAwayShowsRestEvenUnderThePointer) {
    tabInto(button);
    hover();
    EXPECT_EQ(button->bevelOuter(), B::bvRaised);
    EventLog log(*button);
    other->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(button->bevelOuter(), B::bvNone);
    ASSERT_EQ(log.names(), Names{"Exit"});
    EXPECT_EQ(log.entries[0].look, B::bvRaised) << "OnExit comes before the look changes";
}

TEST_F(CuteButtonPointer, PressAndReleaseInsideClicksOnceWhileShowingThePressedLook) {
    EventLog log(*button);
    hover(QPoint(20, 10));
    press();
    EXPECT_EQ(button->bevelOuter(), B::bvLowered);
    EXPECT_TRUE(button->hasFocus());
    release();
    EXPECT_EQ(button->bevelOuter(), B::bvRaised);
    EXPECT_EQ(log.names(), (Names{"MouseEnter", "Enter", "MouseDown", "Click", "MouseUp"}));
    ASSERT_EQ(log.entries.size(), 5u);
    EXPECT_EQ(log.entries[2].look, B::bvLowered) << "pressed, then OnMouseDown";
    EXPECT_EQ(log.entries[2].mouseButton, B::mbLeft);
    EXPECT_EQ(log.entries[2].shift, B::TShiftState(B::ssLeft));
    EXPECT_EQ(log.entries[2].at, QPoint(20, 10));
    EXPECT_EQ(log.entries[3].look, B::bvLowered) << "the click runs in the pressed look";
    EXPECT_EQ(log.entries[4].look, B::bvRaised) << "up, then OnMouseUp";
}

TEST_F(CuteButtonPointer, ReleaseOutsideDoesNotClick) {
    struct Row {
        bool tabFocusUp;
        B::TBevelCut whileOutside;
        B::TBevelCut afterRelease;
    };
    const Row rows[] = {{true, B::bvLowered, B::bvRaised}, {false, B::bvNone, B::bvNone}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.tabFocusUp);
        other->setFocus();
        QApplication::processEvents();
        button->setTabFocusUp(row.tabFocusUp);
        EventLog log(*button);
        hover();
        press();
        moveAway();
        EXPECT_EQ(button->bevelOuter(), row.whileOutside);
        release();
        EXPECT_EQ(button->bevelOuter(), row.afterRelease);
        EXPECT_EQ(log.count("Click"), 0);
        EXPECT_EQ(log.names(),
                  (Names{"MouseEnter", "Enter", "MouseDown", "MouseLeave", "MouseUp"}));
        EXPECT_EQ(log.entries[3].shift, B::TShiftState(B::ssLeft)) << "left button still held";
    }
}

TEST_F(CuteButtonPointer, ComingBackWithTheButtonHeldShowsPressedAndReleaseClicks) {
    button->setTabFocusUp(false);
    EventLog log(*button);
    hover();
    press();
    moveAway();
    EXPECT_EQ(button->bevelOuter(), B::bvNone);
    hover(QPoint(30, 12));
    EXPECT_EQ(button->bevelOuter(), B::bvLowered);
    release();
    EXPECT_EQ(log.names(), (Names{"MouseEnter", "Enter", "MouseDown", "MouseLeave", "MouseEnter",
                                  "Click", "MouseUp"}));
    EXPECT_EQ(log.entries[4].shift, B::TShiftState(B::ssLeft));
}

TEST_F(CuteButtonPointer, RightButtonTakesFocusAndReportsButNeverClicks) {
    EventLog log(*button);
    hover();
    press(Qt::RightButton);
    EXPECT_TRUE(button->hasFocus());
    EXPECT_EQ(button->bevelOuter(), B::bvRaised);
    release(Qt::RightButton);
    EXPECT_EQ(log.names(), (Names{"MouseEnter", "Enter", "MouseDown", "MouseUp"}));
    EXPECT_EQ(log.entries[2].mouseButton, B::mbRight);
    EXPECT_EQ(log.entries[2].shift, B::TShiftState(B::ssRight));
    EXPECT_EQ(log.entries[3].mouseButton, B::mbRight);
}

TEST_F(CuteButtonPointer, DoubleClickGivesOneClick) {
    EventLog log(*button);
    hover();
    doubleClick();
    EXPECT_EQ(log.count("Click"), 1);
    EXPECT_EQ(log.count("MouseDown"), 2);
    EXPECT_EQ(log.count("MouseUp"), 2);
    EXPECT_EQ(button->bevelOuter(), B::bvRaised);
    // Two presses far enough apart are two clicks.
    log.clear();
    press();
    release();
    press();
    release();
    EXPECT_EQ(log.count("Click"), 2);
}

TEST_F(CuteButtonPointer, DisabledButtonStillChangesLookUnderThePointer) {
    button->setEnabled(false);
    hover();
    EXPECT_EQ(button->bevelOuter(), B::bvRaised);
    moveAway();
    EXPECT_EQ(button->bevelOuter(), B::bvNone);
}

using CuteButtonKeys = ButtonWindowTest;

TEST_F(CuteButtonKeys, SpaceClicksOnceAtReleaseEvenWithAutoRepeat) {
    struct Row {
        bool tabFocusUp;
        B::TBevelCut settled;
    };
    for (const Row& row : {Row{true, B::bvRaised}, Row{false, B::bvNone}}) {
        SCOPED_TRACE(row.tabFocusUp);
        button->setTabFocusUp(row.tabFocusUp);
        tabInto(button);
        EventLog log(*button);
        keyDown(Qt::Key_Space);
        EXPECT_EQ(button->bevelOuter(), B::bvLowered);
        for (int i = 0; i < 5; ++i) {
            keyUp(Qt::Key_Space, true);
            keyDown(Qt::Key_Space, true);
        }
        EXPECT_EQ(log.count("Click"), 0);
        EXPECT_EQ(button->bevelOuter(), B::bvLowered);
        keyUp(Qt::Key_Space);
        ASSERT_EQ(log.names(), Names{"Click"});
        EXPECT_EQ(log.entries[0].look, B::bvLowered);
        EXPECT_EQ(button->bevelOuter(), row.settled);
        // A second release without a new press does nothing.
        keyUp(Qt::Key_Space);
        EXPECT_EQ(log.count("Click"), 1);
    }
}

TEST_F(CuteButtonKeys, AnotherKeyBetweenSpaceDownAndUpCancelsTheClick) {
    const int others[] = {Qt::Key_A, Qt::Key_Shift, Qt::Key_Escape, Qt::Key_Left};
    for (const int k : others) {
        SCOPED_TRACE(k);
        tabInto(button);
        EventLog log(*button);
        keyDown(Qt::Key_Space);
        keyDown(k);
        EXPECT_EQ(button->bevelOuter(), B::bvRaised) << "settled";
        keyUp(k);
        keyUp(Qt::Key_Space);
        EXPECT_EQ(log.count("Click"), 0);
        EXPECT_EQ(button->bevelOuter(), B::bvRaised);
    }
}

TEST_F(CuteButtonKeys, EnterClicksOnKeyDownAndAgainAtEachRepeat) {
    for (const int enter : {int(Qt::Key_Return), int(Qt::Key_Enter)}) {
        tabInto(button);
        EventLog log(*button);
        keyDown(enter);
        ASSERT_EQ(log.names(), Names{"Click"});
        EXPECT_EQ(log.entries[0].look, B::bvLowered);
        EXPECT_EQ(button->bevelOuter(), B::bvRaised);
        keyUp(enter, true);
        keyDown(enter, true);
        keyUp(enter, true);
        keyDown(enter, true);
        keyUp(enter);
        EXPECT_EQ(log.count("Click"), 3);
    }
}

TEST_F(CuteButtonKeys, KeyDownHandlerMayChangeTheKeyOrDisableTheButton) {
    tabInto(button);
    EventLog log(*button);
    auto connection =
        QObject::connect(button, &B::OnKeyDown, [](QObject*, int& key, B::TShiftState) {
            if (key == Qt::Key_F5)
                key = Qt::Key_Return;
            else if (key == Qt::Key_Return)
                key = 0;
        });
    keyDown(Qt::Key_F5);
    keyDown(Qt::Key_Return);
    EXPECT_EQ(log.count("Click"), 1);
    QObject::disconnect(connection);

    QObject::connect(button, &B::OnKeyDown,
                     [this](QObject*, int&, B::TShiftState) { button->setEnabled(false); });
    keyDown(Qt::Key_Space);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    button->setEnabled(true);
    QApplication::sendEvent(button, &enter);
    EXPECT_EQ(log.count("Click"), 1) << "a button disabled by its key handler ignores the key";
}

TEST_F(CuteButtonKeys, LosingTheFocusForgetsAPendingSpacePress) {
    tabInto(button);
    EventLog log(*button);
    keyDown(Qt::Key_Space);
    other->setFocus(Qt::TabFocusReason);
    tabInto(button);
    keyUp(Qt::Key_Space);
    EXPECT_EQ(log.count("Click"), 0);
}

TEST_F(CuteButtonKeys, AnotherWindowTakingTheKeysKeepsTheButtonActive) {
    tabInto(button);
    EventLog log(*button);
    QWidget popup;
    popup.setGeometry(500, 100, 50, 50);
    popup.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&popup));
    EXPECT_EQ(button->bevelOuter(), B::bvRaised);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EXPECT_TRUE(log.entries.empty()) << "no OnExit or OnEnter for a window switch";

    // The active control changed while the window was away: the old one is left.
    popup.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&popup));
    other->setFocus();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EXPECT_EQ(log.names(), Names{"Exit"});
    EXPECT_EQ(button->bevelOuter(), B::bvNone);
}

using CuteButtonAccess = ButtonWindowTest;

TEST_F(CuteButtonAccess, AccessCharacterClicksWithoutRegardToCase) {
    struct Row {
        const char* caption;
        QChar typed;
        Qt::KeyboardModifiers modifiers;
        int clicks;
    };
    const Row rows[] = {
        {"&Play", u'p', Qt::NoModifier, 1},    {"&Play", u'P', Qt::ShiftModifier, 1},
        {"&Play", u'p', Qt::AltModifier, 1},   {"pl&Ay", u'a', Qt::NoModifier, 1},
        {"&Play", u'l', Qt::NoModifier, 0},    {"Play&", u'p', Qt::NoModifier, 0},
        {"Play&", u'&', Qt::ShiftModifier, 0}, {"A&&B", u'&', Qt::ShiftModifier, 0},
        {"&&&B", u'b', Qt::NoModifier, 1},     {"&Play", u'p', Qt::ControlModifier, 0},
        {"&ド", u'ド', Qt::NoModifier, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.caption);
        button->setCaption(QString::fromUtf8(row.caption));
        EventLog log(*button);
        typeChar(row.typed, row.modifiers);
        EXPECT_EQ(log.count("Click"), row.clicks) << "typed " << int(row.typed.unicode());
    }
}

TEST_F(CuteButtonAccess, AccessCharacterIgnoredWhenDisabledOrOnAHiddenParent) {
    button->setCaption(QStringLiteral("&Go"));
    EventLog log(*button);
    button->setEnabled(false);
    typeChar(u'g');
    EXPECT_EQ(log.count("Click"), 0);
    button->setEnabled(true);

    QWidget page(window.get());
    page.setGeometry(0, 100, 100, 50);
    TCuteButton onPage(&page);
    onPage.setCaption(QStringLiteral("&Hidden"));
    EventLog pageLog(onPage);
    page.hide();
    typeChar(u'h');
    EXPECT_EQ(pageLog.count("Click"), 0);
    page.show();
    typeChar(u'h');
    EXPECT_EQ(pageLog.count("Click"), 1);
    EXPECT_EQ(log.count("Click"), 0);
}

TEST_F(CuteButtonAccess, TextBoxKeepsPlainCharactersButNotAltCharacters) {
    button->setCaption(QStringLiteral("&Go"));
    EventLog log(*button);
    auto* edit = new QLineEdit(window.get());
    edit->setGeometry(10, 150, 100, 20);
    edit->show();
    edit->setFocus();
    QApplication::processEvents();
    typeChar(u'g');
    EXPECT_EQ(edit->text(), QStringLiteral("g"));
    EXPECT_EQ(log.count("Click"), 0);
    typeChar(u'g', Qt::AltModifier);
    EXPECT_EQ(edit->text(), QStringLiteral("g"));
    EXPECT_EQ(log.count("Click"), 1);
}

TEST_F(CuteButtonAccess, FocusedButtonSeesTheKeyFirstThenTheAccessCharacterClicks) {
    button->setCaption(QStringLiteral("&Go"));
    tabInto(button);
    EventLog log(*button);
    std::vector<int> keysDown;
    QObject::connect(button, &B::OnKeyDown,
                     [&](QObject*, int& key, B::TShiftState) { keysDown.push_back(key); });
    keyDown(Qt::Key_Space);
    typeChar(u'g');
    keyUp(Qt::Key_Space);
    EXPECT_EQ(keysDown, (std::vector<int>{Qt::Key_Space, Qt::Key_G}));
    EXPECT_EQ(log.names(), Names{"Click"}) << "the access character, not the cancelled Space";
}

TEST_F(CuteButtonAccess, KeyPressHandlerMaySwallowTheCharacter) {
    button->setCaption(QStringLiteral("&Go"));
    tabInto(button);
    EventLog log(*button);
    std::vector<QChar> seen;
    QObject::connect(button, &B::OnKeyPress, [&](QObject*, QChar& key) {
        seen.push_back(key);
        if (key == u'g')
            key = QChar();
    });
    typeChar(u'g');
    EXPECT_EQ(log.count("Click"), 0);
    typeChar(u'G', Qt::ShiftModifier);
    EXPECT_EQ(log.count("Click"), 1);
    EXPECT_EQ(seen, (std::vector<QChar>{u'g', u'G'}));
}

TEST_F(CuteButtonPointer, WithoutTabStopAClickStillTakesTheFocus) {
    button->setTabStop(false);
    EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);
    hover();
    press();
    release();
    EXPECT_TRUE(button->hasFocus());
    button->setTabStop(true);
    other->setFocus();
    QApplication::processEvents();
    QTest::keyClick(other, Qt::Key_Tab);
    EXPECT_TRUE(button->hasFocus()) << "with TabStop the Tab key reaches it";
}

TEST_F(CuteButtonPointer, MovesAreReportedInClientCoordinatesOverTheClientAreaOnly) {
    button->setBorderStyle(B::bsSingle);
    std::vector<QPoint> moves;
    QObject::connect(button, &B::OnMouseMove, [&](QObject*, B::TShiftState, int x, int y) {
        moves.push_back({x, y});
    });
    hover(QPoint(1, 5));
    hover(QPoint(12, 9));
    EXPECT_EQ(moves, (std::vector<QPoint>{{10, 7}}));
}
