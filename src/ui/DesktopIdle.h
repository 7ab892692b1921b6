#pragma once

#include "timecards/IdleWatch.h"

#include <QString>
#include <memory>

namespace quorvale {

class SessionIdleMonitor;

// The desktop session's idle time: X11's screen saver extension when the
// program runs on X11, the desktop's idle monitor on the session bus on
// Wayland (and where the extension is missing). Where neither answers it
// says why, so the user options can say so too.
class DesktopIdle final : public IdleSource {
public:
    DesktopIdle();
    ~DesktopIdle() override;
    DesktopIdle(const DesktopIdle &) = delete;
    DesktopIdle &operator=(const DesktopIdle &) = delete;

    bool available() const { return m_display != nullptr || m_monitor != nullptr; }
    // Why idle time is not noticed here; empty when it is.
    const QString &unavailableReason() const { return m_reason; }

    std::optional<qint64> idleMilliseconds() override;

private:
    bool openX11();

    std::unique_ptr<SessionIdleMonitor> m_monitor; // set only when it is the one asked
    void *m_display = nullptr; // X11's Display, kept opaque: its headers stay in the .cpp
    void *m_info = nullptr;    // XScreenSaverInfo
    QString m_reason;
};

} // namespace quorvale
