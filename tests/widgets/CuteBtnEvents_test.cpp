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
    void TearDown() override {
        // A button left held would keep the toolkit's mouse grab into the next test.
        for (const Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
            if (QGuiApplication::mouseButtons() & b)
                mouse(QTest::MouseRelease, b);
        QCursor::setPos(kFarAway);
    }

    void pointAt(QWidget* w, QPoint at) {
        QCursor::setPos(w->mapToGlobal(at));
        QApplication::processEvents();
    }
    void mouse(QTest::MouseAction action, Qt::MouseButton b) {
        QTest::mouseEvent(action, window->windowHandle(), b, {},
                          window->mapFromGlobal(QCursor::pos()));
    }
    // Each key event happens a moment after the one before, unless it is given its moment.
    void key(QEvent::Type type, int k, bool repeat = false, Qt::KeyboardModifiers mods = {},
             QString text = {}, quint64 at = 0) {
        if (text.isEmpty())
            text = k == Qt::Key_Space    ? QStringLiteral(" ")
                   : k == Qt::Key_Return ? QStringLiteral("\r")
                                         : QString();
        QKeyEvent event(type, k, mods, text, repeat);
        event.setTimestamp(at ? at : ++clock);
        QApplication::sendEvent(QApplication::focusWidget(), &event);
    }
    quint64 clock = 0;
    void typeChar(QChar ch, Qt::KeyboardModifiers mods = {}) {
        key(QEvent::KeyPress, ch.toUpper().unicode(), false, mods, QString(ch));
        key(QEvent::KeyRelease, ch.toUpper().unicode(), false, mods, QString(ch));
        // Letting go of the modifier through the platform, which is what clears the
        // application's idea of the modifiers held.
        if (mods != Qt::NoModifier)
            QTest::keyRelease(window->windowHandle(), mods == Qt::ShiftModifier ? Qt::Key_Shift
                                                      : mods == Qt::AltModifier ? Qt::Key_Alt
                                                                                : Qt::Key_Control);
    }

    // Space-separated steps: over, edge, away (pointer); press, release, rpress, rrelease,
    // dclick (mouse); tab, untab (focus); space, enter, a with + (down), * (auto-repeat), -
    // (up), ~ (a repeat that X11 did not see as one: a plain release and a press of the same
    // moment) or / (a release and at once a new press); disable.
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
            } else if (s.back() == '~') {
                key(QEvent::KeyRelease, k, false, {}, {}, ++clock);
                key(QEvent::KeyPress, k, false, {}, {}, clock);
            } else if (s.back() == '/') {
                key(QEvent::KeyRelease, k);
                key(QEvent::KeyPress, k);
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
        bool tabFocusUp;
        B::TBorderStyle border;
        const char* script;
        Names expected;
        char look; // afterwards
    };
    const auto no = B::bsNone;
    // clang-format off
    const Row rows[] = {
        {true, no, "over away", {"MouseEnter@N", "MouseLeave@U"}, 'N'},
        {true, no, "tab over away", {"Enter@U", "MouseEnter@U", "MouseLeave@U"}, 'U'},
        {false, no, "tab over away", {"Enter@N", "MouseEnter@N", "MouseLeave@U"}, 'N'},
        {true, no, "tab over untab", {"Enter@U", "MouseEnter@U", "Exit@U"}, 'N'},
        {true, no, "over press release",
         {"MouseEnter@N", "Enter@U", "MouseDown@P", "Click@P", "MouseUp@U"}, 'U'},
        {true, no, "over press away release",
         {"MouseEnter@N", "Enter@U", "MouseDown@P", "MouseLeave@P", "MouseUp@U"}, 'U'},
        {false, no, "over press away release",
         {"MouseEnter@N", "Enter@U", "MouseDown@P", "MouseLeave@P", "MouseUp@N"}, 'N'},
        {false, no, "over press away over release", {"MouseEnter@N", "Enter@U", "MouseDown@P",
         "MouseLeave@P", "MouseEnter@N", "Click@P", "MouseUp@U"}, 'U'},
        {true, no, "over rpress rrelease", {"MouseEnter@N", "Enter@U", "MouseDown@U", "MouseUp@U"},
         'U'},
        {true, no, "over dclick", {"MouseEnter@N", "Enter@U", "MouseDown@P", "Click@P",
         "MouseUp@U", "MouseDown@P", "MouseUp@U"}, 'U'},
        {true, no, "over press release press release", {"MouseEnter@N", "Enter@U",
         "MouseDown@P", "Click@P", "MouseUp@U", "MouseDown@P", "Click@P", "MouseUp@U"}, 'U'},
        {true, B::bsSingle, "edge press release", {"MouseEnter@N"}, 'U'},  // edge: no press
        {true, no, "disable over", {"MouseEnter@N"}, 'U'},
        {true, no, "tab space+ space* space* space-", {"Enter@U", "Click@P"}, 'U'},
        {true, no, "tab space+ space~ space~ space-", {"Enter@U", "Click@P"}, 'U'},
        {true, no, "tab space+ space/ space-", {"Enter@U", "Click@P", "Click@P"}, 'U'},
        {false, no, "tab space+ space-", {"Enter@N", "Click@P"}, 'N'},
        {true, no, "tab space+ space- space-", {"Enter@U", "Click@P"}, 'U'},
        {true, no, "tab space+ a+ a- space-", {"Enter@U"}, 'U'},
        {true, no, "tab space+ untab tab space-", {"Enter@U", "Exit@P", "Enter@U"}, 'U'},
        {true, no, "tab enter+ enter* enter* enter-", {"Enter@U", "Click@P", "Click@P",
         "Click@P"}, 'U'},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.script);
        TearDown();
        SetUp();
        button->setTabFocusUp(row.tabFocusUp);
        button->setBorderStyle(row.border);
        EventLog log(*button);
        run(row.script);
        EXPECT_EQ(log.names, row.expected) << "TabFocusUp " << row.tabFocusUp;
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
    run("press away release");
    pointAt(button, {20, 10});
    run("rpress");
    const QPoint away = button->mapFromGlobal(window->mapToGlobal(QPoint(5, 5))) - QPoint(2, 2);
    const Names names = {"MouseEnter@N", "Enter@U",      "MouseDown@P", "MouseLeave@P",
                         "MouseUp@U",    "MouseEnter@U", "MouseDown@U"};
    const EventLog::Mouse expected[] = {{{}, {-1, 3}, B::mbLeft},
                                        {},
                                        {B::ssLeft, {12, 7}, B::mbLeft},
                                        {B::ssLeft, away, B::mbLeft},
                                        {{}, away, B::mbLeft},
                                        {{}, {18, 8}, B::mbLeft},
                                        {B::ssRight, {18, 8}, B::mbRight}};
    ASSERT_EQ(log.names, names);
    for (size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(log.mouse[i].shift, expected[i].shift) << names[i];
        EXPECT_EQ(log.mouse[i].at, expected[i].at) << names[i];
        EXPECT_EQ(log.mouse[i].button, expected[i].button) << names[i];
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

    QObject::connect(button, &B::OnKeyPress, [](QObject*, QChar& ch) {
        if (ch == u'g')
            ch = QChar();
    });
    typeChar(u'g');
    EXPECT_EQ(log.count("Click"), 1) << "a swallowed character is no access character";
    typeChar(u'G', Qt::ShiftModifier);
    EXPECT_EQ(log.count("Click"), 2);

    QObject::connect(button, &B::OnKeyDown,
                     [this](QObject*, int&, B::TShiftState) { button->setEnabled(false); });
    key(QEvent::KeyPress, Qt::Key_Return);
    EXPECT_EQ(log.count("Click"), 2) << "disabled by its own key handler";
}

TEST_F(ButtonTest, TabStopDecidesTabbingButAClickAlwaysTakesTheFocus) {
    for (const bool tabStop : {false, true}) {
        button->setTabStop(tabStop);
        other->setFocus();
        QTest::keyClick(other, Qt::Key_Tab);
        EXPECT_EQ(button->hasFocus(), tabStop);
    }
    button->setTabStop(false);
    other->setFocus();
    run("over press release");
    EXPECT_TRUE(button->hasFocus());
}

TEST_F(ButtonTest, AnotherWindowTakingTheKeysLeavesTheButtonItsWindowsActiveControl) {
    button->setFocus();
    EventLog log(*button);
    QWidget popup;
    popup.setGeometry(500, 100, 50, 50);
    auto activate = [](QWidget* w) {
        w->show();
        w->activateWindow();
        return QTest::qWaitForWindowActive(w);
    };
    ASSERT_TRUE(activate(&popup));
    EXPECT_EQ(button->bevelOuter(), B::bvRaised);
    ASSERT_TRUE(activate(window.get()));
    EXPECT_TRUE(log.names.empty()) << "no OnExit or OnEnter for a window switch";

    // The active control changes while the window is away: the button is left.
    ASSERT_TRUE(activate(&popup));
    other->setFocus();
    ASSERT_TRUE(activate(window.get()));
    EXPECT_EQ(log.names, Names{"Exit@U"});
    EXPECT_EQ(button->bevelOuter(), B::bvNone);
}

TEST_F(ButtonTest, APressOnAnInactiveWindowKeepsItsLookWhenTheFocusComesWithTheWindow) {
    QWidget elsewhere;
    elsewhere.setGeometry(500, 100, 50, 50);
    elsewhere.show();
    elsewhere.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
    EventLog log(*button);
    run("over press");
    // The window system activates the window after the press has been delivered.
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EXPECT_EQ(log.names, (Names{"MouseEnter@N", "MouseDown@P", "Enter@P"}));
    run("release");
    EXPECT_EQ(log.count("Click"), 1);
    EXPECT_EQ(button->bevelOuter(), B::bvRaised);
}

TEST_F(ButtonTest, AccessCharacterClicksWithoutRegardToCase) {
    struct Row {
        const char* caption;
        QChar typed;
        Qt::KeyboardModifiers modifiers;
        bool enabled;
        int clicks;
    };
    const auto shift = Qt::ShiftModifier;
    // clang-format off
    const Row rows[] = {
        {"&Play", u'p', {}, true, 1},  {"&Play", u'P', shift, true, 1},
        {"&Play", u'p', Qt::AltModifier, true, 1}, {"pl&Ay", u'a', {}, true, 1},
        {"&ド", u'ド', {}, true, 1},   {"&&&B", u'b', {}, true, 1},
        {"&Play", u'l', {}, true, 0},  {"&Play", u'p', Qt::ControlModifier, true, 0},
        {"&Play", u'p', {}, false, 0}, {"Play&", u'&', shift, true, 0},
        {"A&&B", u'&', shift, true, 0},
    };
    // clang-format on
    for (const Row& row : rows) {
        button->setCaption(QString::fromUtf8(row.caption));
        button->setEnabled(row.enabled);
        EventLog log(*button);
        typeChar(row.typed, row.modifiers);
        EXPECT_EQ(log.count("Click"), row.clicks) << row.caption << " " << int(row.typed.unicode());
    }
}

TEST_F(ButtonTest, AccessCharacterNeedsAVisibleParentAndBeatsTextBoxesOnlyWithAlt) {
    auto* page = new QWidget(window.get());
    auto* hidden = new B(page);
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
