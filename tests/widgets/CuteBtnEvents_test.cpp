#include "CuteBtn.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <map>
#include <memory>
#include <sstream>

using B = TCuteButton;
using Names = std::vector<std::string>;

namespace {

const QPoint kFarAway(5000, 5000);

// The button's events in order as "Name@look", the look at that moment being N (rest), U (up)
// or P (pressed); mouse events also keep their details. Connected while the log lives.
class EventLog {
public:
    explicit EventLog(B& button) : button_(button) {
        connect(&B::OnClick, "Click");
        connect(&B::OnEnter, "Enter");
        connect(&B::OnExit, "Exit");
        for (auto [signal, name] :
             {std::pair{&B::OnMouseEnter, "MouseEnter"}, std::pair{&B::OnMouseLeave, "MouseLeave"}})
            QObject::connect(&button, signal, &context_,
                             [this, name](QObject*, B::TShiftState s, int x, int y) {
                                 add(name, {s, {x, y}, B::mbLeft});
                             });
        for (auto [signal, name] :
             {std::pair{&B::OnMouseDown, "MouseDown"}, std::pair{&B::OnMouseUp, "MouseUp"}})
            QObject::connect(
                &button, signal, &context_,
                [this, name](QObject*, B::TMouseButton m, B::TShiftState s, int x, int y) {
                    add(name, {s, {x, y}, m});
                });
    }
    struct Mouse {
        B::TShiftState shift;
        QPoint at;
        B::TMouseButton button;
    };
    Names names;
    std::vector<Mouse> mouse; // one per entry of names

    int count(const std::string& name) const {
        return int(std::count_if(names.begin(), names.end(),
                                 [&](const std::string& n) { return n.starts_with(name + "@"); }));
    }

private:
    void connect(void (B::*signal)(QObject*), const char* name) {
        QObject::connect(&button_, signal, &context_, [this, name](QObject*) { add(name, {}); });
    }
    void add(const std::string& name, Mouse details) {
        names.push_back(name + "@" + "NPU"[button_.bevelOuter()]);
        mouse.push_back(details);
    }
    B& button_;
    QObject context_;
};

// A window with the button at (40, 40) and a push button to take the focus elsewhere.
class ButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The offscreen pointer is shared by all tests: park it so that the new window does
        // not appear under it.
        QCursor::setPos(kFarAway);
        window = std::make_unique<QWidget>();
        window->setGeometry(100, 100, 300, 200);
        button = new B(window.get());
        button->move(40, 40);
        other = new QPushButton(QStringLiteral("other"), window.get());
        other->setGeometry(200, 40, 80, 25);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        other->setFocus();
    }
    void TearDown() override { QCursor::setPos(kFarAway); }

    void pointAt(QWidget* w, QPoint at) {
        QCursor::setPos(w->mapToGlobal(at));
        QApplication::processEvents();
    }
    void mouse(QTest::MouseAction action, Qt::MouseButton b) {
        QTest::mouseEvent(action, window->windowHandle(), b, {},
                          window->mapFromGlobal(QCursor::pos()));
    }
    void key(QEvent::Type type, int k, bool repeat = false, Qt::KeyboardModifiers mods = {},
             QString text = {}) {
        if (text.isEmpty())
            text = k == Qt::Key_Space    ? QStringLiteral(" ")
                   : k == Qt::Key_Return ? QStringLiteral("\r")
                                         : QString();
        QKeyEvent event(type, k, mods, text, repeat);
        QApplication::sendEvent(QApplication::focusWidget(), &event);
    }
    void typeChar(QChar ch, Qt::KeyboardModifiers mods = {}) {
        key(QEvent::KeyPress, ch.toUpper().unicode(), false, mods, QString(ch));
        key(QEvent::KeyRelease, ch.toUpper().unicode(), false, mods, QString(ch));
    }

    // Space-separated steps: over, edge, away (pointer); press, release, rpress, rrelease,
    // dclick (mouse); tab, untab (focus); space, enter, a with + (down), * (auto-repeat) or -
    // (up); disable.
    void run(const std::string& script) {
        const std::map<std::string, int> keys = {
            {"space", Qt::Key_Space}, {"enter", Qt::Key_Return}, {"a", Qt::Key_A}};
        std::istringstream steps(script);
        for (std::string s; steps >> s;) {
            if (s == "over")
                pointAt(button, {10, 10});
            else if (s == "edge")
                pointAt(button, {1, 1});
            else if (s == "away")
                pointAt(window.get(), {5, 5});
            else if (s == "press" || s == "rpress")
                mouse(QTest::MousePress, s == "press" ? Qt::LeftButton : Qt::RightButton);
            else if (s == "release" || s == "rrelease")
                mouse(QTest::MouseRelease, s == "release" ? Qt::LeftButton : Qt::RightButton);
            else if (s == "dclick")
                mouse(QTest::MouseDClick, Qt::LeftButton);
            else if (s == "tab")
                button->setFocus(Qt::TabFocusReason);
            else if (s == "untab")
                other->setFocus(Qt::TabFocusReason);
            else if (s == "disable")
                button->setEnabled(false);
            else if (const int k = keys.at(s.substr(0, s.size() - 1)); s.back() == '+') {
                key(QEvent::KeyPress, k);
            } else if (s.back() == '*') {
                key(QEvent::KeyRelease, k, true);
                key(QEvent::KeyPress, k, true);
            } else {
                key(QEvent::KeyRelease, k);
            }
            QApplication::processEvents();
        }
    }

    std::unique_ptr<QWidget> window;
    B* button = nullptr;
    QPushButton* other = nullptr;
};

} // namespace

TEST_F(ButtonTest, StateTableSequences) {
    struct Row {
        const char* what;
        bool tabFocusUp;
        B::TBorderStyle border;
        const char* script;
        Names expected;
        char look; // afterwards
    };
    const B::TBorderStyle none = B::bsNone;
    const Row rows[] = {
        {"enter and leave", true, none, "over away", {"MouseEnter@N", "MouseLeave@U"}, 'N'},
        {"focused leave keeps up",
         true,
         none,
         "tab over away",
         {"Enter@U", "MouseEnter@U", "MouseLeave@U"},
         'U'},
        {"focus without TabFocusUp",
         false,
         none,
         "tab over away",
         {"Enter@N", "MouseEnter@N", "MouseLeave@U"},
         'N'},
        {"tab away under the pointer",
         true,
         none,
         "tab over untab",
         {"Enter@U", "MouseEnter@U", "Exit@U"},
         'N'},
        {"click",
         true,
         none,
         "over press release",
         {"MouseEnter@N", "Enter@U", "MouseDown@P", "Click@P", "MouseUp@U"},
         'U'},
        {"release outside, TabFocusUp",
         true,
         none,
         "over press away release",
         {"MouseEnter@N", "Enter@U", "MouseDown@P", "MouseLeave@P", "MouseUp@U"},
         'U'},
        {"release outside",
         false,
         none,
         "over press away release",
         {"MouseEnter@N", "Enter@U", "MouseDown@P", "MouseLeave@P", "MouseUp@N"},
         'N'},
        {"back in with the button held",
         false,
         none,
         "over press away over release",
         {"MouseEnter@N", "Enter@U", "MouseDown@P", "MouseLeave@P", "MouseEnter@N", "Click@P",
          "MouseUp@U"},
         'U'},
        {"right button",
         true,
         none,
         "over rpress rrelease",
         {"MouseEnter@N", "Enter@U", "MouseDown@U", "MouseUp@U"},
         'U'},
        {"double click clicks once",
         true,
         none,
         "over dclick",
         {"MouseEnter@N", "Enter@U", "MouseDown@P", "Click@P", "MouseUp@U", "MouseDown@P",
          "MouseUp@U"},
         'U'},
        {"two clicks",
         true,
         none,
         "over press release press release",
         {"MouseEnter@N", "Enter@U", "MouseDown@P", "Click@P", "MouseUp@U", "MouseDown@P",
          "Click@P", "MouseUp@U"},
         'U'},
        {"edge is over but not pressable",
         true,
         B::bsSingle,
         "edge press release",
         {"MouseEnter@N"},
         'U'},
        {"disabled still lights up", true, none, "disable over", {"MouseEnter@N"}, 'U'},
        {"space clicks at release",
         true,
         none,
         "tab space+ space* space* space-",
         {"Enter@U", "Click@P"},
         'U'},
        {"space settles to rest", false, none, "tab space+ space-", {"Enter@N", "Click@P"}, 'N'},
        {"second space release",
         true,
         none,
         "tab space+ space- space-",
         {"Enter@U", "Click@P"},
         'U'},
        {"other key cancels space", true, none, "tab space+ a+ a- space-", {"Enter@U"}, 'U'},
        {"losing focus cancels space",
         true,
         none,
         "tab space+ untab tab space-",
         {"Enter@U", "Exit@P", "Enter@U"},
         'U'},
        {"enter repeats",
         true,
         none,
         "tab enter+ enter* enter* enter-",
         {"Enter@U", "Click@P", "Click@P", "Click@P"},
         'U'},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TearDown();
        SetUp();
        button->setTabFocusUp(row.tabFocusUp);
        button->setBorderStyle(row.border);
        EventLog log(*button);
        run(row.script);
        EXPECT_EQ(log.names, row.expected);
        EXPECT_EQ("NPU"[button->bevelOuter()], row.look);
    }
}

TEST_F(ButtonTest, PointerEventsCarryClientCoordinatesShiftStateAndButton) {
    button->setBorderStyle(B::bsSingle);
    EventLog log(*button);
    std::vector<QPoint> moves;
    QObject::connect(button, &B::OnMouseMove, [&](QObject*, B::TShiftState, int x, int y) {
        moves.push_back({x, y});
    });
    pointAt(button, {1, 5}); // on the sunken edge
    pointAt(button, {14, 9});
    mouse(QTest::MousePress, Qt::LeftButton);
    pointAt(window.get(), {5, 5});
    mouse(QTest::MouseRelease, Qt::LeftButton);
    pointAt(button, {20, 10});
    mouse(QTest::MousePress, Qt::RightButton);
    ASSERT_EQ(log.names.size(), 7u);
    const QPoint away = button->mapFromGlobal(window->mapToGlobal(QPoint(5, 5))) - QPoint(2, 2);
    const EventLog::Mouse expected[] = {
        {{}, {-1, 3}, B::mbLeft},          // MouseEnter over the edge
        {B::ssLeft, {12, 7}, B::mbLeft},   // MouseDown
        {B::ssLeft, away, B::mbLeft},      // MouseLeave with the button held
        {{}, away, B::mbLeft},             // MouseUp
        {{}, {18, 8}, B::mbLeft},          // MouseEnter
        {B::ssRight, {18, 8}, B::mbRight}, // MouseDown
    };
    std::vector<EventLog::Mouse> got;
    for (size_t i = 0; i < log.names.size(); ++i)
        if (!log.names[i].starts_with("Enter@"))
            got.push_back(log.mouse[i]);
    ASSERT_EQ(got.size(), std::size(expected));
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].shift, expected[i].shift) << i;
        EXPECT_EQ(got[i].at, expected[i].at) << i;
        EXPECT_EQ(got[i].button, expected[i].button) << i;
    }
    EXPECT_EQ(moves.front(), QPoint(12, 7)) << "no moves over the sunken edge";
}

TEST_F(ButtonTest, KeyHandlersMayChangeOrSwallowKeysAndDisableTheButton) {
    button->setCaption(QStringLiteral("&Go"));
    button->setFocus();
    EventLog log(*button);
    auto changer = QObject::connect(button, &B::OnKeyDown, [](QObject*, int& k, B::TShiftState) {
        k = k == Qt::Key_F5 ? int(Qt::Key_Return) : k == Qt::Key_Return ? 0 : k;
    });
    key(QEvent::KeyPress, Qt::Key_F5);
    key(QEvent::KeyPress, Qt::Key_Return);
    EXPECT_EQ(log.count("Click"), 1);
    QObject::disconnect(changer);

    auto swallower = QObject::connect(button, &B::OnKeyPress, [](QObject*, QChar& ch) {
        if (ch == u'g')
            ch = QChar();
    });
    typeChar(u'g');
    EXPECT_EQ(log.count("Click"), 1) << "the swallowed character is no access character";
    typeChar(u'G', Qt::ShiftModifier);
    EXPECT_EQ(log.count("Click"), 2);
    QObject::disconnect(swallower);

    QObject::connect(button, &B::OnKeyDown,
                     [this](QObject*, int&, B::TShiftState) { button->setEnabled(false); });
    key(QEvent::KeyPress, Qt::Key_Return);
    EXPECT_EQ(log.count("Click"), 2) << "disabled by its own key handler";
}

TEST_F(ButtonTest, TabStopDecidesTabbingButAClickAlwaysTakesTheFocus) {
    button->setTabStop(false);
    run("over press release");
    EXPECT_TRUE(button->hasFocus());
    other->setFocus();
    QTest::keyClick(other, Qt::Key_Tab);
    EXPECT_FALSE(button->hasFocus());
    button->setTabStop(true);
    other->setFocus();
    QTest::keyClick(other, Qt::Key_Tab);
    EXPECT_TRUE(button->hasFocus());
}

TEST_F(ButtonTest, AnotherWindowTakingTheKeysLeavesTheButtonItsWindowsActiveControl) {
    button->setFocus();
    EventLog log(*button);
    QWidget popup;
    popup.setGeometry(500, 100, 50, 50);
    popup.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&popup));
    EXPECT_EQ(button->bevelOuter(), B::bvRaised);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EXPECT_TRUE(log.names.empty()) << "no OnExit or OnEnter for a window switch";

    // The active control changes while the window is away: the button is left.
    popup.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&popup));
    other->setFocus();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EXPECT_EQ(log.names, Names{"Exit@U"});
    EXPECT_EQ(button->bevelOuter(), B::bvNone);
}

TEST_F(ButtonTest, AccessCharacterClicksWithoutRegardToCase) {
    struct Row {
        const char* caption;
        QChar typed;
        Qt::KeyboardModifiers modifiers;
        bool enabled;
        int clicks;
    };
    const Row rows[] = {
        {"&Play", u'p', {}, true, 1},
        {"&Play", u'P', Qt::ShiftModifier, true, 1},
        {"&Play", u'p', Qt::AltModifier, true, 1},
        {"pl&Ay", u'a', {}, true, 1},
        {"&ド", u'ド', {}, true, 1},
        {"&&&B", u'b', {}, true, 1},
        {"&Play", u'l', {}, true, 0},
        {"&Play", u'p', Qt::ControlModifier, true, 0},
        {"&Play", u'p', {}, false, 0},
        {"Play&", u'&', Qt::ShiftModifier, true, 0},
        {"A&&B", u'&', Qt::ShiftModifier, true, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.caption);
        button->setCaption(QString::fromUtf8(row.caption));
        button->setEnabled(row.enabled);
        EventLog log(*button);
        typeChar(row.typed, row.modifiers);
        EXPECT_EQ(log.count("Click"), row.clicks) << "typed " << int(row.typed.unicode());
    }
}

TEST_F(ButtonTest, AccessCharacterNeedsAVisibleParentAndBeatsTextBoxesOnlyWithAlt) {
    auto* page = new QWidget(window.get());
    B* hidden = new B(page);
    hidden->setCaption(QStringLiteral("&Hidden"));
    page->hide();
    EventLog hiddenLog(*hidden);
    typeChar(u'h');
    page->show();
    typeChar(u'h');
    EXPECT_EQ(hiddenLog.count("Click"), 1);

    button->setCaption(QStringLiteral("&Go"));
    EventLog log(*button);
    auto* edit = new QLineEdit(window.get());
    edit->show();
    edit->setFocus();
    typeChar(u'g');
    typeChar(u'g', Qt::AltModifier);
    EXPECT_EQ(edit->text(), QStringLiteral("g"));
    EXPECT_EQ(log.count("Click"), 1);
}
