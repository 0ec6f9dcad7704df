// Preloaded (LD_PRELOAD) into a program that first_paint_bench starts: when the first paint
// event reaches a top-level window, writes the monotonic-clock time in nanoseconds and the
// window's class to the descriptor that KW27_FIRST_PAINT_FD names, and ends the process at
// once. The program itself is the one that ships, unchanged.

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

class FirstPaintReport : public QObject {
public:
    FirstPaintReport(int fd) : QObject(qApp), fd_(fd) { qApp->installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint || !watched->isWidgetType() ||
            !static_cast<QWidget*>(watched)->isWindow())
            return false;
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        dprintf(fd_, "%lld %s\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec,
                watched->metaObject()->className());
        // Nothing after the first paint is measured; the sounds that would follow stay silent.
        _exit(0);
    }

private:
    int fd_;
};

void installReport() {
    bool ok = false;
    const int fd = qEnvironmentVariableIntValue("KW27_FIRST_PAINT_FD", &ok);
    if (ok)
        new FirstPaintReport(fd);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installReport)
