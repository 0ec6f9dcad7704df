#pragma once

#include "KwError.h"
#include "MessageBoxes.h"

#include <QApplication>
#include <exception>
#include <thread>

// The programs' application object: sets up the Japanese fonts and Qt's Japanese dialog texts,
// and catches exceptions escaping event dispatch, showing the general error report and carrying
// on with the next input.
class KwApplication : public QApplication {
    Q_OBJECT
public:
    KwApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

private:
    // The first font asked for makes fontconfig read its configuration and the font list every
    // font is chosen from (about 10 ms); that is done here while the first window is being made.
    std::jthread fontListing_;
};

namespace kw27 {

// Runs one event handler; an error it does not catch itself ends it there and goes to the
// general error report. Window classes call their handlers through this, so that no exception
// has to unwind through the toolkit's own frames.
template <class Handler> void runHandler(Handler&& handler) {
    try {
        handler();
    } catch (const EKwError& error) {
        showErrorReport(error.message());
    } catch (const std::exception& error) {
        showErrorReport(QString::fromLocal8Bit(error.what()));
    }
}

// Connects a control's signal to a window's handler: the handler is given the control and runs
// through runHandler, whatever the signal carries.
template <class Control, class Signal, class Window>
QMetaObject::Connection connectHandler(Control* control, Signal signal, Window* window,
                                       void (Window::*handler)(QObject*)) {
    return QObject::connect(control, signal, window, [window, control, handler] {
        runHandler([&] { (window->*handler)(control); });
    });
}

} // namespace kw27
