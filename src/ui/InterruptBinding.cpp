#include "ui/InterruptBinding.h"

#include "session/TimeCardSession.h"
#include "session/TimerBinding.h"
#include "timecards/CommandTable.h"
#include "timecards/TimeCardEditor.h"
#include "ui/frmInterruptTimer.h"

#include <QAction>
#include <QTimer>

namespace quorvale {

InterruptBinding::InterruptBinding(TimeCardSession &session, const Clock &clock, QWidget &parent,
                                   Hooks hooks)
    : m_session(session), m_clock(clock), m_parent(parent), m_hooks(std::move(hooks))
{
}

InterruptBinding::~InterruptBinding() = default;

frmInterruptTimer &InterruptBinding::window()
{
    if (!m_window) {
        m_interrupt = std::make_unique<InterruptTimer>(m_session.timer().timer(), m_clock, *this);
        m_window = new frmInterruptTimer(*m_interrupt, m_clock, &m_parent);
        m_window->setWindowFlag(Qt::Window);
        // The TimeCard's tick stops while an interruption counts; the display
        // needs one of its own.
        auto *tick = new QTimer(m_window);
        tick->setInterval(1000);
        QObject::connect(tick, &QTimer::timeout, m_window, [this] {
            if (m_interrupt->counting()) {
                m_window->refresh();
                if (m_hooks.ticked)
                    m_hooks.ticked();
            }
        });
        tick->start();
    }
    return *m_window;
}

InterruptTools InterruptBinding::tools() const
{
    return m_interrupt ? m_interrupt->tools() : InterruptTools();
}

void InterruptBinding::runTool(int toolId)
{
    // Only an interruption under way has these to act on.
    if (!m_window)
        return;
    QAction *tool = toolId == ToolId::PasteToNewTimeCard       ? m_window->pasteToNewTool()
                    : toolId == ToolId::PasteToCurrentTimeCard ? m_window->pasteToCurrentTool()
                    : toolId == ToolId::CancelInterruption     ? m_window->cancelTool()
                                                               : m_window->mnuResume();
    if (!tool->isEnabled())
        return;
    tool->trigger();
    if (toolId == ToolId::Resume)
        m_window->hide();
}

TimerValueInputs InterruptBinding::valueInputs() const
{
    return m_session.timer().inputs();
}

QString InterruptBinding::timeSegmentNote() const
{
    const std::optional<qint64> active = m_session.timer().activeTimeCardId();
    return active ? m_session.notes().note(*active) : QString();
}

bool InterruptBinding::processActiveCard()
{
    return m_session.editor().ProcessActiveCard();
}

void InterruptBinding::runEnded(const TimerEnded &ended)
{
    m_session.timer().runEnded(ended);
}

void InterruptBinding::pasteToNewTimeCard(const InterruptPaste &paste)
{
    if (!m_hooks.newTimeCard || !m_hooks.newTimeCard())
        return;
    m_session.paste(paste, true);
    if (m_hooks.pasted)
        m_hooks.pasted();
}

std::optional<QString> InterruptBinding::currentTimeSpent() const
{
    return m_session.currentTimeSpent();
}

void InterruptBinding::pasteToCurrentTimeCard(const InterruptPaste &paste)
{
    m_session.paste(paste, false);
    if (m_hooks.pasted)
        m_hooks.pasted();
}

void InterruptBinding::resumeTimer(qint64 timeCardId)
{
    m_session.resumeTimer(timeCardId);
}

void InterruptBinding::timerInterfaceChanged()
{
    if (m_hooks.changed)
        m_hooks.changed();
}

} // namespace quorvale
