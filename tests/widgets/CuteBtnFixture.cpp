#include "CuteBtnFixture.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QKeyEvent>
#include <QTest>

#include <algorithm>

namespace kw27::test {

namespace {

const QPoint kFarAway(5000, 5000);

} // namespace

QImage render(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void expectRing(const QImage& image, const QRect& area, int ring, QRgb top, QRgb bottom,
                const std::string& what) {
    const int l = area.left() + ring;
    const int t = area.top() + ring;
    const int r = area.right() - ring;
    const int b = area.bottom() - ring;
    int wrong = 0;
    auto check = [&](int x, int y, QRgb want, const char* side) {
        const QRgb got = image.pixel(x, y) & 0xFFFFFF;
        if (got != (want & 0xFFFFFF) && ++wrong <= 3)
            ADD_FAILURE() << what << ": ring " << ring << " " << side << " pixel (" << x << "," << y
                          << ") is " << std::hex << got << ", want " << (want & 0xFFFFFF);
    };
    for (int x = l; x < r; ++x)
        check(x, t, top, "top");
    for (int y = t; y < b; ++y)
        check(l, y, top, "left");
    for (int y = t; y <= b; ++y)
        check(r, y, bottom, "right");
    for (int x = l; x <= r; ++x)
        check(x, b, bottom, "bottom");
}

void expectFilled(const QImage& image, const QRect& area, QRgb color, const std::string& what) {
    int wrong = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != (color & 0xFFFFFF) && ++wrong <= 3)
                ADD_FAILURE() << what << ": pixel (" << x << "," << y << ") is " << std::hex
                              << (image.pixel(x, y) & 0xFFFFFF) << ", want " << (color & 0xFFFFFF);
}

QRect inkBox(const QImage& image, const QRect& area, QRgb background) {
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != (background & 0xFFFFFF))
                box |= QRect(x, y, 1, 1);
    return box;
}

void keepImage(const QImage& image, const QString& name) {
    const QString folder = qEnvironmentVariable("KW27_TEST_IMAGES");
    if (!folder.isEmpty() && QDir().mkpath(folder))
        image.save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

void ButtonWindowTest::SetUp() {
    // The offscreen pointer is shared by all tests: a window appearing under it would get an
    // enter notice that the test did not ask for.
    QCursor::setPos(kFarAway);
    window = std::make_unique<QWidget>();
    window->setGeometry(100, 100, 300, 200);
    button = new TCuteButton(window.get());
    button->move(40, 40);
    other = new QPushButton(QStringLiteral("other"), window.get());
    other->setGeometry(200, 40, 80, 25);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    other->setFocus();
    QApplication::processEvents();
}

void ButtonWindowTest::TearDown() {
    QCursor::setPos(kFarAway);
    window.reset();
    QApplication::processEvents();
}

void ButtonWindowTest::hover(QPoint at) {
    QCursor::setPos(button->mapToGlobal(at));
    QApplication::processEvents();
}

void ButtonWindowTest::moveAway() {
    QCursor::setPos(window->mapToGlobal(QPoint(5, 5)));
    QApplication::processEvents();
}

void ButtonWindowTest::press(Qt::MouseButton mouseButton) {
    QTest::mousePress(window->windowHandle(), mouseButton, {},
                      window->mapFromGlobal(QCursor::pos()));
}

void ButtonWindowTest::release(Qt::MouseButton mouseButton) {
    QTest::mouseRelease(window->windowHandle(), mouseButton, {},
                        window->mapFromGlobal(QCursor::pos()));
}

void ButtonWindowTest::doubleClick() {
    QTest::mouseDClick(window->windowHandle(), Qt::LeftButton, {},
                       window->mapFromGlobal(QCursor::pos()));
}

void ButtonWindowTest::key(QEvent::Type type, int k, bool autoRepeat,
                           Qt::KeyboardModifiers modifiers, const QString& text) {
    QString t = text;
    if (t.isEmpty() && k == Qt::Key_Space)
        t = QStringLiteral(" ");
    else if (t.isEmpty() && (k == Qt::Key_Return || k == Qt::Key_Enter))
        t = QStringLiteral("\r");
    QKeyEvent event(type, k, modifiers, t, autoRepeat);
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : window.get();
    QApplication::sendEvent(target, &event);
}

void ButtonWindowTest::typeChar(QChar ch, Qt::KeyboardModifiers modifiers) {
    const int k = ch.toUpper().unicode();
    key(QEvent::KeyPress, k, false, modifiers, QString(ch));
    key(QEvent::KeyRelease, k, false, modifiers, QString(ch));
}

EventLog::EventLog(TCuteButton& button) : button_(button) {
    using B = TCuteButton;
    QObject::connect(&button, &B::OnClick, &context_, [this](QObject*) { add("Click"); });
    QObject::connect(&button, &B::OnEnter, &context_, [this](QObject*) { add("Enter"); });
    QObject::connect(&button, &B::OnExit, &context_, [this](QObject*) { add("Exit"); });
    QObject::connect(
        &button, &B::OnMouseEnter, &context_,
        [this](QObject*, B::TShiftState s, int x, int y) { add("MouseEnter", s, QPoint(x, y)); });
    QObject::connect(
        &button, &B::OnMouseLeave, &context_,
        [this](QObject*, B::TShiftState s, int x, int y) { add("MouseLeave", s, QPoint(x, y)); });
    QObject::connect(&button, &B::OnMouseDown, &context_,
                     [this](QObject*, B::TMouseButton m, B::TShiftState s, int x, int y) {
                         add("MouseDown", s, QPoint(x, y), m);
                     });
    QObject::connect(&button, &B::OnMouseUp, &context_,
                     [this](QObject*, B::TMouseButton m, B::TShiftState s, int x, int y) {
                         add("MouseUp", s, QPoint(x, y), m);
                     });
}

void EventLog::add(const std::string& name, TCuteButton::TShiftState shift, QPoint at,
                   TCuteButton::TMouseButton mouseButton) {
    entries.push_back({name, button_.bevelOuter(), shift, at, mouseButton});
}

std::vector<std::string> EventLog::names() const {
    std::vector<std::string> out;
    for (const Entry& e : entries)
        out.push_back(e.name);
    return out;
}

int EventLog::count(const std::string& name) const {
    return int(std::count_if(entries.begin(), entries.end(),
                             [&](const Entry& e) { return e.name == name; }));
}

} // namespace kw27::test
