#include "InputState.h"

#include <QGuiApplication>

#if QT_CONFIG(xcb)
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#endif

namespace kw27 {

#if QT_CONFIG(xcb)
namespace {

template <typename Reply> using XcbReply = std::unique_ptr<Reply, decltype(&std::free)>;

// The X server's connection when the program runs on one.
xcb_connection_t* xConnection() {
    const auto* x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

} // namespace
#endif

Qt::MouseButtons mouseButtonsHeld() {
#if QT_CONFIG(xcb)
    if (xcb_connection_t* connection = xConnection()) {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        const XcbReply<xcb_query_pointer_reply_t> pointer(
            xcb_query_pointer_reply(connection, xcb_query_pointer(connection, root), nullptr),
            &std::free);
        if (pointer) {
            Qt::MouseButtons held;
            held.setFlag(Qt::LeftButton, pointer->mask & XCB_BUTTON_MASK_1);
            held.setFlag(Qt::MiddleButton, pointer->mask & XCB_BUTTON_MASK_2);
            held.setFlag(Qt::RightButton, pointer->mask & XCB_BUTTON_MASK_3);
            return held;
        }
    }
#endif
    return QGuiApplication::mouseButtons();
}

bool keyHeld(quint32 keyCode) {
#if QT_CONFIG(xcb)
    xcb_connection_t* connection = xConnection();
    if (!connection || keyCode > 255)
        return false;
    const XcbReply<xcb_query_keymap_reply_t> keymap(
        xcb_query_keymap_reply(connection, xcb_query_keymap(connection), nullptr), &std::free);
    return keymap && (keymap->keys[keyCode / 8] & (1u << (keyCode % 8)));
#else
    Q_UNUSED(keyCode);
    return false;
#endif
}

} // namespace kw27
