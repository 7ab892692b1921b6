#include "ui/DesktopIdle.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#if QUORVALE_HAVE_XSS
// After Qt's headers: X11's macros (None, Bool, Status) must not reach them.
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>
#endif

namespace quorvale {

DesktopIdle::DesktopIdle()
{
#if QUORVALE_HAVE_XSS && QT_CONFIG(xcb)
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display *display = x11 ? x11->display() : nullptr;
    if (!display) {
        m_reason = QStringLiteral("This desktop session is not an X11 session; idle time is not "
                                  "noticed here.");
        return;
    }
    int eventBase = 0;
    int errorBase = 0;
    if (!XScreenSaverQueryExtension(display, &eventBase, &errorBase)) {
        m_reason = QStringLiteral("The X server offers no screen saver extension; idle time is "
                                  "not noticed here.");
        return;
    }
    m_info = XScreenSaverAllocInfo();
    if (!m_info) {
        m_reason = QStringLiteral("Idle time could not be read from the X server.");
        return;
    }
    m_display = display;
#else
    m_reason = QStringLiteral("This build reads idle time from X11 only; idle time is not "
                              "noticed here.");
#endif
}

DesktopIdle::~DesktopIdle()
{
#if QUORVALE_HAVE_XSS
    if (m_info)
        XFree(m_info);
#endif
}

std::optional<qint64> DesktopIdle::idleMilliseconds()
{
#if QUORVALE_HAVE_XSS
    if (!m_display)
        return std::nullopt;
    auto *display = static_cast<Display *>(m_display);
    auto *info = static_cast<XScreenSaverInfo *>(m_info);
    if (!XScreenSaverQueryInfo(display, DefaultRootWindow(display), info))
        return std::nullopt;
    return static_cast<qint64>(info->idle);
#else
    return std::nullopt;
#endif
}

} // namespace quorvale
