#include "session/RunningTimerView.h"

#include "platform/db/Recordset.h"
#include "timecards/TimeCardEditor.h"
#include "timecards/Timer.h"
#include "timecards/TimerDisplay.h"

namespace quorvale {

RunningTimerView::RunningTimerView(const Timer &timer, TimeCardEditor &editor,
                                   ContactName contactName)
    : m_timer(timer), m_editor(editor), m_contactName(std::move(contactName))
{
}

QString RunningTimerView::title(const QString &caption, bool minimized)
{
    const TimerMode mode = m_timer.mode();
    if (mode == TimerMode::Idle)
        return caption;
    const qint64 seconds = m_timer.secondsNow();
    if (minimized)
        return minimizedCaption(seconds);
    const QString what =
        mode == TimerMode::Interruption ? QStringLiteral("Interruption") : runClient();
    return timerDisplayText(seconds) + QStringLiteral("  ") +
           (what.isEmpty() ? QString() : what + QStringLiteral("  ")) + QStringLiteral("-") +
           caption;
}

QString RunningTimerView::elsewhere()
{
    const std::optional<qint64> active = m_timer.activeTimeCardId();
    if (!active || m_editor.currentTimeCardId() == active)
        return {};
    const QString client = runClient();
    return QStringLiteral("Timing TimeCard %1%2:%3 - F9 goes to it")
        .arg(*active)
        .arg(client.isEmpty() ? QString() : QStringLiteral(" (") + client + QLatin1Char(')'))
        .arg(timerDisplayText(m_timer.secondsNow()));
}

QString RunningTimerView::runClient()
{
    const std::optional<qint64> active = m_timer.activeTimeCardId();
    if (!active)
        return {};
    if (m_runCard != active) {
        m_runCard = active;
        m_runContact.reset();
    }
    // The shown row holds the client as typed, saved or not.
    const bool shown = m_editor.currentTimeCardId() == active;
    if (shown) {
        const QVariant contact = m_editor.timeCards().value(QStringLiteral("ContactID"));
        m_runContact = contact.isNull() || contact.toInt() == 0
                           ? std::nullopt
                           : std::optional<qint32>(contact.toInt());
    }
    const QString client = contactName(m_runContact);
    noteRun(*active, client, shown);
    return client;
}

void RunningTimerView::noteRun(qint64 timeCardId, const QString &client, bool shown)
{
    // Labelled once per run, when it is first seen: nothing more per tick.
    if (!m_recent.empty() && m_recent.front().timeCardId == timeCardId)
        return;
    QString label = QStringLiteral("TimeCard %1").arg(timeCardId);
    if (shown) {
        const QString description = m_editor.timeCards()
                                        .value(QStringLiteral("Description"))
                                        .toString()
                                        .section(QLatin1Char('\n'), 0, 0)
                                        .left(40);
        const QStringList parts = QStringList{client, description};
        QStringList said;
        for (const QString &part : parts)
            if (!part.trimmed().isEmpty())
                said << part.trimmed();
        if (!said.isEmpty())
            label += QStringLiteral(": ") + said.join(QStringLiteral(" - "));
    }
    std::erase_if(m_recent, [&](const RecentRun &run) { return run.timeCardId == timeCardId; });
    m_recent.insert(m_recent.begin(), RecentRun{timeCardId, label});
    if (m_recent.size() > 5)
        m_recent.pop_back();
}

QString RunningTimerView::contactName(std::optional<qint32> contactId)
{
    if (!contactId || !m_contactName)
        return {};
    const auto known = m_names.constFind(*contactId);
    if (known != m_names.constEnd())
        return *known;
    const QString name = m_contactName(*contactId);
    m_names.insert(*contactId, name);
    return name;
}

} // namespace quorvale
