#include "ui/TimerInSight.h"

#include "data/WorkingSet.h"
#include "session/RunningTimerView.h"
#include "session/TimeCardSession.h"
#include "session/TimerBinding.h"
#include "timecards/CommandTable.h"
#include "timecards/MainCommands.h"
#include "timecards/TimeCardEditor.h"
#include "ui/DesktopIdle.h"
#include "ui/TimerTray.h"
#include "ui/frmTimeCard.h"

#include <QStatusBar>

namespace quorvale {

TimerInSight::TimerInSight(const Parts &parts) : m_p(parts)
{
    TimeCardSession &session = m_p.session;
    TimerBinding &timer = session.timer();
    m_view = std::make_unique<RunningTimerView>(
        timer.timer(), session.editor(), [source = m_p.pickLists](qint32 id) {
            return source.contactName ? source.contactName(id) : QString();
        });
    m_tray = std::make_unique<TimerTray>(
        timer.timer(), *m_view,
        TimerTray::Hooks{[this] { pause(); }, [this](qint64 id) { timeCard(id); },
                         [this] { m_p.window.abMainMenu_ToolClick(ToolId::AddTimeCard); },
                         [this] {
                             m_p.window.showNormal();
                             m_p.window.raise();
                             m_p.window.activateWindow();
                         }});
    frmTimeCard *window = &m_p.window;
    QObject::connect(&timer, &TimerBinding::ticked, window, [this] { update(); });
    QObject::connect(&timer, &TimerBinding::changed, window, [this] { update(); });
    QObject::connect(&session, &TimeCardSession::rowShown, window, [this] { update(); });
    QObject::connect(window, &frmTimeCard::stateChanged, window, [this] { update(); });
    // Said in the status bar and, where there is one, by the tray, so it
    // reaches a person working in another window without stopping them.
    QObject::connect(&session, &TimeCardSession::reminder, window, [this](const QString &text) {
        m_p.window.statusBar()->showMessage(text, 60 * 1000);
        m_tray->remind(text);
    });
    // Settled as a command: a time being typed on return is taken first.
    QObject::connect(&session, &TimeCardSession::idleEnded, window, [this](const IdleSpell &spell) {
        m_p.window.runCommand([this, spell] { m_p.session.settleIdle(spell); });
    });
    m_idle = std::make_unique<DesktopIdle>();
    if (m_idle->available())
        session.watchIdle(m_idle.get());
    update();
}

TimerInSight::~TimerInSight()
{
    // The session outlives this: it must not look at a desktop source gone.
    m_p.session.watchIdle(nullptr);
}

void TimerInSight::update()
{
    const QString caption = m_view->title(m_p.workingSet.windowCaption(), m_p.window.isMinimized());
    if (m_p.window.windowTitle() != caption)
        m_p.window.setWindowTitle(caption);
    m_p.window.setTimerNote(m_view->elsewhere());
    m_tray->update(caption);
}

void TimerInSight::pause()
{
    m_p.window.runCommand([this] {
        TimerBinding &timer = m_p.session.timer();
        // The run's value follows the timed row's rate: pause it where it is shown.
        if (timer.timer().mode() == TimerMode::TimeCard && m_p.session.goToActiveCard())
            timer.startOrPause();
    });
}

void TimerInSight::timeCard(qint64 timeCardId)
{
    TimerBinding &timer = m_p.session.timer();
    if (timer.activeTimeCardId() == timeCardId)
        return;
    m_p.window.runCommand([this, &timer, timeCardId] {
        const TimeCardEditor &editor = m_p.session.editor();
        if (editor.currentTimeCardId() == timeCardId ||
            (m_p.commands.goToTimeCard(timeCardId) && editor.currentTimeCardId() == timeCardId))
            timer.startOrPause();
    });
    // After the command's "Review": the person must learn why nothing is timed.
    if (timer.activeTimeCardId() != timeCardId)
        m_p.window.statusBar()->showMessage(
            QStringLiteral("TimeCard %1 could not be shown; its timer was not started.")
                .arg(timeCardId),
            5000);
}

} // namespace quorvale
