#include "shell/lock_indicators.h"

#include <QGuiApplication>

#ifdef KESTRUM_HAVE_X11
#include <X11/XKBlib.h>
#endif

std::optional<LockStates> ReadLockStates() {
#ifdef KESTRUM_HAVE_X11
    const auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 != nullptr ? x11->display() : nullptr;
    unsigned int indicators = 0;
    if (display == nullptr || XkbGetIndicatorState(display, XkbUseCoreKbd, &indicators) != Success) return std::nullopt;
    // The core keyboard's usual indicator order: Caps Lock, Num Lock, Scroll Lock.
    return LockStates{(indicators & 1u) != 0, (indicators & 2u) != 0, (indicators & 4u) != 0};
#else
    return std::nullopt;
#endif
}
