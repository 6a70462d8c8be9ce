#include "platform/qt_platform_extras.h"

#include <QGuiApplication>
#include <QPageSetupDialog>
#include <QPrinter>

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
            // Which indicator bit each lock has is looked up once; a reading is then one
            // request for all indicators.
            if (!m_masksKnown) {
                m_masksKnown = true;
                const char *names[] = { "Caps Lock", "Num Lock", "Scroll Lock" };
                for (int i = 0; i < 3; ++i) {
                    int index = -1;
                    const Atom atom = XInternAtom(display, names[i], True);
                    if (atom != None
                        && XkbGetNamedIndicator(display, atom, &index, nullptr, nullptr, nullptr)
                        && index >= 0 && index < 32)
                        m_masks[i] = 1u << index;
                }
            }
            unsigned int indicators = 0;
            if ((m_masks[0] | m_masks[1] | m_masks[2])
                && XkbGetIndicatorState(display, XkbUseCoreKbd, &indicators) == Success) {
                state.capsLock = indicators & m_masks[0];
                state.numLock = indicators & m_masks[1];
                state.scrollLock = indicators & m_masks[2];
            }
        }
    }
#elif defined(_WIN32)
    state.capsLock = GetKeyState(VK_CAPITAL) & 1;
    state.numLock = GetKeyState(VK_NUMLOCK) & 1;
    state.scrollLock = GetKeyState(VK_SCROLL) & 1;
#endif
    return state;
}

QtPrintSetup::QtPrintSetup() = default;
QtPrintSetup::~QtPrintSetup() = default;

void QtPrintSetup::ShowPrintSetup()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>();
    QPageSetupDialog dialog(m_printer.get(), m_owner);
    dialog.exec();
}

} // namespace ostrel
