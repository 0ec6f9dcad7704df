// Preloaded (LD_PRELOAD) into a program that first_paint_bench starts. It notes when the first
// paint event reaches a top-level window, and when that paint has been drawn and handed to the
// X server (the first image put after it: Qt's backing store flush), then writes both times
// (monotonic clock, nanoseconds) and the window's class to the descriptor that
// KW27_FIRST_PAINT_FD names and ends the process there. The program itself is the one that
// ships, unchanged.

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <dlfcn.h>
#include <unistd.h>
#include <xcb/xproto.h>

namespace {

int reportFd = -1;
long long paintEventNs = 0;
const char* windowClass = nullptr;

long long nowNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

class FirstPaintEvent : public QObject {
public:
    FirstPaintEvent() : QObject(qApp) { qApp->installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (paintEventNs == 0 && event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow()) {
            paintEventNs = nowNs();
            windowClass = watched->metaObject()->className();
        }
        return false;
    }
};

void installReport() {
    bool ok = false;
    reportFd = qEnvironmentVariableIntValue("KW27_FIRST_PAINT_FD", &ok);
    if (ok)
        new FirstPaintEvent();
}

// Called once the painted image has been handed over.
void painted() {
    if (reportFd < 0 || paintEventNs == 0)
        return;
    dprintf(reportFd, "%lld %lld %s\n", paintEventNs, nowNs(), windowClass);
    // Nothing after the first paint is measured; the sounds that would follow stay silent.
    _exit(0);
}

// The real function, from the library that Qt's X11 plugin has loaded (privately, so
// RTLD_NEXT does not see it).
template <typename Function> Function real(const char* library, const char* name) {
    void* handle = dlopen(library, RTLD_NOW | RTLD_NOLOAD);
    return reinterpret_cast<Function>(dlsym(handle ? handle : RTLD_NEXT, name));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installReport)

// The two ways Qt's X11 backing store hands a painted image to the server: through shared
// memory, or in the request itself where the server has no shared memory.
extern "C" xcb_void_cookie_t
xcb_shm_put_image(xcb_connection_t* c, xcb_drawable_t drawable, xcb_gcontext_t gc,
                  uint16_t totalWidth, uint16_t totalHeight, uint16_t srcX, uint16_t srcY,
                  uint16_t srcWidth, uint16_t srcHeight, int16_t dstX, int16_t dstY, uint8_t depth,
                  uint8_t format, uint8_t sendEvent, uint32_t shmseg, uint32_t offset) {
    using Put = xcb_void_cookie_t (*)(xcb_connection_t*, xcb_drawable_t, xcb_gcontext_t, uint16_t,
                                      uint16_t, uint16_t, uint16_t, uint16_t, uint16_t, int16_t,
                                      int16_t, uint8_t, uint8_t, uint8_t, uint32_t, uint32_t);
    static const Put put = real<Put>("libxcb-shm.so.0", "xcb_shm_put_image");
    const xcb_void_cookie_t cookie =
        put(c, drawable, gc, totalWidth, totalHeight, srcX, srcY, srcWidth, srcHeight, dstX, dstY,
            depth, format, sendEvent, shmseg, offset);
    painted();
    return cookie;
}

extern "C" xcb_void_cookie_t xcb_put_image(xcb_connection_t* c, uint8_t format,
                                           xcb_drawable_t drawable, xcb_gcontext_t gc,
                                           uint16_t width, uint16_t height, int16_t dstX,
                                           int16_t dstY, uint8_t leftPad, uint8_t depth,
                                           uint32_t dataLength, const uint8_t* data) {
    using Put = xcb_void_cookie_t (*)(xcb_connection_t*, uint8_t, xcb_drawable_t, xcb_gcontext_t,
                                      uint16_t, uint16_t, int16_t, int16_t, uint8_t, uint8_t,
                                      uint32_t, const uint8_t*);
    static const Put put = real<Put>("libxcb.so.1", "xcb_put_image");
    const xcb_void_cookie_t cookie =
        put(c, format, drawable, gc, width, height, dstX, dstY, leftPad, depth, dataLength, data);
    painted();
    return cookie;
}
