#pragma once

#include "timecards/IdleWatch.h"

#include <QString>

namespace quorvale {

// The desktop session's idle time: X11's screen saver extension when the
// program runs on X11. Elsewhere (Wayland, or an X server without the
// extension) it cannot tell, and says why, so the user options can say so too.
class DesktopIdle final : public IdleSource {
public:
    DesktopIdle();
    ~DesktopIdle() override;
    DesktopIdle(const DesktopIdle &) = delete;
    DesktopIdle &operator=(const DesktopIdle &) = delete;

    bool available() const { return m_display != nullptr; }
    // Why idle time is not noticed here; empty when it is.
    const QString &unavailableReason() const { return m_reason; }

    std::optional<qint64> idleMilliseconds() override;

private:
    void *m_display = nullptr; // X11's Display, kept opaque: its headers stay in the .cpp
    void *m_info = nullptr;    // XScreenSaverInfo
    QString m_reason;
};

} // namespace quorvale
