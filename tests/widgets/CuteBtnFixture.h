#pragma once

#include "CuteBtn.h"

#include <gtest/gtest.h>

#include <QEvent>
#include <QImage>
#include <QPushButton>
#include <QString>
#include <memory>
#include <string>
#include <vector>

namespace kw27::test {

// Lets a paint test choose the look directly.
class LookButton : public TCuteButton {
public:
    using TCuteButton::setBevelOuter;
    using TCuteButton::TCuteButton;
};

QImage render(QWidget& widget);

// Checks every pixel of the ring-th one-pixel ring inside area (0 is the outermost): left
// column and top row in top, except the top-right and bottom-left corners, which are in bottom
// like the right column and the bottom row.
void expectRing(const QImage& image, const QRect& area, int ring, QRgb top, QRgb bottom,
                const std::string& what);

// Every pixel of area has the colour.
void expectFilled(const QImage& image, const QRect& area, QRgb color, const std::string& what);

// Bounding box of the pixels of area that differ from background.
QRect inkBox(const QImage& image, const QRect& area, QRgb background);

// Saves the image as <name>.png when KW27_TEST_IMAGES names a folder, for looking at.
void keepImage(const QImage& image, const QString& name);

// One window with a button on it and a push button to take the focus elsewhere; the pointer
// starts far away from both.
class ButtonWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The pointer over a point of the button (client and widget coordinates agree for bsNone),
    // or over the window next to it.
    void hover(QPoint at = QPoint(10, 10));
    void moveAway();
    void press(Qt::MouseButton button = Qt::LeftButton);
    void release(Qt::MouseButton button = Qt::LeftButton);
    void doubleClick();
    // Keys go to the focus widget, as the platform sends them.
    void key(QEvent::Type type, int key, bool autoRepeat = false,
             Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {});
    void keyDown(int k, bool autoRepeat = false) { key(QEvent::KeyPress, k, autoRepeat); }
    void keyUp(int k, bool autoRepeat = false) { key(QEvent::KeyRelease, k, autoRepeat); }
    void typeChar(QChar ch, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    std::unique_ptr<QWidget> window;
    TCuteButton* button = nullptr;
    QPushButton* other = nullptr;
};

// The button's events in order, each with the look at that moment, while the log lives.
class EventLog {
public:
    explicit EventLog(TCuteButton& button);
    struct Entry {
        std::string name;
        TCuteButton::TBevelCut look;
        TCuteButton::TShiftState shift;
        QPoint at;
        TCuteButton::TMouseButton mouseButton;
    };
    std::vector<Entry> entries;
    std::vector<std::string> names() const;
    int count(const std::string& name) const;
    void clear() { entries.clear(); }

private:
    TCuteButton& button_;
    QObject context_; // ends the connections with the log
    void add(const std::string& name, TCuteButton::TShiftState shift = {}, QPoint at = {},
             TCuteButton::TMouseButton mouseButton = TCuteButton::mbLeft);
};

} // namespace kw27::test
