#include "ui/DesktopIdle.h"

#include "platform/shell/SessionIdleMonitor.h"

#include <QGuiApplication>
#include <QLoggingCategory>
#include <QtGui/qguiapplication_platform.h>

#if QUORVALE_HAVE_XSS
// After Qt's headers: X11's macros (None, Bool, Status) must not reach them.
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>
#endif

namespace quorvale {

namespace {

Q_LOGGING_CATEGORY(lcIdle, "quorvale.ui.idle")

// Under XWayland the X server sees only the input that reaches X windows, so
// a person typing into any other window would look idle to it.
bool waylandSession()
{
    return qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace

DesktopIdle::DesktopIdle()
{
    if (!waylandSession() && openX11())
        return;
    auto monitor = std::make_unique<SessionIdleMonitor>();
    if (monitor->available()) {
        qCInfo(lcIdle).noquote() << "idle time from" << monitor->serviceName();
        m_monitor = std::move(monitor);
        return;
    }
    if (waylandSession() && openX11())
        return;
    m_reason = QStringLiteral("Idle time is not noticed on this desktop: %1, and %2.")
                   .arg(m_reason, monitor->unavailableReason());
}

bool DesktopIdle::openX11()
{
#if QUORVALE_HAVE_XSS && QT_CONFIG(xcb)
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display *display = x11 ? x11->display() : nullptr;
    if (!display) {
        m_reason = QStringLiteral("the program does not run on X11");
        return false;
    }
    int eventBase = 0;
    int errorBase = 0;
    if (!XScreenSaverQueryExtension(display, &eventBase, &errorBase)) {
        m_reason = QStringLiteral("the X server offers no screen saver extension");
        return false;
    }
    m_info = XScreenSaverAllocInfo();
    if (!m_info) {
        m_reason = QStringLiteral("the X server's idle time could not be read");
        return false;
    }
    m_display = display;
    m_reason.clear();
    return true;
#else
    m_reason = QStringLiteral("this build does not read X11's idle time");
    return false;
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
    if (m_monitor)
        return m_monitor->idleMilliseconds();
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
