// SPDX-License-Identifier: MIT
#include "chrome/platformpointer.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QWidget>

#include <cstdlib>
#include <cstring>

#if defined(Q_OS_LINUX) && __has_include(<xcb/xcb.h>)
#include <dlfcn.h>
#include <xcb/xcb.h>
#define PARCELO_ASK_X_SERVER 1
#endif
#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

// X11 event codes and the byte offsets of the fields read here, as XCB hands the events over: a
// core event is 32 bytes; an XInput 2 device event is a generic event of the input extension.
enum : quint8 { buttonPress = 4, buttonRelease = 5, motionNotify = 6, genericEvent = 35 };
enum : quint16 { xiButtonPress = 4, xiButtonRelease = 5, xiMotion = 6 };
constexpr int coreTime = 4, coreWindow = 12;
constexpr int xiEventType = 8, xiTime = 12, xiWindow = 24;

template <typename T> T field(const char *event, int offset)
{
    T value;
    std::memcpy(&value, event + offset, sizeof value);
    return value;
}

// Whether the X server holds the left button down now. The program does not link the X client
// library; the platform plug-in has loaded it. Unknown counts as down.
bool leftButtonDown(const QWidget *window)
{
#ifdef PARCELO_ASK_X_SERVER
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !x11 || !x11->connection())
        return true;
    void *library = dlopen("libxcb.so.1", RTLD_LAZY | RTLD_NOLOAD);
    if (!library)
        return true;
    const auto query = reinterpret_cast<decltype(&xcb_query_pointer)>(dlsym(library, "xcb_query_pointer"));
    const auto reply = reinterpret_cast<decltype(&xcb_query_pointer_reply)>(dlsym(library, "xcb_query_pointer_reply"));
    bool down = true;
    if (query && reply) {
        xcb_query_pointer_reply_t *state = reply(x11->connection(), query(x11->connection(), window->winId()), nullptr);
        if (state)
            down = state->mask & XCB_BUTTON_MASK_1;
        std::free(state);
    }
    dlclose(library);
    return down;
#elif defined(Q_OS_WIN)
    Q_UNUSED(window);
    // The button as it is now, not as the queue had it at the press (left-handed mice swap them).
    return GetAsyncKeyState(GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON) < 0;
#else
    Q_UNUSED(window);
    return true;
#endif
}

} // namespace

PlatformPointer &PlatformPointer::instance()
{
    static PlatformPointer pointer;
    static const bool installed = [] {
        QCoreApplication::instance()->installNativeEventFilter(&pointer);
        return true;
    }();
    Q_UNUSED(installed);
    return pointer;
}

bool PlatformPointer::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    watched = true;
    const auto *event = static_cast<const char *>(message);
    const quint8 type = field<quint8>(event, 0) & 0x7f;
    if (type == buttonPress || type == buttonRelease || type == motionNotify) {
        latestIsPress = type == buttonPress;
        latestTime = field<quint32>(event, coreTime);
        latestWindow = field<quint32>(event, coreWindow);
    } else if (type == genericEvent) {
        const quint16 xiType = field<quint16>(event, xiEventType);
        if (xiType == xiButtonPress || xiType == xiButtonRelease || xiType == xiMotion) {
            latestIsPress = xiType == xiButtonPress;
            latestTime = field<quint32>(event, xiTime);
            latestWindow = field<quint32>(event, xiWindow);
        }
    }
    return false;
}

bool PlatformPointer::startsFrom(const QMouseEvent *press, const QWidget *window) const
{
#ifdef Q_OS_WIN
    // Windows starts from the press itself, but a move asked for once the button is up (a short
    // click, handled late) has the window follow the pointer until the next click.
    return leftButtonDown(window);
#endif
    // Other unwatched platforms take the press itself.
    if (!watched)
        return true;
    const QWidget *topLevel = window->window();
    // A window moved since the press would put the start elsewhere too.
    const bool windowStill = topLevel->mapToGlobal(press->scenePosition()) == press->globalPosition();
    // A click too short for the window manager to take the pointer before its release would leave
    // the window following the pointer with no button held.
    return latestIsPress && latestTime == quint32(press->timestamp()) && latestWindow == quint32(topLevel->winId()) &&
           windowStill && leftButtonDown(topLevel);
}
