#include "ui/TimerTray.h"

#include "session/RunningTimerView.h"
#include "timecards/Timer.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>

namespace quorvale {

namespace {

// The desktop's own icon when its theme has one; else a dot drawn here, green
// while a run is on and grey while none is, so a tray never shows a blank.
QIcon stateIcon(bool running)
{
    const QIcon themed = QIcon::fromTheme(running ? QStringLiteral("media-playback-start")
                                                  : QStringLiteral("media-playback-pause"));
    if (!themed.isNull())
        return themed;
    QPixmap dot(32, 32);
    dot.fill(Qt::transparent);
    QPainter painter(&dot);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(running ? QColor(0x2e, 0x9d, 0x4a) : QColor(0x80, 0x80, 0x80));
    painter.drawEllipse(QRectF(4, 4, 24, 24));
    return QIcon(dot);
}

} // namespace

TimerTray::TimerTray(const Timer &timer, RunningTimerView &view, Hooks hooks, QObject *parent)
    : QObject(parent), m_timer(timer), m_view(view), m_hooks(std::move(hooks)),
      m_menu(std::make_unique<QMenu>())
{
    m_menu->setObjectName(QStringLiteral("mnuTray"));
    m_pause = m_menu->addAction(QStringLiteral("&Pause Timer"), this, [this] {
        if (m_hooks.pause)
            m_hooks.pause();
    });
    m_resume = m_menu->addAction(QStringLiteral("&Resume Timer"), this, [this] {
        const auto &recent = m_view.recentRuns();
        if (!recent.empty() && m_hooks.timeCard)
            m_hooks.timeCard(recent.front().timeCardId);
    });
    m_switch = m_menu->addMenu(QStringLiteral("&Switch Timer To"));
    m_menu->addSeparator();
    m_menu->addAction(QStringLiteral("&New TimeCard"), this, [this] {
        if (m_hooks.newTimeCard)
            m_hooks.newTimeCard();
    });
    m_menu->addAction(QStringLiteral("S&how Quorvale"), this, [this] {
        if (m_hooks.showWindow)
            m_hooks.showWindow();
    });
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_icon = new QSystemTrayIcon(this);
        m_icon->setContextMenu(m_menu.get());
        connect(m_icon, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    if (reason == QSystemTrayIcon::Trigger && m_hooks.showWindow)
                        m_hooks.showWindow();
                });
    }
    update(QString());
}

TimerTray::~TimerTray() = default;

bool TimerTray::shown() const
{
    return m_icon && m_icon->isVisible();
}

void TimerTray::update(const QString &title)
{
    const bool running = m_timer.mode() == TimerMode::TimeCard;
    if (m_running != running) {
        m_running = running;
        m_pause->setEnabled(running);
        if (m_icon) {
            m_icon->setIcon(stateIcon(running));
            m_icon->show();
        }
        fillSwitchMenu();
    }
    const auto &recent = m_view.recentRuns();
    m_resume->setEnabled(!running && !recent.empty() && m_timer.mode() == TimerMode::Idle);
    m_resume->setText(!running && !recent.empty()
                          ? QStringLiteral("&Resume %1").arg(recent.front().label)
                          : QStringLiteral("&Resume Timer"));
    if (m_icon) {
        const QString tip = running ? title.trimmed() : QStringLiteral("Quorvale: no timer runs");
        if (m_icon->toolTip() != tip)
            m_icon->setToolTip(tip);
    }
}

void TimerTray::remind(const QString &text)
{
    if (m_icon && m_icon->isVisible() && QSystemTrayIcon::supportsMessages())
        m_icon->showMessage(QStringLiteral("Quorvale"), text, QSystemTrayIcon::Information,
                            15 * 1000);
}

void TimerTray::fillSwitchMenu()
{
    m_switch->clear();
    const std::optional<qint64> active = m_timer.activeTimeCardId();
    for (const RunningTimerView::RecentRun &run : m_view.recentRuns()) {
        if (run.timeCardId == active)
            continue;
        m_switch->addAction(run.label, this, [this, id = run.timeCardId] {
            if (m_hooks.timeCard)
                m_hooks.timeCard(id);
        });
    }
    m_switch->setEnabled(!m_switch->isEmpty());
}

} // namespace quorvale
