#include "platform/qt_platform_extras.h"

#include <QGuiApplication>

#if defined(OSTREL_HAVE_X11)
#include <X11/XKBlib.h>
#endif
#ifdef _WIN32
#include <windows.h>
#endif

namespace ostrel {

LockState QtKeyboardLocks::State() const
{
    LockState state;
#if defined(OSTREL_HAVE_X11)
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        if (auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
            Display *display = x11->display();
            const auto isOn = [display](const char *name) {
                Bool on = False;
                const Atom atom = XInternAtom(display, name, True);
                return atom != None
                    && XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr) && on;
            };
            state.capsLock = isOn("Caps Lock");
            state.numLock = isOn("Num Lock");
            state.scrollLock = isOn("Scroll Lock");
        }
    }
#elif defined(_WIN32)
    state.capsLock = GetKeyState(VK_CAPITAL) & 1;
    state.numLock = GetKeyState(VK_NUMLOCK) & 1;
    state.scrollLock = GetKeyState(VK_SCROLL) & 1;
#endif
    return state;
}

} // namespace ostrel
